#pragma once

#include "Platform/Graphics/DeviceState.h"
#include "Platform/Graphics/ShaderProgram.h"
#include "Platform/Graphics/VertexLayout.h"

#include <memory>
#include <string>
#include <vector>

class IDirect3DSurface9;
class PlatBuffer;

// One draw as the device hands it to its backend, already checked: the
// buffers hold every vertex and index it reads.
struct PlatDrawCall {
    const PlatDeviceState* state = nullptr;
    PlatVertexLayout layout;
    D3DPRIMITIVETYPE primitive = D3DPT_TRIANGLELIST;
    UINT primitiveCount = 0;
    // Indexed draws: indices [startIndex, startIndex + indexCount) of the
    // bound index buffer, each offset by baseVertex.
    bool indexed = false;
    INT baseVertex = 0;
    UINT minIndex = 0;
    UINT numVertices = 0;
    UINT startIndex = 0;
    UINT indexCount = 0;
    // Draws without buffers: the caller's vertices, vertexCount of them.
    const BYTE* userVertices = nullptr;
    UINT vertexCount = 0;
    UINT stride = 0;
    IDirect3DSurface9* renderTarget = nullptr;
    IDirect3DSurface9* depthStencil = nullptr;
};

// What a device needs from the machinery that really draws (OpenGL) or that
// only records (tests). Objects are created and destroyed through it; it
// keeps its own names for them in their backend name.
class PlatGraphicsBackend {
public:
    virtual ~PlatGraphicsBackend() = default;

    // Prepares drawing for the presentation parameters; false when the
    // backend cannot run here.
    virtual HRESULT Open(const D3DPRESENT_PARAMETERS& params) = 0;
    // The device has dropped its default-pool objects and reopens with new
    // parameters.
    virtual HRESULT Reset(const D3DPRESENT_PARAMETERS& params) = 0;

    virtual void CreateBuffer(PlatBuffer& buffer) = 0;
    virtual void UpdateBuffer(PlatBuffer& buffer, UINT offset, UINT size, bool discard) = 0;
    virtual void DestroyBuffer(PlatBuffer& buffer) = 0;

    virtual void CreateTexture(IDirect3DBaseTexture9& texture) = 0;
    virtual void UpdateTextureLevel(IDirect3DBaseTexture9& texture, UINT face, UINT level) = 0;
    virtual void DestroyTexture(IDirect3DBaseTexture9& texture) = 0;

    virtual void CreateDepthSurface(IDirect3DSurface9& surface) = 0;
    virtual void DestroyDepthSurface(IDirect3DSurface9& surface) = 0;

    virtual void Clear(IDirect3DSurface9* target, IDirect3DSurface9* depth, DWORD flags, D3DCOLOR colour,
                       float z) = 0;
    virtual void Draw(const PlatDrawCall& call) = 0;
    virtual void StretchRect(IDirect3DSurface9& source, const RECT& sourceRect, IDirect3DSurface9& target,
                             const RECT& targetRect, D3DTEXTUREFILTERTYPE filter) = 0;
    virtual HRESULT Present(IDirect3DSurface9& backBuffer) = 0;

    // Compiles and links an effect pass's GLSL (each source follows the shader
    // prelude); null with the compiler's message in *errors.
    virtual std::unique_ptr<PlatShaderProgram> CreateProgram(const std::string& name,
                                                             const std::string& vertex,
                                                             const std::string& fragment,
                                                             std::string* errors) = 0;
    // Later draws use this program; null returns to the fixed-function emulation.
    virtual void UseProgram(PlatShaderProgram* program) = 0;

    // The texels of a colour surface as 0xAARRGGBB words, top row first.
    virtual HRESULT ReadPixels(IDirect3DSurface9& surface, std::vector<uint32_t>* texels) = 0;
};
