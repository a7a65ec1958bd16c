#pragma once

#include "Platform/Graphics/Direct3DDevice9.h"

#include <vector>

// Which machinery devices draw with: OpenGL (a window, or SDL's offscreen
// driver with no display), the recording backend that draws nothing and
// logs every call, or the recording backend keeping only the calls since the
// last present (a headless run of any length).
enum class PlatGraphicsBackendKind { OpenGL, Recording, Headless };

// Chooses the backend of the devices created after this call (default OpenGL).
void PlatSetGraphicsBackendKind(PlatGraphicsBackendKind kind);
PlatGraphicsBackendKind PlatGetGraphicsBackendKind();

// The adapter: what the display can do, and the factory of devices.
class IDirect3D9 : public IUnknown {
public:
    explicit IDirect3D9(PlatGraphicsBackendKind kind);

    UINT GetAdapterCount() const { return 1; }
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) const;
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                            D3DFORMAT backBufferFormat, BOOL windowed) const;
    // Multisampled back buffers are not offered: every type but NONE fails.
    HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT format, BOOL windowed,
                                       D3DMULTISAMPLE_TYPE multiSample, DWORD* qualityLevels) const;
    UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) const;
    HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* displayMode) const;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND window, DWORD behaviour,
                         D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device);

private:
    ~IDirect3D9() override = default;

    PlatGraphicsBackendKind kind;
    std::vector<D3DDISPLAYMODE> modes;
};

// Null when the SDK version is not the one the engine is written for.
IDirect3D9* Direct3DCreate9(UINT sdkVersion);
