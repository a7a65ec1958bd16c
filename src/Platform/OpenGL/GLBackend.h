#pragma once

#include "Platform/OpenGL/GLProgram.h"
#include "Platform/Sdl/FullScreen.h"

#include <memory>

struct SDL_Window;

// Draws with OpenGL 3.3 core on an SDL window, or with no display on SDL's
// offscreen driver (SDL_VIDEODRIVER=offscreen, Mesa's software renderer).
// Direct3D's conventions are kept: every colour surface, the back buffer
// included, is a texture whose first row is the top of the picture, drawn
// through a y-flipped clip space; the back buffer keeps its colour between
// frames and is shown by a flipped blit at Present.
class PlatGLBackend : public PlatGraphicsBackend {
public:
    PlatGLBackend() = default;
    ~PlatGLBackend() override;

    HRESULT Open(const D3DPRESENT_PARAMETERS& params) override;
    HRESULT Reset(const D3DPRESENT_PARAMETERS& params) override;
    void CreateBuffer(PlatBuffer& buffer) override;
    void UpdateBuffer(PlatBuffer& buffer, UINT offset, UINT size, bool discard) override;
    void DestroyBuffer(PlatBuffer& buffer) override;
    void CreateTexture(IDirect3DBaseTexture9& texture) override;
    void UpdateTextureLevel(IDirect3DBaseTexture9& texture, UINT face, UINT level) override;
    void DestroyTexture(IDirect3DBaseTexture9& texture) override;
    void CreateDepthSurface(IDirect3DSurface9& surface) override;
    void DestroyDepthSurface(IDirect3DSurface9& surface) override;
    void Clear(IDirect3DSurface9* target, IDirect3DSurface9* depth, DWORD flags, D3DCOLOR colour,
               float z) override;
    void Draw(const PlatDrawCall& call) override;
    void StretchRect(IDirect3DSurface9& source, const RECT& sourceRect, IDirect3DSurface9& target,
                     const RECT& targetRect, D3DTEXTUREFILTERTYPE filter) override;
    HRESULT Present(IDirect3DSurface9& backBuffer) override;
    HRESULT ReadPixels(IDirect3DSurface9& surface, std::vector<uint32_t>* texels) override;

    std::unique_ptr<PlatShaderProgram> CreateProgram(const std::string& name, const std::string& vertex,
                                                     const std::string& fragment,
                                                     std::string* errors) override;
    void UseProgram(PlatShaderProgram* program) override {
        customProgram = static_cast<PlatGLProgram*>(program);
    }

private:
    void AttachColour(GLenum framebuffer, IDirect3DSurface9& surface);
    void BindTarget(IDirect3DSurface9& colour, IDirect3DSurface9* depth);
    void BindVertices(const PlatDrawCall& call);
    std::array<bool, kPlatTextureStages> BindTextures(const PlatDeviceState& state);
    void UploadLevel(IDirect3DBaseTexture9& texture, UINT face, UINT level, bool allocate);
    // The fixed-function emulation for the stages the state enables, built
    // on first use; null (reported) when it does not build.
    PlatGLProgram* FixedFunction(const PlatStateValues& state,
                                 const std::array<bool, kPlatTextureStages>& stageHasTexture);
    // A shape is the number of enabled stages (bits 0-1) and, for each, whether
    // it has a texture (bits 2-4).
    bool BuildFixedFunction(unsigned shape);

    SDL_Window* window = nullptr;
    bool ownsWindow = false;
    // The caller's window only.
    std::unique_ptr<PlatFullScreen> fullScreen;
    void* context = nullptr;
    bool videoStarted = false;
    GLuint vertexArray = 0;
    GLuint streamBuffer = 0;
    GLuint drawFramebuffer = 0;
    GLuint readFramebuffer = 0;
    GLuint samplers[kPlatSamplers] = {};
    bool anisotropy = false;
    static constexpr unsigned kFixedFunctionShapes = 32;
    std::array<std::unique_ptr<PlatGLProgram>, kFixedFunctionShapes> fixedFunction;
    PlatGLProgram* customProgram = nullptr;
};
