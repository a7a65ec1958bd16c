#pragma once

#include "Platform/Graphics/Image.h"

// Reads an uncompressed BMP file: 8-bit with a palette, 24-bit, and 32-bit
// (whose fourth byte is alpha, unless every texel has 0 there), stored
// bottom-up or top-down. Every offset, size and palette index is checked
// against the file; compressed files are refused.
bool PlatReadBmp(const uint8_t* data, size_t size, PlatImage* image);
