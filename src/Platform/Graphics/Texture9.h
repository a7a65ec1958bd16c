#pragma once

#include "Platform/Graphics/BaseTexture9.h"

// A 2D texture with a chain of mip levels.
class IDirect3DTexture9 : public IDirect3DBaseTexture9 {
public:
    IDirect3DTexture9(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, DWORD usage,
                      D3DFORMAT format, D3DPOOL pool, bool ownedByDevice = false)
        : IDirect3DBaseTexture9(device, D3DRTYPE_TEXTURE, width, height, levels, usage, format, pool,
                                ownedByDevice) {}

    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) const { return DescribeLevel(level, desc); }
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
        return LockLevel(0, level, locked, rect, flags);
    }
    HRESULT UnlockRect(UINT level) { return UnlockLevel(0, level); }
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) { return GetSurface(0, level, surface); }
};
