#pragma once

// Records, formats, pools and flags of the graphics device. The values that
// callers pass as numbers (vertex formats, creation and filter flags) keep
// those numbers; everything else is only ever used by name.

#include "Platform/D3DX9Math.h"
#include "Platform/Win32Types.h"

#include <cstdint>

// ---- Basic records. Matrices are row-major and used with row vectors
// (v' = v * M, translation in the fourth row).
// The device takes the math layer's records as they are.
using D3DVECTOR = D3DXVECTOR3;
using D3DMATRIX = D3DXMATRIX;

// A colour packed as 0xAARRGGBB; in memory its bytes are B, G, R, A.
using D3DCOLOR = DWORD;

inline constexpr D3DCOLOR D3DCOLOR_ARGB(unsigned a, unsigned r, unsigned g, unsigned b) {
    return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}

// ---- Formats and pools

enum D3DFORMAT : uint32_t {
    D3DFMT_UNKNOWN,
    D3DFMT_A8R8G8B8,
    D3DFMT_X8R8G8B8,
    D3DFMT_A1R5G5B5,
    D3DFMT_R5G6B5,
    D3DFMT_D16,
    D3DFMT_D24S8,
    D3DFMT_INDEX16,
    D3DFMT_DXT1,
    D3DFMT_DXT3,
    D3DFMT_DXT5,
};

enum D3DPOOL : uint32_t { D3DPOOL_DEFAULT, D3DPOOL_MANAGED, D3DPOOL_SYSTEMMEM };

enum D3DRESOURCETYPE : uint32_t {
    D3DRTYPE_SURFACE,
    D3DRTYPE_TEXTURE,
    D3DRTYPE_CUBETEXTURE,
    D3DRTYPE_VERTEXBUFFER,
    D3DRTYPE_INDEXBUFFER,
};

enum D3DCUBEMAP_FACES : uint32_t {
    D3DCUBEMAP_FACE_POSITIVE_X,
    D3DCUBEMAP_FACE_NEGATIVE_X,
    D3DCUBEMAP_FACE_POSITIVE_Y,
    D3DCUBEMAP_FACE_NEGATIVE_Y,
    D3DCUBEMAP_FACE_POSITIVE_Z,
    D3DCUBEMAP_FACE_NEGATIVE_Z,
};

inline constexpr DWORD D3DUSAGE_RENDERTARGET = 0x1;
inline constexpr DWORD D3DUSAGE_DEPTHSTENCIL = 0x2;
inline constexpr DWORD D3DUSAGE_WRITEONLY = 0x8;
inline constexpr DWORD D3DUSAGE_DONOTCLIP = 0x20;
inline constexpr DWORD D3DUSAGE_DYNAMIC = 0x200;

inline constexpr DWORD D3DLOCK_READONLY = 0x10;
inline constexpr DWORD D3DLOCK_NOSYSLOCK = 0x800;
inline constexpr DWORD D3DLOCK_NOOVERWRITE = 0x1000;
inline constexpr DWORD D3DLOCK_DISCARD = 0x2000;

// ---- Flexible vertex formats

inline constexpr DWORD D3DFVF_XYZ = 0x2;
inline constexpr DWORD D3DFVF_XYZRHW = 0x4;
inline constexpr DWORD D3DFVF_NORMAL = 0x10;
inline constexpr DWORD D3DFVF_DIFFUSE = 0x40;
inline constexpr DWORD D3DFVF_SPECULAR = 0x80;
inline constexpr DWORD D3DFVF_TEX1 = 0x100;
inline constexpr DWORD D3DFVF_TEX2 = 0x200;
inline constexpr DWORD D3DFVF_POSITION_MASK = 0xE;
inline constexpr DWORD D3DFVF_TEXCOUNT_MASK = 0xF00;
inline constexpr DWORD D3DFVF_TEXCOUNT_SHIFT = 8;

enum D3DPRIMITIVETYPE : uint32_t {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST,
    D3DPT_LINESTRIP,
    D3DPT_TRIANGLELIST,
    D3DPT_TRIANGLESTRIP,
    D3DPT_TRIANGLEFAN,
};

// ---- Frame

inline constexpr DWORD D3DCLEAR_TARGET = 0x1;
inline constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
inline constexpr DWORD D3DCLEAR_STENCIL = 0x4;

enum D3DDEVTYPE : uint32_t { D3DDEVTYPE_HAL = 1 };

enum D3DMULTISAMPLE_TYPE : uint32_t { D3DMULTISAMPLE_NONE = 0, D3DMULTISAMPLE_NONMASKABLE = 1 };

