#pragma once

#include "Platform/Graphics/Image.h"

// Reads a PNG file of any colour type and depth through libpng. Files with
// an alpha channel (or transparency) keep it as A8R8G8B8; the others load
// opaque as X8R8G8B8. Pictures past the size limits are refused before
// anything is decoded.
bool PlatReadPng(const uint8_t* data, size_t size, PlatImage* image);
