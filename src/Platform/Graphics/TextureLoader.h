#pragma once

#include "Platform/Graphics/CubeTexture9.h"
#include "Platform/Graphics/Direct3DDevice9.h"
#include "Platform/Graphics/EffectTypes.h"
#include "Platform/Graphics/Texture9.h"

// Textures from image files held in memory (TGA, JPEG, PNG, BMP, DDS).

enum D3DXIMAGE_FILEFORMAT : uint32_t {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
};

// What the file itself holds, before any rescaling.
struct D3DXIMAGE_INFO {
    UINT Width = 0;
    UINT Height = 0;
    UINT Depth = 0;
    UINT MipLevels = 0;
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    D3DRESOURCETYPE ResourceType = D3DRTYPE_TEXTURE;
    D3DXIMAGE_FILEFORMAT ImageFileFormat = D3DXIFF_BMP;
};

HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT size, D3DXIMAGE_INFO* info);

// Sizes of D3DX_DEFAULT (or 0) round the image's size up to powers of two
// and other sizes are taken as they are; the image is rescaled to the size.
// mipLevels D3DX_DEFAULT (or 0) takes a DDS file's own chain, or builds the
// full chain; other counts are clamped to the full chain. Levels the file
// does not hold at the texture's size are filtered down from the level
// above. filter and mipFilter choose a box filter for D3DX_FILTER_BOX and a
// triangle filter otherwise. format D3DFMT_UNKNOWN gives A8R8G8B8 for files
// with alpha (DXT included) and X8R8G8B8 for the others, whose texels are
// stored opaque. A cube-map file loads its first face. sourceInfo, when
// given, describes the file. colorKey must be 0 and palette null.
// D3DXERR_INVALIDDATA for a file that is not a readable image.
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* sourceInfo, void* palette,
                                            IDirect3DTexture9** texture);

// The same for cube-map DDS files; any other file is D3DXERR_INVALIDDATA.
HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size,
                                                UINT edgeLength, UINT mipLevels, DWORD usage,
                                                D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                                D3DCOLOR colorKey, D3DXIMAGE_INFO* sourceInfo, void* palette,
                                                IDirect3DCubeTexture9** texture);
