#pragma once

#include "Platform/Win32Types.h"

// The pre-transformed vertex of full-screen quads: a position in pixels,
// depth and 1/w (both 1 here), an ARGB colour and texture coordinates.
struct ScreenVertex {
    float x, y, z, rhw;
    DWORD diffuse;
    float u, v;
};
static_assert(sizeof(ScreenVertex) == 28);

// XYZRHW | DIFFUSE | TEX1
inline constexpr DWORD SCREEN_VERTEX_FVF = 0x144;
