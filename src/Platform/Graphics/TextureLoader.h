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

// Sizes of D3DX_DEFAULT round the image's size up to powers of two (the image
// is rescaled); mipLevels D3DX_DEFAULT builds the full chain. Formats without
// alpha load opaque. palette is not supported and must be null.
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* sourceInfo, void* palette,
                                            IDirect3DTexture9** texture);

HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size,
                                                UINT edgeLength, UINT mipLevels, DWORD usage,
                                                D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                                D3DCOLOR colorKey, D3DXIMAGE_INFO* sourceInfo, void* palette,
                                                IDirect3DCubeTexture9** texture);
