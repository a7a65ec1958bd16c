#pragma once

#include "Platform/Graphics/BaseTexture9.h"

// A cube texture: six square faces, each with a chain of mip levels.
class IDirect3DCubeTexture9 : public IDirect3DBaseTexture9 {
public:
    IDirect3DCubeTexture9(IDirect3DDevice9* device, UINT edge, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool)
        : IDirect3DBaseTexture9(device, D3DRTYPE_CUBETEXTURE, edge, edge, levels, usage, format, pool,
                                false) {}

    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) const { return DescribeLevel(level, desc); }
    HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                     DWORD flags) {
        return LockLevel(face, level, locked, rect, flags);
    }
    HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) { return UnlockLevel(face, level); }
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) {
        return GetSurface(face, level, surface);
    }
};
