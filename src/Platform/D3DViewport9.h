#pragma once

#include "Platform/Win32Types.h"

// The rectangle of the render target drawn into, in pixels from its top
// left, and the depth range that clip depth 0..1 maps to.
struct D3DVIEWPORT9 {
    DWORD X = 0;
    DWORD Y = 0;
    DWORD Width = 0;
    DWORD Height = 0;
    float MinZ = 0;
    float MaxZ = 1;
};
