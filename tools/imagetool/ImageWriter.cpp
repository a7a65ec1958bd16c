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

} // namespace

std::vector<uint8_t> EncodeTga(const Image& image) {
    std::vector<uint8_t> out = {0, 0, kTgaTrueColour, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Append16(out, image.width);
    Append16(out, image.height);
    out.push_back(32);
    out.push_back(kTgaTopLeftWithAlpha);
    for (const uint32_t pixel : image.pixels)
        for (int shift : {0, 8, 16, 24})
            out.push_back(static_cast<uint8_t>((pixel >> shift) & 0xFF));
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
