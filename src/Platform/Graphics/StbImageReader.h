#pragma once

#include "Platform/Graphics/Image.h"

// Reads a JPEG, PNG or BMP file through stb_image. Files with an alpha
// channel keep it; the others load opaque as X8R8G8B8.
bool PlatReadStbImage(const uint8_t* data, size_t size, D3DXIMAGE_FILEFORMAT fileFormat, PlatImage* image);
