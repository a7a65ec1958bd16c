#include "Platform/Graphics/Surface9.h"

#include "Platform/Graphics/BaseTexture9.h"
#include "Platform/Graphics/GraphicsBackend.h"

IDirect3DSurface9::IDirect3DSurface9(IDirect3DBaseTexture9* texture, UINT textureFace, UINT textureLevel)
    : IDirect3DResource9(&texture->Owner(), texture->GetPool(), true), container(texture), face(textureFace),
      level(textureLevel), width(texture->GetLevelWidth(textureLevel)),
      height(texture->GetLevelHeight(textureLevel)), format(texture->GetFormat()) {}

IDirect3DSurface9::IDirect3DSurface9(IDirect3DDevice9* device, UINT w, UINT h, D3DFORMAT depthFormat,
                                     bool ownedByDevice)
    : IDirect3DResource9(device, D3DPOOL_DEFAULT, ownedByDevice), width(w), height(h), format(depthFormat) {
    Backend().CreateDepthSurface(*this);
}

IDirect3DSurface9::~IDirect3DSurface9() {
    if (IsDepthStencil())
        Backend().DestroyDepthSurface(*this);
}

ULONG IDirect3DSurface9::AddRef() {
    return container ? container->AddRef() : IDirect3DResource9::AddRef();
}

ULONG IDirect3DSurface9::Release() {
    return container ? container->Release() : IDirect3DResource9::Release();
}

UINT IDirect3DSurface9::GetWidth() const {
    return width;
}

UINT IDirect3DSurface9::GetHeight() const {
    return height;
}

HRESULT IDirect3DSurface9::GetDesc(D3DSURFACE_DESC* desc) const {
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = {};
    desc->Format = format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = container ? container->GetUsage() : D3DUSAGE_DEPTHSTENCIL;
    desc->Pool = GetPool();
    desc->Width = width;
    desc->Height = height;
    return D3D_OK;
}
