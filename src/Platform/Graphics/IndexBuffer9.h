#pragma once

#include "Platform/Graphics/Buffer.h"

// An index buffer of 16-bit indices.
class IDirect3DIndexBuffer9 : public PlatBuffer {
public:
    IDirect3DIndexBuffer9(IDirect3DDevice9* device, UINT length, DWORD usage, D3DPOOL pool)
        : PlatBuffer(device, length, usage, pool, true) {}

    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) const {
        if (!desc)
            return D3DERR_INVALIDCALL;
        *desc = {D3DFMT_INDEX16, D3DRTYPE_INDEXBUFFER, GetUsage(), GetPool(), GetLength()};
        return D3D_OK;
    }
};
