#include "Platform/Graphics/TextureLoader.h"

// No image decoder is wired in yet: every file is refused as invalid data,
// which callers already handle with their fallback texture.

HRESULT D3DXGetImageInfoFromFileInMemory(const void*, UINT, D3DXIMAGE_INFO*) {
    return D3DXERR_INVALIDDATA;
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9*, const void*, UINT, UINT, UINT, UINT, DWORD,
                                            D3DFORMAT, D3DPOOL, DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*,
                                            void*, IDirect3DTexture9** texture) {
    *texture = nullptr;
    return D3DXERR_INVALIDDATA;
}

HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9*, const void*, UINT, UINT, UINT, DWORD,
                                                D3DFORMAT, D3DPOOL, DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*,
                                                void*, IDirect3DCubeTexture9** texture) {
    *texture = nullptr;
    return D3DXERR_INVALIDDATA;
}
