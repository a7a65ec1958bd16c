#pragma once

#include "Platform/Graphics/Image.h"

// Reads a DDS file: uncompressed 32-bit and 24-bit colour (8 bits per
// channel in any byte order) and DXT1, DXT3 and DXT5 blocks, decompressed to
// 0xAARRGGBB; the file's mip chain; cube maps with all six faces. Volume
// textures, partial cube maps and the DX10 extension are refused.
bool PlatReadDds(const uint8_t* data, size_t size, PlatImage* image);
