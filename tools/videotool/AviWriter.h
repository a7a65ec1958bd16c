#pragma once

#include <cstdint>
#include <vector>

// Uncompressed video files for test fixtures: frames of X8R8G8B8 texels, top
// row first, stored as 24-bit bottom-up rows in an AVI file written byte by
// byte, so a decoder must give back exactly these texels.
struct RawVideo {
    int width = 0;
    int height = 0;
    uint32_t framesPerSecond = 10;
    std::vector<std::vector<uint32_t>> frames;
};

std::vector<uint8_t> EncodeUncompressedAvi(const RawVideo& video);