enum D3DSWAPEFFECT : uint32_t { D3DSWAPEFFECT_DISCARD = 1 };

inline constexpr UINT D3DADAPTER_DEFAULT = 0;
inline constexpr UINT D3D_SDK_VERSION = 32;
inline constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
inline constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;
inline constexpr DWORD D3DPRESENTFLAG_DISCARDDEPTHSTENCIL = 0x2;
inline constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0;
inline constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;
inline constexpr DWORD D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x10000;

struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth = 0;
    UINT BackBufferHeight = 0;
    D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
    UINT BackBufferCount = 0;
    D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
    DWORD MultiSampleQuality = 0;
    D3DSWAPEFFECT SwapEffect = D3DSWAPEFFECT_DISCARD;
    HWND hDeviceWindow = nullptr;
    BOOL Windowed = TRUE;
    BOOL EnableAutoDepthStencil = FALSE;
    D3DFORMAT AutoDepthStencilFormat = D3DFMT_UNKNOWN;
    DWORD Flags = 0;
    UINT FullScreen_RefreshRateInHz = 0;
    UINT PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
};

struct D3DDISPLAYMODE {
    UINT Width = 0;
    UINT Height = 0;
    UINT RefreshRate = 0;
    D3DFORMAT Format = D3DFMT_UNKNOWN;
};

struct D3DCAPS9 {
    DWORD DevCaps = 0;
    DWORD MaxAnisotropy = 1;
    DWORD MaxActiveLights = 0;
    DWORD MaxTextureWidth = 0;
    DWORD MaxTextureHeight = 0;
    DWORD MaxSimultaneousTextures = 0;
};

struct D3DSURFACE_DESC {
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    D3DRESOURCETYPE Type = D3DRTYPE_SURFACE;
    DWORD Usage = 0;
    D3DPOOL Pool = D3DPOOL_DEFAULT;
    D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
    DWORD MultiSampleQuality = 0;
    UINT Width = 0;
    UINT Height = 0;
};

struct D3DVERTEXBUFFER_DESC {
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    D3DRESOURCETYPE Type = D3DRTYPE_VERTEXBUFFER;
    DWORD Usage = 0;
    D3DPOOL Pool = D3DPOOL_DEFAULT;
    UINT Size = 0;
    DWORD FVF = 0;
};

struct D3DINDEXBUFFER_DESC {
    D3DFORMAT Format = D3DFMT_INDEX16;
    D3DRESOURCETYPE Type = D3DRTYPE_INDEXBUFFER;
    DWORD Usage = 0;
    D3DPOOL Pool = D3DPOOL_DEFAULT;
    UINT Size = 0;
};

struct D3DLOCKED_RECT {
    int Pitch = 0;
    void* pBits = nullptr;
};

// ---- Lights and material

enum D3DLIGHTTYPE : uint32_t { D3DLIGHT_POINT = 1, D3DLIGHT_SPOT = 2, D3DLIGHT_DIRECTIONAL = 3 };

struct D3DLIGHT9 {
    D3DLIGHTTYPE Type = D3DLIGHT_DIRECTIONAL;
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Ambient;
    D3DVECTOR Position;
    D3DVECTOR Direction;
    float Range = 0;
    float Falloff = 0;
    float Attenuation0 = 0;
    float Attenuation1 = 0;
    float Attenuation2 = 0;
    float Theta = 0;
    float Phi = 0;
};
static_assert(sizeof(D3DLIGHT9) == 104);

struct D3DMATERIAL9 {
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    float Power = 0;
};

// ---- Result codes of the graphics device

inline constexpr HRESULT PlatMakeGraphicsError(unsigned code) {
    return static_cast<HRESULT>(0x88760000u | code);
}
inline constexpr HRESULT D3D_OK = S_OK;
inline constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = PlatMakeGraphicsError(380);
inline constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = PlatMakeGraphicsError(2072);
inline constexpr HRESULT D3DERR_NOTFOUND = PlatMakeGraphicsError(2150);
inline constexpr HRESULT D3DERR_DEVICELOST = PlatMakeGraphicsError(2152);
inline constexpr HRESULT D3DERR_DEVICENOTRESET = PlatMakeGraphicsError(2153);
inline constexpr HRESULT D3DERR_NOTAVAILABLE = PlatMakeGraphicsError(2154);
inline constexpr HRESULT D3DERR_INVALIDCALL = PlatMakeGraphicsError(2156);
inline constexpr HRESULT D3DXERR_INVALIDDATA = PlatMakeGraphicsError(2905);
