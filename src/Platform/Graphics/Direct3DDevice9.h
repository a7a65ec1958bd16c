#pragma once

#include "Platform/Graphics/CubeTexture9.h"
#include "Platform/Graphics/DeviceState.h"
#include "Platform/Graphics/GraphicsBackend.h"
#include "Platform/Graphics/Surface9.h"
#include "Platform/Graphics/Texture9.h"

#include <memory>

class IDirect3D9;

// The graphics device: the state machine the engine drives (render,
// texture-stage and sampler states, transforms, lights, material, bound
// buffers and textures, render targets), the factory of buffers, textures
// and surfaces, and the frame (Clear, BeginScene/EndScene, Present). It
// checks every call and hands valid work to its backend.
//
// Device loss is simulated (OpenGL contexts are not lost): after
// SimulateDeviceLoss, TestCooperativeLevel and Present answer
// D3DERR_DEVICENOTRESET, draws do nothing, and Reset succeeds only once
// every default-pool object the caller created has been released.
class IDirect3DDevice9 : public IUnknown {
public:
    IDirect3DDevice9(IDirect3D9* parent, std::unique_ptr<PlatGraphicsBackend> backend);

    // Called once by IDirect3D9::CreateDevice.
    HRESULT Open(const D3DPRESENT_PARAMETERS& params);

    // ---- Frame and device
    HRESULT TestCooperativeLevel() const;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params);
    HRESULT BeginScene();
    HRESULT EndScene();
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND window, const void* dirtyRegion);
    HRESULT Clear(DWORD rectCount, const void* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil);
    HRESULT GetDirect3D(IDirect3D9** direct3D);

    // ---- States
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) const;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value);
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) const;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE state, DWORD value);
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE state, DWORD* value) const;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix);
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light);
    HRESULT GetLight(DWORD index, D3DLIGHT9* light) const;
    HRESULT LightEnable(DWORD index, BOOL enable);
    HRESULT GetLightEnable(DWORD index, BOOL* enable) const;
    HRESULT SetMaterial(const D3DMATERIAL9* material);
    HRESULT GetMaterial(D3DMATERIAL9* material) const;
    HRESULT SetFVF(DWORD fvf);
    HRESULT GetFVF(DWORD* fvf) const;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride);
    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer);
    HRESULT SetTexture(DWORD sampler, IDirect3DBaseTexture9* texture);
    HRESULT GetTexture(DWORD sampler, IDirect3DBaseTexture9** texture) const;

    // ---- Drawing
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount);
    // Keeps the bound stream and indices (they stay valid for later draws).
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride);

    // ---- Objects
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** buffer, void* sharedHandle);
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, void* sharedHandle);
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, void* sharedHandle);
    HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DCubeTexture9** texture, void* sharedHandle);
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                      D3DMULTISAMPLE_TYPE multiSample, DWORD quality, BOOL discard,
                                      IDirect3DSurface9** surface, void* sharedHandle);

    // ---- Render targets
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface);
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface);
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface);
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface);
    HRESULT GetBackBuffer(UINT swapChain, UINT index, UINT type, IDirect3DSurface9** surface);
    // Copies (and scales) between colour surfaces; null rectangles mean the
    // whole surface.
    HRESULT StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* target,
                        const RECT* targetRect, D3DTEXTUREFILTERTYPE filter);

    // ---- Platform additions
    // Reads a colour surface back as 0xAARRGGBB words, top row first
    // (pixel tests; the recording backend has no pixels).
    HRESULT ReadSurfacePixels(IDirect3DSurface9* surface, std::vector<uint32_t>* texels);
    void SimulateDeviceLoss() { lost = true; }
    PlatGraphicsBackend& GetBackend() const { return *backend; }
    const PlatDeviceState& GetState() const { return state; }
    // Replaces every state value and binding at once (effects restore the
    // state they saved this way).
    void RestoreState(const PlatDeviceState& saved) { state = saved; }
    const D3DPRESENT_PARAMETERS& GetPresentParameters() const { return params; }

    // Bookkeeping for the objects of this device.
    uint32_t NextSerial() { return ++lastSerial; }
    // Drops every binding of an object that is being destroyed.
    void ForgetObject(const IDirect3DResource9* object);
    void CountDefaultPoolObject(int change) { defaultPoolObjects += change; }

private:
    ~IDirect3DDevice9() override;

    HRESULT CreateOwnSurfaces();
    IDirect3DSurface9* BackBufferSurface() const;
    void ReleaseOwnSurfaces();
    bool CheckVertexRange(UINT stride, INT baseVertex, UINT first, UINT count, UINT bufferBytes) const;
    HRESULT Submit(PlatDrawCall& call);

    IDirect3D9* parent;
    std::unique_ptr<PlatGraphicsBackend> backend;
    D3DPRESENT_PARAMETERS params;
    PlatDeviceState state;
    IDirect3DSurface9* renderTarget = nullptr;
    IDirect3DSurface9* depthStencil = nullptr;
    IDirect3DTexture9* backBuffer = nullptr;
    IDirect3DSurface9* autoDepth = nullptr;
    bool lost = false;
    bool inScene = false;
    int defaultPoolObjects = 0;
    uint32_t lastSerial = 0;
};
