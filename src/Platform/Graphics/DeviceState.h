#pragma once

#include "Platform/Graphics/BaseTexture9.h"
#include "Platform/Graphics/D3D9States.h"
#include "Platform/Graphics/D3D9Types.h"
#include "Platform/Graphics/IndexBuffer9.h"
#include "Platform/Graphics/VertexBuffer9.h"

#include <array>

// The device's state as plain values: what a draw depends on besides its
// buffers and textures. The recording backend logs a copy at every draw.
struct PlatStateValues {
    std::array<DWORD, D3DRS_COUNT> renderStates{};
    std::array<std::array<DWORD, D3DTSS_COUNT>, kPlatTextureStages> stageStates{};
    std::array<std::array<DWORD, D3DSAMP_COUNT>, kPlatSamplers> samplerStates{};
    std::array<D3DMATRIX, D3DTS_COUNT> transforms{};
    std::array<D3DLIGHT9, kPlatLights> lights{};
    std::array<bool, kPlatLights> lightEnabled{};
    D3DMATERIAL9 material;
    DWORD fvf = 0;
    UINT streamOffset = 0;
    UINT streamStride = 0;

    DWORD RenderState(D3DRENDERSTATETYPE state) const { return renderStates[state]; }
    float RenderStateFloat(D3DRENDERSTATETYPE state) const { return PlatBitsFloat(renderStates[state]); }
    DWORD StageState(int stage, D3DTEXTURESTAGESTATETYPE state) const { return stageStates[stage][state]; }
    DWORD SamplerState(int sampler, D3DSAMPLERSTATETYPE state) const { return samplerStates[sampler][state]; }
    const D3DMATRIX& Transform(D3DTRANSFORMSTATETYPE state) const { return transforms[state]; }
};

// The whole device state: values plus the bound buffers and textures. The
// bindings hold no references (that would keep the device alive through its
// own objects); an object being destroyed unbinds itself instead.
struct PlatDeviceState : PlatStateValues {
    IDirect3DVertexBuffer9* streamSource = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    std::array<IDirect3DBaseTexture9*, kPlatSamplers> textures{};

    // The state of a newly created or reset device.
    static PlatDeviceState Defaults();
};
