#include "imagetool/ImageWriter.h"

// The encoder is a third-party single header: its own warnings are not ours.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

constexpr uint8_t kTgaTrueColour = 2;
constexpr uint8_t kTgaTopLeftWithAlpha = 0x28;

void Append16(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void Append32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift : {0, 8, 16, 24})
        out.push_back(static_cast<uint8_t>((value >> shift) & 0xFF));
}

constexpr uint32_t kDdsMagic = 0x20534444; // "DDS "
constexpr uint32_t kDdsHeaderSize = 124;
constexpr uint32_t kDdsPixelFormatSize = 32;
// Caps, height, width and pixel format are given.
constexpr uint32_t kDdsRequiredFields = 0x1007;
constexpr uint32_t kDdsRgbWithAlpha = 0x41;
constexpr uint32_t kDdsTexture = 0x1000;

} // namespace

std::vector<uint8_t> EncodeTga(const Image& image) {
    std::vector<uint8_t> out = {0, 0, kTgaTrueColour, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Append16(out, image.width);
    Append16(out, image.height);
    out.push_back(32);
    out.push_back(kTgaTopLeftWithAlpha);
    for (const uint32_t pixel : image.pixels)
        Append32(out, pixel);
    return out;
}

std::vector<uint8_t> EncodeDds(const Image& image) {
    std::vector<uint8_t> out;
    for (uint32_t word : {kDdsMagic, kDdsHeaderSize, kDdsRequiredFields, static_cast<uint32_t>(image.height),
                          static_cast<uint32_t>(image.width), 0u, 0u, 1u})
        Append32(out, word);
    out.resize(out.size() + 11 * 4, 0);
    for (uint32_t word : {kDdsPixelFormatSize, kDdsRgbWithAlpha, 0u, 32u, 0xFF0000u, 0xFF00u, 0xFFu,
                          0xFF000000u, kDdsTexture, 0u, 0u, 0u, 0u})
        Append32(out, word);
    for (const uint32_t pixel : image.pixels)
        Append32(out, pixel);
    return out;
}

std::vector<uint8_t> EncodeJpeg(const Image& image, int quality) {
    std::vector<uint8_t> rgb;
    rgb.reserve(image.pixels.size() * 3);
    for (const uint32_t pixel : image.pixels)
        for (int shift : {16, 8, 0})
            rgb.push_back(static_cast<uint8_t>((pixel >> shift) & 0xFF));
    std::vector<uint8_t> out;
    const auto append = [](void* context, void* data, int size) {
        auto* bytes = static_cast<uint8_t*>(data);
        static_cast<std::vector<uint8_t>*>(context)->insert(
            static_cast<std::vector<uint8_t>*>(context)->end(), bytes, bytes + size);
    };
    if (!stbi_write_jpg_to_func(append, &out, image.width, image.height, 3, rgb.data(), quality))
        out.clear();
    return out;
}
