#pragma once

#include "Platform/Win32Types.h"

class IDirect3DDevice9;
class IDirect3DVertexBuffer9;
class IDirect3DIndexBuffer9;
class IDirect3DTexture9;
class ID3DXEffect;

// What a sky object hands over to be drawn: its buffers of mesh vertices
// and 16-bit triangle-list indices, its texture and its two effects.
struct VertexObjectBatch {
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    IDirect3DTexture9* texture = nullptr;
    ID3DXEffect* effect = nullptr;
    ID3DXEffect* altEffect = nullptr;
    bool useAltEffect = false;
    UINT vertexCount = 0;
    UINT indexCount = 0;
};

// The device through which the sky's vertex objects draw; the renderer
// stores it after every device creation.
class CPVertexObjectRenderer {
public:
    // Draws the batch at once: with its effect's passes (the texture bound
    // to "tex0"), or once with the device's states when it has no effect.
    // E_FAIL without a device, or when the second effect is asked for and
    // missing; otherwise the result of the last draw.
    HRESULT Draw(const VertexObjectBatch& batch) const;

    IDirect3DDevice9* device = nullptr;
};

extern CPVertexObjectRenderer g_VertexObjectRenderer;
