#include "Platform/Graphics/BaseTexture9.h"

#include "Platform/Graphics/GraphicsBackend.h"
#include "Platform/Graphics/Surface9.h"

#include <algorithm>
#include <bit>

IDirect3DBaseTexture9::IDirect3DBaseTexture9(IDirect3DDevice9* device, D3DRESOURCETYPE textureType, UINT w,
                                             UINT h, UINT levels, DWORD textureUsage, D3DFORMAT textureFormat,
                                             D3DPOOL pool, bool ownedByDevice)
    : IDirect3DResource9(device, pool, ownedByDevice), type(textureType), width(w), height(h),
      levelCount(levels == 0 ? FullChainLength(w, h) : std::min(levels, FullChainLength(w, h))),
      usage(textureUsage), format(textureFormat), levels(GetFaceCount() * levelCount),
      surfaces(GetFaceCount() * levelCount) {
    if (!IsRenderTarget())
        for (UINT face = 0; face < GetFaceCount(); ++face)
            for (UINT level = 0; level < levelCount; ++level)
                LevelAt(face, level).texels.assign(size_t(GetLevelWidth(level)) * GetLevelHeight(level), 0);
    Backend().CreateTexture(*this);
}

IDirect3DBaseTexture9::~IDirect3DBaseTexture9() {
    Backend().DestroyTexture(*this);
}

UINT IDirect3DBaseTexture9::FullChainLength(UINT w, UINT h) {
    return static_cast<UINT>(std::bit_width(std::max({w, h, 1u})));
}

bool IDirect3DBaseTexture9::IsSupportedFormat(D3DFORMAT format, DWORD usage) {
    if (format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8)
        return true;
    const bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
    return renderTarget && (format == D3DFMT_A1R5G5B5 || format == D3DFMT_R5G6B5);
}

UINT IDirect3DBaseTexture9::GetLevelWidth(UINT level) const {
    return std::max(1u, width >> level);
}

UINT IDirect3DBaseTexture9::GetLevelHeight(UINT level) const {
    return std::max(1u, height >> level);
}

DWORD IDirect3DBaseTexture9::SetLOD(DWORD newLod) {
    const DWORD previous = lod;
    lod = std::min<DWORD>(newLod, levelCount - 1);
    return previous;
}

const uint32_t* IDirect3DBaseTexture9::GetLevelTexels(UINT face, UINT level) const {
    if (!IsValid(face, level) || IsRenderTarget())
        return nullptr;
    return levels[face * levelCount + level].texels.data();
}

HRESULT IDirect3DBaseTexture9::DescribeLevel(UINT level, D3DSURFACE_DESC* desc) const {
    if (!desc || level >= levelCount)
        return D3DERR_INVALIDCALL;
    *desc = {};
    desc->Format = format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = usage;
    desc->Pool = GetPool();
    desc->Width = GetLevelWidth(level);
    desc->Height = GetLevelHeight(level);
    return D3D_OK;
}

HRESULT IDirect3DBaseTexture9::LockLevel(UINT face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                         DWORD) {
    if (!locked || !IsValid(face, level) || IsRenderTarget())
        return D3DERR_INVALIDCALL;
    Level& entry = LevelAt(face, level);
    const LONG levelWidth = static_cast<LONG>(GetLevelWidth(level));
    const LONG levelHeight = static_cast<LONG>(GetLevelHeight(level));
    RECT area{0, 0, levelWidth, levelHeight};
    if (rect)
        area = *rect;
    const bool inside = area.left >= 0 && area.top >= 0 && area.left < area.right && area.top < area.bottom &&
                        area.right <= levelWidth && area.bottom <= levelHeight;
    if (entry.locked || !inside)
        return D3DERR_INVALIDCALL;
    entry.locked = true;
    locked->Pitch = levelWidth * 4;
    locked->pBits = entry.texels.data() + size_t(area.top) * levelWidth + area.left;
    return D3D_OK;
}

HRESULT IDirect3DBaseTexture9::UnlockLevel(UINT face, UINT level) {
    if (!IsValid(face, level) || !LevelAt(face, level).locked)
        return D3DERR_INVALIDCALL;
    LevelAt(face, level).locked = false;
    Backend().UpdateTextureLevel(*this, face, level);
    return D3D_OK;
}

HRESULT IDirect3DBaseTexture9::GetSurface(UINT face, UINT level, IDirect3DSurface9** surface) {
    if (!surface || !IsValid(face, level))
        return D3DERR_INVALIDCALL;
    std::unique_ptr<IDirect3DSurface9>& slot = surfaces[face * levelCount + level];
    if (!slot)
        slot = std::make_unique<IDirect3DSurface9>(this, face, level);
    slot->AddRef();
    *surface = slot.get();
    return D3D_OK;
}
