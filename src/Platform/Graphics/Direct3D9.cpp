#include "Platform/Graphics/Direct3D9.h"

#include "Platform/Graphics/GraphicsBackend.h"
#include "Platform/GraphicsBackends.h"

#include <algorithm>

namespace {

PlatGraphicsBackendKind g_backendKind = PlatGraphicsBackendKind::OpenGL;

bool IsDisplayFormat(D3DFORMAT format) {
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_A1R5G5B5 ||
           format == D3DFMT_R5G6B5;
}

// The modes offered in every display format.
std::vector<D3DDISPLAYMODE> StandardModes() {
    std::vector<D3DDISPLAYMODE> modes;
    for (auto [width, height] : {std::pair{640u, 480u}, {800u, 600u}, {1024u, 768u}, {1280u, 1024u}})
        modes.push_back({width, height, 60, D3DFMT_UNKNOWN});
    return modes;
}

} // namespace

void PlatSetGraphicsBackendKind(PlatGraphicsBackendKind kind) {
    g_backendKind = kind;
}

PlatGraphicsBackendKind PlatGetGraphicsBackendKind() {
    return g_backendKind;
}

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION)
        return nullptr;
    return new IDirect3D9(g_backendKind);
}

IDirect3D9::IDirect3D9(PlatGraphicsBackendKind backendKind) : kind(backendKind), modes(StandardModes()) {}

HRESULT IDirect3D9::GetDeviceCaps(UINT adapter, D3DDEVTYPE, D3DCAPS9* caps) const {
    if (adapter != 0 || !caps)
        return D3DERR_INVALIDCALL;
    *caps = {};
    caps->DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    caps->MaxAnisotropy = 16;
    caps->MaxActiveLights = kPlatShadedLights;
    caps->MaxTextureWidth = caps->MaxTextureHeight = 8192;
    caps->MaxSimultaneousTextures = kPlatTextureStages;
    return D3D_OK;
}

HRESULT IDirect3D9::CheckDeviceType(UINT adapter, D3DDEVTYPE, D3DFORMAT displayFormat,
                                    D3DFORMAT backBufferFormat, BOOL) const {
    if (adapter != 0)
        return D3DERR_INVALIDCALL;
    return IsDisplayFormat(displayFormat) && IsDisplayFormat(backBufferFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT IDirect3D9::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE, D3DFORMAT format, BOOL,
                                               D3DMULTISAMPLE_TYPE multiSample, DWORD* qualityLevels) const {
    if (adapter != 0)
        return D3DERR_INVALIDCALL;
    if (multiSample != D3DMULTISAMPLE_NONE || !IsDisplayFormat(format))
        return D3DERR_NOTAVAILABLE;
    if (qualityLevels)
        *qualityLevels = 1;
    return D3D_OK;
}

UINT IDirect3D9::GetAdapterModeCount(UINT adapter, D3DFORMAT format) const {
    return adapter == 0 && IsDisplayFormat(format) ? static_cast<UINT>(modes.size()) : 0;
}

HRESULT IDirect3D9::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode,
                                     D3DDISPLAYMODE* displayMode) const {
    if (!displayMode || mode >= GetAdapterModeCount(adapter, format))
        return D3DERR_INVALIDCALL;
    *displayMode = modes[mode];
    displayMode->Format = format;
    return D3D_OK;
}

HRESULT IDirect3D9::CreateDevice(UINT adapter, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS* params,
                                 IDirect3DDevice9** device) {
    if (adapter != 0 || !params || !device)
        return D3DERR_INVALIDCALL;
    if (!IsDisplayFormat(params->BackBufferFormat))
        return D3DERR_INVALIDCALL;
    auto* created = new IDirect3DDevice9(this, PlatCreateGraphicsBackend(kind));
    const HRESULT hr = created->Open(*params);
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    *device = created;
    return D3D_OK;
}
