#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Small writers of image files for the loader's tests. Pictures are
// 0xAARRGGBB texels, top row first, as the loader hands them out.
struct TestPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> texels;
};

using TestBytes = std::vector<uint8_t>;

// A TGA file of 8 (grey: the blue byte is written), 24 or 32 bits per
// pixel, stored bottom row first unless topFirst.
TestBytes WriteTga(const TestPicture& picture, int bitsPerPixel, bool runLength, bool topFirst);

// A DDS file: header, then payload as given (faces one after the other,
// each with its whole chain). fourCC "DXT1"/"DXT3"/"DXT5", or empty for
// uncompressed colour of bitCount bits (B, G, R[, A] in memory).
struct TestDds {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t levels = 1;
    bool cube = false;
    std::string fourCC;
    uint32_t bitCount = 32;
    TestBytes payload;
};
TestBytes WriteDds(const TestDds& dds);
// Appends texels as B, G, R[, A] bytes.
void AppendTexels(TestBytes& payload, const std::vector<uint32_t>& texels, uint32_t bitCount);

// PNG (with alpha), BMP and JPEG (without) through stb_image_write.
TestBytes WritePng(const TestPicture& picture);
TestBytes WriteBmp(const TestPicture& picture);
TestBytes WriteJpeg(const TestPicture& picture);
