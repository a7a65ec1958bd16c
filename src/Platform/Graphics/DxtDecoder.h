#pragma once

#include "Platform/Graphics/D3D9Types.h"

#include <cstddef>
#include <cstdint>

// Block-compressed texels (DXT1, DXT3, DXT5): each block of bytes holds a
// 4x4 tile of texels.
class PlatDxtDecoder {
public:
    // Bytes per block of a DXT format, or 0 for any other format.
    static size_t BlockBytes(D3DFORMAT format);
    // Bytes of a level of the given size: whole blocks, partial ones at the
    // right and bottom edges included.
    static size_t LevelBytes(D3DFORMAT format, uint32_t width, uint32_t height);
    // Decodes a whole level of BlockBytes-sized blocks, row of blocks by row
    // of blocks, into 0xAARRGGBB texels (width * height, top row first).
    static void DecodeLevel(D3DFORMAT format, const uint8_t* blocks, uint32_t width, uint32_t height,
                            uint32_t* texels);

private:
    static void DecodeBlock(D3DFORMAT format, const uint8_t* block, uint32_t tile[16]);
    static void DecodeColours(const uint8_t* block, bool allowTransparent, uint32_t tile[16]);
    static void DecodeExplicitAlpha(const uint8_t* block, uint32_t tile[16]);
    static void DecodeInterpolatedAlpha(const uint8_t* block, uint32_t tile[16]);
};
