#pragma once

#include "Platform/Graphics/Buffer.h"

// A vertex buffer of a flexible vertex format.
class IDirect3DVertexBuffer9 : public PlatBuffer {
public:
    IDirect3DVertexBuffer9(IDirect3DDevice9* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
        : PlatBuffer(device, length, usage, pool, false), fvf(fvf) {}

    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) const {
        if (!desc)
            return D3DERR_INVALIDCALL;
        *desc = {D3DFMT_UNKNOWN, D3DRTYPE_VERTEXBUFFER, GetUsage(), GetPool(), GetLength(), fvf};
        return D3D_OK;
    }

private:
    DWORD fvf;
};
