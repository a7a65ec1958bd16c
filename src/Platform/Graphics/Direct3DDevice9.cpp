#include "Platform/Graphics/Direct3DDevice9.h"

#include "Platform/Graphics/Direct3D9.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Objects larger than this are refused rather than attempted.
constexpr UINT kMaxBufferBytes = 256u << 20;
constexpr UINT kMaxTextureEdge = 8192;

template <class T>
HRESULT HandOut(T* object, T** out) {
    object->AddRef();
    *out = object;
    return D3D_OK;
}

bool IsInside(const RECT& rect, const IDirect3DSurface9& surface) {
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           static_cast<UINT>(rect.right) <= surface.GetWidth() &&
           static_cast<UINT>(rect.bottom) <= surface.GetHeight();
}

RECT WholeSurface(const IDirect3DSurface9& surface) {
    return {0, 0, static_cast<LONG>(surface.GetWidth()), static_cast<LONG>(surface.GetHeight())};
}

} // namespace

IDirect3DDevice9::IDirect3DDevice9(IDirect3D9* owner, std::unique_ptr<PlatGraphicsBackend> drawing)
    : parent(owner), backend(std::move(drawing)), state(PlatDeviceState::Defaults()) {
    parent->AddRef();
}

IDirect3DDevice9::~IDirect3DDevice9() {
    ReleaseOwnSurfaces();
    backend.reset();
    parent->Release();
}

HRESULT IDirect3DDevice9::Open(const D3DPRESENT_PARAMETERS& presentParams) {
    params = presentParams;
    const HRESULT hr = backend->Open(params);
    if (FAILED(hr))
        return hr;
    return CreateOwnSurfaces();
}

HRESULT IDirect3DDevice9::CreateOwnSurfaces() {
    const UINT width = params.BackBufferWidth;
    const UINT height = params.BackBufferHeight;
    if (width == 0 || height == 0 || width > kMaxTextureEdge || height > kMaxTextureEdge)
        return D3DERR_INVALIDCALL;
    backBuffer = new IDirect3DTexture9(this, width, height, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                       D3DPOOL_DEFAULT, true);
    renderTarget = BackBufferSurface();
    if (params.EnableAutoDepthStencil) {
        autoDepth = new IDirect3DSurface9(this, width, height, params.AutoDepthStencilFormat, true);
        depthStencil = autoDepth;
    }
    state.renderStates[D3DRS_ZENABLE] = params.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    return D3D_OK;
}

IDirect3DSurface9* IDirect3DDevice9::BackBufferSurface() const {
    IDirect3DSurface9* surface = nullptr;
    backBuffer->GetSurfaceLevel(0, &surface);
    surface->Release();
    return surface;
}

void IDirect3DDevice9::ForgetObject(const IDirect3DResource9* object) {
    if (state.streamSource == object)
        state.streamSource = nullptr;
    if (state.indices == object)
        state.indices = nullptr;
    for (IDirect3DBaseTexture9*& texture : state.textures)
        if (texture == object)
            texture = nullptr;
    if (depthStencil == object)
        depthStencil = nullptr;
    if (renderTarget && (renderTarget == object || renderTarget->GetTexture() == object))
        renderTarget = nullptr;
    if (!renderTarget && backBuffer)
        renderTarget = BackBufferSurface();
}

void IDirect3DDevice9::ReleaseOwnSurfaces() {
    if (autoDepth)
        autoDepth->Release();
    autoDepth = nullptr;
    if (IDirect3DTexture9* dying = std::exchange(backBuffer, nullptr))
        dying->Release();
}

// ---- Frame and device

HRESULT IDirect3DDevice9::TestCooperativeLevel() const {
    return lost ? D3DERR_DEVICENOTRESET : D3D_OK;
}

HRESULT IDirect3DDevice9::Reset(D3DPRESENT_PARAMETERS* presentParams) {
    if (!presentParams || defaultPoolObjects > 0)
        return D3DERR_INVALIDCALL;
    state = PlatDeviceState::Defaults();
    ReleaseOwnSurfaces();
    renderTarget = nullptr;
    depthStencil = nullptr;
    params = *presentParams;
    inScene = false;
    HRESULT hr = backend->Reset(params);
    if (SUCCEEDED(hr))
        hr = CreateOwnSurfaces();
    lost = FAILED(hr);
    return hr;
}

