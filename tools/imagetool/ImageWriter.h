#pragma once

#include <cstdint>
#include <vector>

// Image files for the game's data and for test fixtures, from pixels given
// as 0xAARRGGBB words, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Image(int w, int h, uint32_t fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// An uncompressed 32-bit TGA (BGRA, top-left origin): 18-byte header plus
// 4 bytes per pixel.
std::vector<uint8_t> EncodeTga(const Image& image);
// An uncompressed DDS of one level: the 128-byte header, then 4 bytes per
// pixel (B, G, R, A) with the masks of A8R8G8B8.
std::vector<uint8_t> EncodeDds(const Image& image);
// A baseline JPEG of the colour channels (alpha is dropped); empty when
// the encoder failed.
std::vector<uint8_t> EncodeJpeg(const Image& image, int quality);
