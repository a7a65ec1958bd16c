#pragma once

#include "Platform/Graphics/Image.h"

// Reads a baseline or progressive JPEG file (grey or colour) through
// libjpeg-turbo; it loads opaque as X8R8G8B8. CMYK files and pictures past
// the size limits are refused.
bool PlatReadJpeg(const uint8_t* data, size_t size, PlatImage* image);
