#pragma once

#include "Platform/Graphics/Resource9.h"

class IDirect3DBaseTexture9;

// A surface is either one level of a texture (colour; its references are
// the texture's) or a depth-stencil buffer of its own.
class IDirect3DSurface9 : public IDirect3DResource9 {
public:
    IDirect3DSurface9(IDirect3DBaseTexture9* container, UINT face, UINT level);
    IDirect3DSurface9(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format,
                      bool ownedByDevice);
    // Public so that the owning texture or device can destroy it directly.
    ~IDirect3DSurface9() override;

    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetDesc(D3DSURFACE_DESC* desc) const;

    // Null for a depth-stencil surface.
    IDirect3DBaseTexture9* GetTexture() const { return container; }
    UINT GetFace() const { return face; }
    UINT GetLevel() const { return level; }
    bool IsDepthStencil() const { return container == nullptr; }
    UINT GetWidth() const;
    UINT GetHeight() const;

private:
    IDirect3DBaseTexture9* container = nullptr;
    UINT face = 0;
    UINT level = 0;
    UINT width = 0;
    UINT height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
};
