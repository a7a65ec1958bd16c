#pragma once

#include "Platform/Graphics/Direct3D9.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// A device of the chosen backend with a back buffer of the given size and a
// 16-bit depth buffer, released at the end of the test.
class GraphicsTestDevice {
public:
    GraphicsTestDevice(PlatGraphicsBackendKind kind, UINT width, UINT height) {
        PlatSetGraphicsBackendKind(kind);
        direct3D = Direct3DCreate9(D3D_SDK_VERSION);
        PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::OpenGL);
        params.BackBufferWidth = width;
        params.BackBufferHeight = height;
        params.BackBufferFormat = D3DFMT_A8R8G8B8;
        params.BackBufferCount = 1;
        params.EnableAutoDepthStencil = TRUE;
        params.AutoDepthStencilFormat = D3DFMT_D16;
        params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        result = direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                        &params, &device);
    }
    ~GraphicsTestDevice() {
        if (device)
            device->Release();
        if (direct3D)
            direct3D->Release();
    }
    GraphicsTestDevice(const GraphicsTestDevice&) = delete;
    GraphicsTestDevice& operator=(const GraphicsTestDevice&) = delete;

    IDirect3DDevice9* operator->() const { return device; }
    IDirect3DDevice9* Get() const { return device; }

    IDirect3D9* direct3D = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS params{};
    HRESULT result = E_FAIL;
};

// The 28-byte pre-transformed vertex (position in pixels, 1/w, colour, uv).
struct TestScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
static_assert(sizeof(TestScreenVertex) == 28);
inline constexpr DWORD kTestScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// The 48-byte lit vertex: position, normal, diffuse, specular, two uv sets.
struct TestMeshVertex {
    float x, y, z;
    float nx, ny, nz;
    D3DCOLOR diffuse, specular;
    float u0, v0, u1, v1;
};
static_assert(sizeof(TestMeshVertex) == 48);
inline constexpr DWORD kTestMeshFvf =
    D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2;

// Fills a buffer through Lock/Unlock.
template <class Buffer, class T>
HRESULT FillBuffer(Buffer* buffer, const T* items, size_t count, DWORD flags = 0) {
    void* data = nullptr;
    const HRESULT hr = buffer->Lock(0, static_cast<UINT>(count * sizeof(T)), &data, flags);
    if (FAILED(hr))
        return hr;
    std::memcpy(data, items, count * sizeof(T));
    return buffer->Unlock();
}

// Tests that run on both backends: instantiated with these values and names.
inline const auto kBothBackends =
    ::testing::Values(PlatGraphicsBackendKind::Recording, PlatGraphicsBackendKind::OpenGL);
inline std::string BackendName(const ::testing::TestParamInfo<PlatGraphicsBackendKind>& info) {
    return info.param == PlatGraphicsBackendKind::OpenGL ? "OpenGL" : "Recording";
}
