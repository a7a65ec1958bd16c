#pragma once

#include "Platform/Graphics/TextureLoader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Images larger than this along either edge are refused before anything is
// allocated: no texture of the device can hold them.
inline constexpr UINT kPlatMaxImageEdge = 8192;
// Nor pictures of more texels than this (64 MB decoded): a small compressed
// file must not claim gigabytes.
inline constexpr size_t kPlatMaxImageTexels = size_t(4096) * 4096;

// True for a picture size the readers may decode.
inline bool PlatImageSizeAllowed(uint64_t width, uint64_t height) {
    return width > 0 && height > 0 && width <= kPlatMaxImageEdge && height <= kPlatMaxImageEdge &&
           width * height <= kPlatMaxImageTexels;
}

// One picture as 0xAARRGGBB words, top row first.
struct PlatPixels {
    UINT width = 0;
    UINT height = 0;
    std::vector<uint32_t> texels;

    PlatPixels() = default;
    PlatPixels(UINT w, UINT h) : width(w), height(h), texels(size_t(w) * h, 0) {}
};

// A decoded image file: one face (or six for a cube map), each a chain of
// one or more levels as the file holds them. Formats without alpha are
// decoded with alpha 0xFF.
struct PlatImage {
    D3DXIMAGE_FILEFORMAT fileFormat = D3DXIFF_BMP;
    // The file's own pixel format: A8R8G8B8, X8R8G8B8 or a DXT format.
    D3DFORMAT format = D3DFMT_UNKNOWN;
    bool isCube = false;
    UINT levelCount = 1;
    // Face-major: surfaces[face * levelCount + level].
    std::vector<PlatPixels> surfaces;

    UINT GetWidth() const { return surfaces.empty() ? 0 : surfaces[0].width; }
    UINT GetHeight() const { return surfaces.empty() ? 0 : surfaces[0].height; }
    UINT GetFaceCount() const { return isCube ? 6 : 1; }
    const PlatPixels& Surface(UINT face, UINT level) const { return surfaces[face * levelCount + level]; }
    bool HasAlpha() const { return format != D3DFMT_X8R8G8B8; }
};

// Makes the image one flat picture of one level.
void PlatSetSinglePicture(PlatImage* image, D3DXIMAGE_FILEFORMAT fileFormat, D3DFORMAT format,
                          PlatPixels pixels);

// Decodes a file of any supported format, recognised by its signature (a
// file without one is read as TGA). False for anything it cannot read.
bool PlatDecodeImage(const uint8_t* data, size_t size, PlatImage* image);
