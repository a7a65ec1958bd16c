#pragma once

#include "Platform/Graphics/Image.h"

// Reads a TGA file: true-colour 24 and 32-bit and 8-bit grey, plain or
// run-length encoded, with the first row at the bottom (the usual layout)
// or at the top. Colour-mapped and 16-bit files, and files stored right to
// left, are refused. 32-bit files keep their alpha; the others load opaque.
bool PlatReadTga(const uint8_t* data, size_t size, PlatImage* image);
