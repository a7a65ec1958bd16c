#include "Platform/Graphics/PngReader.h"

#include <png.h>

bool PlatReadPng(const uint8_t* data, size_t size, PlatImage* image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, size))
        return false;
    const bool hasAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    if (!PlatImageSizeAllowed(png.width, png.height)) {
        png_image_free(&png);
        return false;
    }
    // BGRA bytes are the little-endian 0xAARRGGBB words of the pixels.
    png.format = PNG_FORMAT_BGRA;
    PlatPixels pixels(png.width, png.height);
    if (!png_image_finish_read(&png, nullptr, pixels.texels.data(), 0, nullptr)) {
        png_image_free(&png);
        return false;
    }
    if (!hasAlpha)
        for (uint32_t& texel : pixels.texels)
            texel |= 0xFF000000u;
    PlatSetSinglePicture(image, D3DXIFF_PNG, hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8, std::move(pixels));
    return true;
}
