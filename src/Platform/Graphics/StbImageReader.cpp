#include "Platform/Graphics/StbImageReader.h"

#include <climits>
#include <memory>

// The decoder's one instance in the program: private to this file and only
// the formats that are not read elsewhere. Its header sits among the system
// headers, whose warnings the build does not turn into errors.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 8192
#include <stb/stb_image.h>

static_assert(STBI_MAX_DIMENSIONS == kPlatMaxImageEdge);

namespace {

// stb_image reads a BMP cut short as if the missing pixels were black; the
// file size in its header tells that bytes are missing (0 in some writers'
// files, which then cannot be checked).
bool IsCutShortBmp(const uint8_t* data, size_t size) {
    if (size < 6)
        return true;
    const uint32_t declared =
        uint32_t(data[2]) | (uint32_t(data[3]) << 8) | (uint32_t(data[4]) << 16) | (uint32_t(data[5]) << 24);
    return declared > size;
}

} // namespace

bool PlatReadStbImage(const uint8_t* data, size_t size, D3DXIMAGE_FILEFORMAT fileFormat, PlatImage* image) {
    if (size > size_t(INT_MAX) || (fileFormat == D3DXIFF_BMP && IsCutShortBmp(data, size)))
        return false;
    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> rgba(
        stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4), &stbi_image_free);
    if (!rgba || width <= 0 || height <= 0)
        return false;

    PlatPixels pixels(static_cast<UINT>(width), static_cast<UINT>(height));
    const bool hasAlpha = channels == 2 || channels == 4;
    for (size_t i = 0; i < pixels.texels.size(); ++i) {
        const stbi_uc* texel = rgba.get() + i * 4;
        const uint32_t alpha = hasAlpha ? texel[3] : 0xFFu;
        pixels.texels[i] = (alpha << 24) | (uint32_t(texel[0]) << 16) | (uint32_t(texel[1]) << 8) | texel[2];
    }
    *image = {};
    image->fileFormat = fileFormat;
    image->format = hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    image->surfaces.push_back(std::move(pixels));
    return true;
}
