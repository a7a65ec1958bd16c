#include "ImageFixtures.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include <cstring>

namespace {

void Put16(TestBytes& bytes, uint32_t value) {
    bytes.push_back(uint8_t(value));
    bytes.push_back(uint8_t(value >> 8));
}

void Put32(TestBytes& bytes, uint32_t value) {
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

void PutTexel(TestBytes& bytes, uint32_t texel, int bytesPerPixel) {
    for (int i = 0; i < bytesPerPixel; ++i)
        bytes.push_back(uint8_t(texel >> (8 * i)));
}

// Runs of two or more equal texels become run packets, the rest raw
// packets; packets may cross rows.
void AppendRunLength(TestBytes& bytes, const std::vector<uint32_t>& texels, int bytesPerPixel) {
    size_t i = 0;
    while (i < texels.size()) {
        size_t run = 1;
        while (i + run < texels.size() && run < 128 && texels[i + run] == texels[i])
            ++run;
        if (run > 1) {
            bytes.push_back(uint8_t(0x80 | (run - 1)));
            PutTexel(bytes, texels[i], bytesPerPixel);
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < texels.size() && raw < 128 &&
               (i + raw + 1 >= texels.size() || texels[i + raw] != texels[i + raw + 1]))
            ++raw;
        bytes.push_back(uint8_t(raw - 1));
        for (size_t k = 0; k < raw; ++k)
            PutTexel(bytes, texels[i + k], bytesPerPixel);
        i += raw;
    }
}

// R, G, B (and A for four channels) bytes, as stb_image_write takes them.
std::vector<uint8_t> Channels(const TestPicture& picture, int count) {
    std::vector<uint8_t> bytes;
    for (uint32_t texel : picture.texels)
        for (int channel = 0; channel < count; ++channel)
            bytes.push_back(uint8_t(texel >> (channel == 3 ? 24 : 16 - 8 * channel)));
    return bytes;
}

void Collect(void* context, void* data, int size) {
    auto* bytes = static_cast<TestBytes*>(context);
    const auto* start = static_cast<const uint8_t*>(data);
    bytes->insert(bytes->end(), start, start + size);
}

} // namespace

TestBytes WriteTga(const TestPicture& picture, int bitsPerPixel, bool runLength, bool topFirst) {
    TestBytes bytes{0, 0, uint8_t((bitsPerPixel == 8 ? 3 : 2) | (runLength ? 8 : 0)), 0, 0, 0, 0, 0, 0, 0,
                    0, 0};
    Put16(bytes, picture.width);
    Put16(bytes, picture.height);
    bytes.push_back(uint8_t(bitsPerPixel));
    bytes.push_back(uint8_t((topFirst ? 0x20 : 0) | (bitsPerPixel == 32 ? 8 : 0)));
    std::vector<uint32_t> rows;
    for (uint32_t row = 0; row < picture.height; ++row) {
        const uint32_t source = topFirst ? row : picture.height - 1 - row;
        rows.insert(rows.end(), picture.texels.begin() + source * picture.width,
                    picture.texels.begin() + (source + 1) * picture.width);
    }
    if (runLength)
        AppendRunLength(bytes, rows, bitsPerPixel / 8);
    else
        for (uint32_t texel : rows)
            PutTexel(bytes, texel, bitsPerPixel / 8);
    return bytes;
}

TestBytes WriteDds(const TestDds& dds) {
    TestBytes bytes{'D', 'D', 'S', ' '};
    Put32(bytes, 124);
    Put32(bytes, 0x1007 | (dds.levels > 1 ? 0x20000 : 0)); // caps, height, width, format (+ mip count)
    Put32(bytes, dds.height);
    Put32(bytes, dds.width);
    Put32(bytes, 0);
    Put32(bytes, 0);
    Put32(bytes, dds.levels);
    for (int i = 0; i < 11; ++i)
        Put32(bytes, 0);
    Put32(bytes, 32);
    const bool compressed = !dds.fourCC.empty();
    Put32(bytes, compressed ? 0x4 : (0x40 | (dds.bitCount == 32 ? 0x1 : 0)));
    uint32_t fourCC = 0;
    if (compressed)
        std::memcpy(&fourCC, dds.fourCC.data(), 4);
    Put32(bytes, fourCC);
    Put32(bytes, compressed ? 0 : dds.bitCount);
    for (uint32_t mask : {0xFF0000u, 0xFF00u, 0xFFu, dds.bitCount == 32 ? 0xFF000000u : 0u})
        Put32(bytes, compressed ? 0 : mask);
    Put32(bytes, 0x1000 | (dds.levels > 1 ? 0x400008 : 0) | (dds.cube ? 0x8 : 0));
    Put32(bytes, dds.cube ? 0xFE00 : 0);
    for (int i = 0; i < 3; ++i)
        Put32(bytes, 0);
    bytes.insert(bytes.end(), dds.payload.begin(), dds.payload.end());
    return bytes;
}

void AppendTexels(TestBytes& payload, const std::vector<uint32_t>& texels, uint32_t bitCount) {
    for (uint32_t texel : texels)
        PutTexel(payload, texel, int(bitCount / 8));
}

TestBytes WritePng(const TestPicture& picture) {
    TestBytes bytes;
    const std::vector<uint8_t> rgba = Channels(picture, 4);
    stbi_write_png_to_func(Collect, &bytes, int(picture.width), int(picture.height), 4, rgba.data(),
                           int(picture.width * 4));
    return bytes;
}

TestBytes WriteBmp(const TestPicture& picture) {
    TestBytes bytes;
    const std::vector<uint8_t> rgb = Channels(picture, 3);
    stbi_write_bmp_to_func(Collect, &bytes, int(picture.width), int(picture.height), 3, rgb.data());
    return bytes;
}

TestBytes WriteJpeg(const TestPicture& picture) {
    TestBytes bytes;
    const std::vector<uint8_t> rgb = Channels(picture, 3);
    stbi_write_jpg_to_func(Collect, &bytes, int(picture.width), int(picture.height), 3, rgb.data(), 100);
    return bytes;
}