HRESULT IDirect3DDevice9::BeginScene() {
    if (inScene)
        return D3DERR_INVALIDCALL;
    inScene = true;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::EndScene() {
    if (!inScene)
        return D3DERR_INVALIDCALL;
    inScene = false;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::Present(const RECT*, const RECT*, HWND, const void*) {
    if (lost)
        return D3DERR_DEVICELOST;
    return backBuffer ? backend->Present(*BackBufferSurface()) : D3DERR_INVALIDCALL;
}

HRESULT IDirect3DDevice9::Clear(DWORD rectCount, const void* rects, DWORD flags, D3DCOLOR colour, float z,
                                DWORD) {
    if ((rectCount != 0 && rects) || !renderTarget)
        return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthStencil)
        return D3DERR_INVALIDCALL;
    if (!lost)
        backend->Clear(renderTarget, depthStencil, flags, colour, std::clamp(z, 0.0f, 1.0f));
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetDirect3D(IDirect3D9** direct3D) {
    if (!direct3D)
        return D3DERR_INVALIDCALL;
    return HandOut(parent, direct3D);
}

// ---- States

HRESULT IDirect3DDevice9::SetRenderState(D3DRENDERSTATETYPE which, DWORD value) {
    if (which >= D3DRS_COUNT)
        return D3DERR_INVALIDCALL;
    state.renderStates[which] = value;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetRenderState(D3DRENDERSTATETYPE which, DWORD* value) const {
    if (which >= D3DRS_COUNT || !value)
        return D3DERR_INVALIDCALL;
    *value = state.renderStates[which];
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE which, DWORD value) {
    if (stage >= kPlatTextureStages || which >= D3DTSS_COUNT)
        return D3DERR_INVALIDCALL;
    state.stageStates[stage][which] = value;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE which,
                                               DWORD* value) const {
    if (stage >= kPlatTextureStages || which >= D3DTSS_COUNT || !value)
        return D3DERR_INVALIDCALL;
    *value = state.stageStates[stage][which];
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE which, DWORD value) {
    if (sampler >= kPlatSamplers || which >= D3DSAMP_COUNT)
        return D3DERR_INVALIDCALL;
    state.samplerStates[sampler][which] = value;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE which, DWORD* value) const {
    if (sampler >= kPlatSamplers || which >= D3DSAMP_COUNT || !value)
        return D3DERR_INVALIDCALL;
    *value = state.samplerStates[sampler][which];
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetTransform(D3DTRANSFORMSTATETYPE which, const D3DMATRIX* matrix) {
    if (which >= D3DTS_COUNT || !matrix)
        return D3DERR_INVALIDCALL;
    state.transforms[which] = *matrix;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetTransform(D3DTRANSFORMSTATETYPE which, D3DMATRIX* matrix) const {
    if (which >= D3DTS_COUNT || !matrix)
        return D3DERR_INVALIDCALL;
    *matrix = state.transforms[which];
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (index >= kPlatLights || !light)
        return D3DERR_INVALIDCALL;
    state.lights[index] = *light;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetLight(DWORD index, D3DLIGHT9* light) const {
    if (index >= kPlatLights || !light)
        return D3DERR_INVALIDCALL;
    *light = state.lights[index];
    return D3D_OK;
}

HRESULT IDirect3DDevice9::LightEnable(DWORD index, BOOL enable) {
    if (index >= kPlatLights)
        return D3DERR_INVALIDCALL;
    state.lightEnabled[index] = enable != FALSE;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetLightEnable(DWORD index, BOOL* enable) const {
    if (index >= kPlatLights || !enable)
        return D3DERR_INVALIDCALL;
    *enable = state.lightEnabled[index] ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetMaterial(const D3DMATERIAL9* material) {
    if (!material)
        return D3DERR_INVALIDCALL;
    state.material = *material;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetMaterial(D3DMATERIAL9* material) const {
    if (!material)
        return D3DERR_INVALIDCALL;
    *material = state.material;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetFVF(DWORD fvf) {
    PlatVertexLayout layout;
    if (!PlatVertexLayout::FromFvf(fvf, &layout))
        return D3DERR_INVALIDCALL;
    state.fvf = fvf;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetFVF(DWORD* fvf) const {
    if (!fvf)
        return D3DERR_INVALIDCALL;
    *fvf = state.fvf;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                                          UINT stride) {
    if (stream != 0)
        return D3DERR_INVALIDCALL;
    state.streamSource = buffer;
    state.streamOffset = offset;
    state.streamStride = stride;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetIndices(IDirect3DIndexBuffer9* buffer) {
    state.indices = buffer;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetTexture(DWORD sampler, IDirect3DBaseTexture9* texture) {
    if (sampler >= kPlatSamplers)
        return D3DERR_INVALIDCALL;
    state.textures[sampler] = texture;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetTexture(DWORD sampler, IDirect3DBaseTexture9** texture) const {
    if (sampler >= kPlatSamplers || !texture)
        return D3DERR_INVALIDCALL;
    *texture = state.textures[sampler];
    if (*texture)
        (*texture)->AddRef();
    return D3D_OK;
}

// ---- Drawing

bool IDirect3DDevice9::CheckVertexRange(UINT stride, INT baseVertex, UINT first, UINT count,
                                        UINT bufferBytes) const {
    const int64_t start = int64_t(baseVertex) + first;
    const int64_t end = int64_t(state.streamOffset) + (start + count) * int64_t(stride);
    return start >= 0 && end <= bufferBytes;
}

HRESULT IDirect3DDevice9::Submit(PlatDrawCall& call) {
    if (!inScene || !PlatVertexLayout::FromFvf(state.fvf, &call.layout))
        return D3DERR_INVALIDCALL;
    if (call.stride < call.layout.stride || call.primitive < D3DPT_POINTLIST ||
        call.primitive > D3DPT_TRIANGLEFAN)
        return D3DERR_INVALIDCALL;
    if (lost || call.primitiveCount == 0)
        return D3D_OK;
    call.state = &state;
    call.renderTarget = renderTarget;
    call.depthStencil = depthStencil;
    backend->Draw(call);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex,
                                               UINT numVertices, UINT startIndex, UINT primitiveCount) {
    IDirect3DVertexBuffer9* vertices = state.streamSource;
    IDirect3DIndexBuffer9* indices = state.indices;
    if (!vertices || !indices)
        return D3DERR_INVALIDCALL;
    const UINT indexCount = PlatPrimitiveVertexCount(type, primitiveCount);
    if (uint64_t(startIndex) + indexCount > indices->GetLength() / 2)
        return D3DERR_INVALIDCALL;
    const BYTE* indexBytes = indices->GetBytes() + size_t(startIndex) * 2;
    UINT highest = 0;
    for (UINT i = 0; i < indexCount; ++i) {
        uint16_t index;
        std::memcpy(&index, indexBytes + size_t(i) * 2, 2);
        highest = std::max<UINT>(highest, index);
    }
    const UINT stride = state.streamStride;
    if (indexCount > 0 && !CheckVertexRange(stride, baseVertex, 0, highest + 1, vertices->GetLength()))
        return D3DERR_INVALIDCALL;
    PlatDrawCall call;
    call.primitive = type;
    call.primitiveCount = primitiveCount;
    call.indexed = true;
    call.baseVertex = baseVertex;
    call.minIndex = minIndex;
    call.numVertices = numVertices;
    call.startIndex = startIndex;
    call.indexCount = indexCount;
    call.stride = stride;
    return Submit(call);
}

HRESULT IDirect3DDevice9::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                          UINT stride) {
    if (!vertices)
        return D3DERR_INVALIDCALL;
    PlatDrawCall call;
    call.primitive = type;
    call.primitiveCount = primitiveCount;
    call.userVertices = static_cast<const BYTE*>(vertices);
    call.vertexCount = PlatPrimitiveVertexCount(type, primitiveCount);
    call.stride = stride;
    return Submit(call);
}

// ---- Objects

HRESULT IDirect3DDevice9::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                             IDirect3DVertexBuffer9** buffer, void*) {
    if (!buffer || length == 0 || length > kMaxBufferBytes)
        return D3DERR_INVALIDCALL;
    *buffer = new IDirect3DVertexBuffer9(this, length, usage, fvf, pool);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            IDirect3DIndexBuffer9** buffer, void*) {
    if (!buffer || length == 0 || length > kMaxBufferBytes || format != D3DFMT_INDEX16)
        return D3DERR_INVALIDCALL;
    *buffer = new IDirect3DIndexBuffer9(this, length, usage, pool);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                        D3DPOOL pool, IDirect3DTexture9** texture, void*) {
    const bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
    if (!texture || width == 0 || height == 0 || width > kMaxTextureEdge || height > kMaxTextureEdge)
        return D3DERR_INVALIDCALL;
    if (renderTarget && pool != D3DPOOL_DEFAULT)
        return D3DERR_INVALIDCALL;
    if (!IDirect3DBaseTexture9::IsSupportedFormat(format, usage))
        return D3DERR_NOTAVAILABLE;
    *texture = new IDirect3DTexture9(this, width, height, renderTarget ? 1 : levels, usage, format, pool);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, IDirect3DCubeTexture9** texture, void*) {
    if (!texture || edge == 0 || edge > kMaxTextureEdge || (usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    if (!IDirect3DBaseTexture9::IsSupportedFormat(format, usage))
        return D3DERR_NOTAVAILABLE;
    *texture = new IDirect3DCubeTexture9(this, edge, levels, usage, format, pool);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                    D3DMULTISAMPLE_TYPE, DWORD, BOOL,
                                                    IDirect3DSurface9** surface, void*) {
    if (!surface || width == 0 || height == 0 || width > kMaxTextureEdge || height > kMaxTextureEdge)
        return D3DERR_INVALIDCALL;
    if (format != D3DFMT_D16 && format != D3DFMT_D24S8)
        return D3DERR_NOTAVAILABLE;
    *surface = new IDirect3DSurface9(this, width, height, format, false);
    return D3D_OK;
}

// ---- Render targets

HRESULT IDirect3DDevice9::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
    if (index != 0 || !surface || !renderTarget)
        return D3DERR_INVALIDCALL;
    return HandOut(renderTarget, surface);
}

HRESULT IDirect3DDevice9::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
    if (index != 0 || !surface || surface->IsDepthStencil() || !surface->GetTexture()->IsRenderTarget())
        return D3DERR_INVALIDCALL;
    renderTarget = surface;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetDepthStencilSurface(IDirect3DSurface9** surface) {
    if (!surface)
        return D3DERR_INVALIDCALL;
    if (!depthStencil)
        return D3DERR_NOTFOUND;
    return HandOut(depthStencil, surface);
}

HRESULT IDirect3DDevice9::SetDepthStencilSurface(IDirect3DSurface9* surface) {
    if (surface && !surface->IsDepthStencil())
        return D3DERR_INVALIDCALL;
    depthStencil = surface;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetBackBuffer(UINT swapChain, UINT index, UINT, IDirect3DSurface9** surface) {
    if (swapChain != 0 || index != 0 || !surface || !backBuffer)
        return D3DERR_INVALIDCALL;
    return backBuffer->GetSurfaceLevel(0, surface);
}

HRESULT IDirect3DDevice9::StretchRect(IDirect3DSurface9* source, const RECT* sourceRect,
                                      IDirect3DSurface9* target, const RECT* targetRect,
                                      D3DTEXTUREFILTERTYPE filter) {
    if (!source || !target || source == target || source->IsDepthStencil() || target->IsDepthStencil() ||
        !target->GetTexture()->IsRenderTarget())
        return D3DERR_INVALIDCALL;
    const RECT from = sourceRect ? *sourceRect : WholeSurface(*source);
    const RECT to = targetRect ? *targetRect : WholeSurface(*target);
    if (!IsInside(from, *source) || !IsInside(to, *target))
        return D3DERR_INVALIDCALL;
    if (!lost)
        backend->StretchRect(*source, from, *target, to, filter);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::ReadSurfacePixels(IDirect3DSurface9* surface, std::vector<uint32_t>* texels) {
    if (!surface || !texels || surface->IsDepthStencil())
        return D3DERR_INVALIDCALL;
    return backend->ReadPixels(*surface, texels);
}
