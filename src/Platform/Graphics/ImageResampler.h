#pragma once

#include "Platform/Graphics/Image.h"

// Resizes pictures channel by channel with a separable filter; edges repeat
// the outermost texels.
enum class PlatResampleFilter {
    Box,      // each texel is the mean of the source texels it covers
    Triangle, // a tent as wide as two target texels (smoother)
};

PlatPixels PlatResample(const PlatPixels& source, UINT width, UINT height, PlatResampleFilter filter);

// The filter a D3DX_FILTER value asks for (box for BOX, a triangle for the
// rest, D3DX_DEFAULT included).
PlatResampleFilter PlatResampleFilterFor(DWORD d3dxFilter);
