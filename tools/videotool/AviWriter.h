#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Uncompressed video files for test fixtures: frames of X8R8G8B8 texels, top
// row first, stored as 24-bit bottom-up rows in an AVI file written byte by
// byte, so a decoder must give back exactly these texels. A sound track,
// when given, is 16-bit mono PCM interleaved with the frames.
struct RawVideo {
    int width = 0;
    int height = 0;
    uint32_t framesPerSecond = 10;
    std::vector<std::vector<uint32_t>> frames;
    // Samples from -1 to 1; none for a file without sound.
    std::vector<float> sound;
    uint32_t soundRate = 22050;
};

std::vector<uint8_t> EncodeUncompressedAvi(const RawVideo& video);
// The sound samples stored with frame `index`: its time span, and the rest
// with the last frame.
std::vector<float> SoundOfFrame(const RawVideo& video, std::size_t index);
