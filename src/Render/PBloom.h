#pragma once

#include "Platform/Graphics/Direct3DDevice9.h"

// Stands in for the post effects (motion blur and bloom) until they are
// built: reports each call it receives and draws nothing.
class CPBloom {
public:
    // E_FAIL for a null device.
    HRESULT Create(IDirect3DDevice9* device);
    void Release();
    void OnLostDevice();
    int RenderMotionBlur();
    int RenderBloom();
};
