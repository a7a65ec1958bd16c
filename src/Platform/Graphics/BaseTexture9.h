#pragma once

#include "Platform/Graphics/Resource9.h"

#include <memory>
#include <vector>

class IDirect3DSurface9;

// What 2D and cube textures share: faces (1 or 6) of mip levels. Lockable
// textures keep each level's texels in memory as 0xAARRGGBB words, top row
// first, and hand a level to the backend when it is unlocked. Render targets
// keep their texels only in the backend.
class IDirect3DBaseTexture9 : public IDirect3DResource9 {
public:
    DWORD GetLevelCount() const { return levelCount; }
    // Makes the given level the largest one sampled, clamped to the chain;
    // answers the previous value.
    DWORD SetLOD(DWORD lod);
    DWORD GetLOD() const { return lod; }
    D3DRESOURCETYPE GetType() const { return type; }

    UINT GetFaceCount() const { return type == D3DRTYPE_CUBETEXTURE ? 6 : 1; }
    D3DFORMAT GetFormat() const { return format; }
    DWORD GetUsage() const { return usage; }
    bool IsRenderTarget() const { return (usage & D3DUSAGE_RENDERTARGET) != 0; }
    // X8R8G8B8 and the 16-bit formats without alpha sample with alpha 1.
    bool HasAlpha() const { return format == D3DFMT_A8R8G8B8; }
    UINT GetLevelWidth(UINT level) const;
    UINT GetLevelHeight(UINT level) const;
    // The texels of a level, or null for render targets and bad indices.
    const uint32_t* GetLevelTexels(UINT face, UINT level) const;

    // The full chain length for a size: down to 1x1.
    static UINT FullChainLength(UINT width, UINT height);
    // Whether textures of this format and usage can be created.
    static bool IsSupportedFormat(D3DFORMAT format, DWORD usage);

protected:
    IDirect3DBaseTexture9(IDirect3DDevice9* device, D3DRESOURCETYPE type, UINT width, UINT height,
                          UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, bool ownedByDevice);
    ~IDirect3DBaseTexture9() override;

    HRESULT DescribeLevel(UINT level, D3DSURFACE_DESC* desc) const;
    HRESULT LockLevel(UINT face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT UnlockLevel(UINT face, UINT level);
    HRESULT GetSurface(UINT face, UINT level, IDirect3DSurface9** surface);

private:
    struct Level {
        std::vector<uint32_t> texels;
        bool locked = false;
    };

    bool IsValid(UINT face, UINT level) const { return face < GetFaceCount() && level < levelCount; }
    Level& LevelAt(UINT face, UINT level) { return levels[face * levelCount + level]; }

    D3DRESOURCETYPE type;
    UINT width;
    UINT height;
    UINT levelCount;
    DWORD usage;
    D3DFORMAT format;
    DWORD lod = 0;
    std::vector<Level> levels;
    std::vector<std::unique_ptr<IDirect3DSurface9>> surfaces;
};
