#include "ImageFixtures.h"
#include "Platform/Graphics/Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

const TestPicture kPicture{3, 2, {0xff102030, 0xff405060, 0xff708090, 0xffa0b0c0, 0xffd0e0f0, 0xff010203}};

void Put32(TestBytes& bytes, size_t at, uint32_t value, bool bigEndian = false) {
    for (int i = 0; i < 4; ++i)
        bytes[at + size_t(i)] = uint8_t(value >> (bigEndian ? 24 - 8 * i : 8 * i));
}

uint32_t Crc32(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// A PNG whose header claims the given size (its checksum made to match).
TestBytes PngClaiming(uint32_t width, uint32_t height) {
    TestBytes png = WritePng(kPicture);
    // Signature (8), chunk length (4), "IHDR" (4), then width and height.
    Put32(png, 16, width, true);
    Put32(png, 20, height, true);
    Put32(png, 29, Crc32(png.data() + 12, 17), true);
    return png;
}

// A JPEG whose first Huffman table declares more codes than a table holds.
TestBytes JpegWithOverfullHuffmanTable() {
    TestBytes jpeg = WriteJpeg(kPicture);
    const std::array<uint8_t, 2> marker = {0xFF, 0xC4};
    const auto table = std::search(jpeg.begin(), jpeg.end(), marker.begin(), marker.end());
    EXPECT_NE(table, jpeg.end());
    // Marker (2), length (2), class and id (1), then 16 code counts.
    std::fill(table + 5, table + 21, uint8_t(255));
    return jpeg;
}

TestBytes BmpWith(size_t at, uint32_t value) {
    TestBytes bmp = WriteBmp(kPicture);
    Put32(bmp, at, value);
    return bmp;
}

// An 8-bit BMP of 2 x 1 with a two-entry palette and the given indices.
TestBytes PalettedBmp(uint8_t first, uint8_t second) {
    TestBytes bmp(14 + 40 + 8 + 4, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    Put32(bmp, 2, uint32_t(bmp.size()));
    Put32(bmp, 10, 14 + 40 + 8);
    Put32(bmp, 14, 40);
    Put32(bmp, 18, 2);
    Put32(bmp, 22, 1);
    bmp[26] = 1;
    bmp[28] = 8;
    Put32(bmp, 46, 2);
    Put32(bmp, 54, 0x00112233);
    Put32(bmp, 58, 0x00445566);
    bmp[62] = first;
    bmp[63] = second;
    return bmp;
}

TEST(ImageReaders, HostileFilesAreRefusedWithoutHarm) {
    struct Case {
        const char* name;
        TestBytes bytes;
    };
    const TestBytes bmp = WriteBmp(kPicture);
    const std::vector<Case> cases = {
        {"JPEG with an overfull Huffman table", JpegWithOverfullHuffmanTable()},
        {"PNG claiming 8192 x 8192", PngClaiming(8192, 8192)},
        {"PNG claiming 100000 x 1", PngClaiming(100000, 1)},
        {"BMP of the lowest height", BmpWith(22, 0x80000000u)},
        {"BMP of negative width", BmpWith(18, uint32_t(-3))},
        {"BMP of 5000 x 5000", BmpWith(18, 5000)},
        {"BMP pixels past the end", BmpWith(10, uint32_t(bmp.size()) - 4)},
        {"BMP pixels offset far away", BmpWith(10, 0xFFFFFFF0u)},
        {"BMP compressed", BmpWith(30, 1)},
        {"BMP cut short", TestBytes(bmp.begin(), bmp.end() - 3)},
        {"BMP palette index past the palette", PalettedBmp(0, 7)},
        {"JPEG cut short",
         [] {
             TestBytes jpeg = WriteJpeg(kPicture);
             jpeg.resize(jpeg.size() / 2);
             return jpeg;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlatImage image;
        EXPECT_FALSE(PlatDecodeImage(c.bytes.data(), c.bytes.size(), &image));
    }
}

TEST(ImageReaders, BmpVariantsDecode) {
    PlatImage image;
    const TestBytes paletted = PalettedBmp(1, 0);
    ASSERT_TRUE(PlatDecodeImage(paletted.data(), paletted.size(), &image));
    EXPECT_EQ(image.Surface(0, 0).texels, (std::vector<uint32_t>{0xff445566, 0xff112233}));
    EXPECT_EQ(image.format, D3DFMT_X8R8G8B8);

    // Top-down rows: a negative height flips the picture.
    const TestBytes bottomUp = WriteBmp(kPicture);
    TestBytes topDown = bottomUp;
    Put32(topDown, 22, uint32_t(-2));
    ASSERT_TRUE(PlatDecodeImage(topDown.data(), topDown.size(), &image));
    const std::vector<uint32_t> flipped = {kPicture.texels[3], kPicture.texels[4], kPicture.texels[5],
                                           kPicture.texels[0], kPicture.texels[1], kPicture.texels[2]};
    EXPECT_EQ(image.Surface(0, 0).texels, flipped);
    EXPECT_TRUE(PlatImageSizeAllowed(4096, 4096));
    EXPECT_FALSE(PlatImageSizeAllowed(8192, 8192));
    EXPECT_FALSE(PlatImageSizeAllowed(0, 1));
}

} // namespace
