#include "Platform/OpenGL/GLBackend.h"

#include "Platform/Graphics/Buffer.h"
#include "Platform/Graphics/Surface9.h"
#include "Platform/OpenGL/FixedFunctionShader.h"
#include "Platform/Sdl/FullScreen.h"
#include "Platform/Sdl/SdlWindow.h"

#include <SDL2/SDL.h>

#include <cstdio>

namespace {

GLenum FaceTarget(const IDirect3DBaseTexture9& texture, UINT face) {
    return texture.GetType() == D3DRTYPE_CUBETEXTURE ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : GL_TEXTURE_2D;
}

GLenum TextureTarget(const IDirect3DBaseTexture9& texture) {
    return texture.GetType() == D3DRTYPE_CUBETEXTURE ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
}

GLenum CompareFunction(DWORD function) {
    static constexpr GLenum kFunctions[] = {GL_NEVER,   GL_LESS,     GL_EQUAL,  GL_LEQUAL,
                                            GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return function >= D3DCMP_NEVER && function <= D3DCMP_ALWAYS ? kFunctions[function - D3DCMP_NEVER]
                                                                 : GL_ALWAYS;
}

GLenum BlendFactor(DWORD blend) {
    static constexpr GLenum kFactors[] = {GL_ZERO,      GL_ONE,
                                          GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
                                          GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
                                          GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
                                          GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR};
    return blend >= D3DBLEND_ZERO && blend <= D3DBLEND_INVDESTCOLOR ? kFactors[blend - D3DBLEND_ZERO]
                                                                    : GL_ONE;
}

GLenum BlendEquation(DWORD op) {
    switch (op) {
    case D3DBLENDOP_SUBTRACT:
        return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT:
        return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN:
        return GL_MIN;
    case D3DBLENDOP_MAX:
        return GL_MAX;
    default:
        return GL_FUNC_ADD;
    }
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type) {
    static constexpr GLenum kModes[] = {GL_POINTS,    GL_LINES,          GL_LINE_STRIP,
                                        GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN};
    return kModes[type - D3DPT_POINTLIST];
}

GLint AddressMode(DWORD address) {
    if (address == D3DTADDRESS_CLAMP)
        return GL_CLAMP_TO_EDGE;
    return address == D3DTADDRESS_MIRROR ? GL_MIRRORED_REPEAT : GL_REPEAT;
}

GLint MinFilter(DWORD min, DWORD mip) {
    const bool linear = min != D3DTEXF_POINT;
    if (mip == D3DTEXF_NONE)
        return linear ? GL_LINEAR : GL_NEAREST;
    if (mip == D3DTEXF_POINT)
        return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

// Culling as Direct3D sees the screen. Our clip space is y-flipped, so a
// triangle clockwise on screen is counter-clockwise to OpenGL.
void ApplyCulling(DWORD cull) {
    if (cull == D3DCULL_NONE) {
        glDisable(GL_CULL_FACE);
        return;
    }
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(cull == D3DCULL_CCW ? GL_BACK : GL_FRONT);
}

void ApplyRenderStates(const PlatStateValues& state, bool hasDepth) {
    if (hasDepth && state.RenderState(D3DRS_ZENABLE) != D3DZB_FALSE) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(CompareFunction(state.RenderState(D3DRS_ZFUNC)));
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(state.RenderState(D3DRS_ZWRITEENABLE) ? GL_TRUE : GL_FALSE);
    ApplyCulling(state.RenderState(D3DRS_CULLMODE));
    if (state.RenderState(D3DRS_ALPHABLENDENABLE)) {
        glEnable(GL_BLEND);
        glBlendFunc(BlendFactor(state.RenderState(D3DRS_SRCBLEND)),
                    BlendFactor(state.RenderState(D3DRS_DESTBLEND)));
        glBlendEquation(BlendEquation(state.RenderState(D3DRS_BLENDOP)));
    } else {
        glDisable(GL_BLEND);
    }
    const DWORD fill = state.RenderState(D3DRS_FILLMODE);
    glPolygonMode(GL_FRONT_AND_BACK, fill == D3DFILL_POINT       ? GL_POINT
                                     : fill == D3DFILL_WIREFRAME ? GL_LINE
                                                                 : GL_FILL);
}

void Attribute(GLuint index, GLint size, GLenum type, GLboolean normalise, UINT stride, size_t base,
               int offset) {
    if (offset < 0) {
        glDisableVertexAttribArray(index);
        return;
    }
    glEnableVertexAttribArray(index);
    glVertexAttribPointer(index, size, type, normalise, static_cast<GLsizei>(stride),
                          reinterpret_cast<const void*>(base + offset));
}

} // namespace

PlatGLBackend::~PlatGLBackend() {
    if (context) {
        for (auto& program : fixedFunction)
            program.reset();
        glDeleteSamplers(kPlatSamplers, samplers);
        glDeleteFramebuffers(1, &drawFramebuffer);
        glDeleteFramebuffers(1, &readFramebuffer);
        glDeleteBuffers(1, &streamBuffer);
        glDeleteVertexArrays(1, &vertexArray);
        SDL_GL_DeleteContext(context);
    }
    if (window && ownsWindow)
        SDL_DestroyWindow(window);
    else if (fullScreen)
        fullScreen->Leave();
    if (videoStarted)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

HRESULT PlatGLBackend::Open(const D3DPRESENT_PARAMETERS& params) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "Graphics: no video: %s\n", SDL_GetError());
        return D3DERR_NOTAVAILABLE;
    }
    videoStarted = true;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Draw into the caller's window; without one, into a hidden window of our own.
    window = PlatGetSdlWindow(params.hDeviceWindow);
    ownsWindow = window == nullptr;
    if (ownsWindow)
        window = SDL_CreateWindow("Kestrovar", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  static_cast<int>(params.BackBufferWidth),
                                  static_cast<int>(params.BackBufferHeight),
                                  SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window)
        context = SDL_GL_CreateContext(window);
    if (!context) {
        std::fprintf(stderr, "Graphics: no OpenGL 3.3 context: %s\n", SDL_GetError());
        return D3DERR_NOTAVAILABLE;
    }
    SDL_GL_SetSwapInterval(params.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
    // Only the caller's window goes full screen: our own stays hidden.
    if (!ownsWindow) {
        fullScreen = std::make_unique<PlatFullScreen>(window);
        if (!params.Windowed)
            fullScreen->Enter(static_cast<int>(params.BackBufferWidth),
                              static_cast<int>(params.BackBufferHeight));
    }
    anisotropy = epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
                 epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic");
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &streamBuffer);
    glGenFramebuffers(1, &drawFramebuffer);
    glGenFramebuffers(1, &readFramebuffer);
    glGenSamplers(kPlatSamplers, samplers);
    // The shape without stages shows that the emulation builds here at all.
    return BuildFixedFunction(0) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

bool PlatGLBackend::BuildFixedFunction(unsigned shape) {
    const unsigned stages = shape & 3;
    char defines[96];
    std::snprintf(
        defines, sizeof defines,
        "#define KV_STAGES %u\n#define KV_TEXTURE0 %u\n#define KV_TEXTURE1 %u\n#define KV_TEXTURE2 %u\n",
        stages, (shape >> 2) & 1, (shape >> 3) & 1, (shape >> 4) & 1);
    auto program = std::make_unique<PlatGLProgram>("fixed function");
    std::string errors;
    if (!program->Build(kPlatFixedFunctionVertexShader, kPlatFixedFunctionFragmentShader, &errors, defines)) {
        std::fprintf(stderr, "Graphics: fixed-function program (%u stages): %s\n", stages, errors.c_str());
        return false;
    }
    fixedFunction[shape] = std::move(program);
    return true;
}

PlatGLProgram* PlatGLBackend::FixedFunction(const PlatStateValues& state,
                                            const std::array<bool, kPlatTextureStages>& stageHasTexture) {
    unsigned stages = 0;
    unsigned textures = 0;
    for (; stages < kPlatTextureStages; ++stages) {
        if (state.StageState(static_cast<int>(stages), D3DTSS_COLOROP) == D3DTOP_DISABLE)
            break;
        if (stageHasTexture[stages])
            textures |= 1u << stages;
    }
    const unsigned shape = stages | textures << 2;
    if (!fixedFunction[shape] && !BuildFixedFunction(shape))
        return nullptr;
    return fixedFunction[shape].get();
}

HRESULT PlatGLBackend::Reset(const D3DPRESENT_PARAMETERS& params) {
    const int width = static_cast<int>(params.BackBufferWidth);
    const int height = static_cast<int>(params.BackBufferHeight);
    if (fullScreen && !params.Windowed && fullScreen->Enter(width, height))
        return D3D_OK;
    if (fullScreen)
        fullScreen->Leave();
    SDL_SetWindowSize(window, width, height);
    return D3D_OK;
}

// ---- Buffers: the device object holds the contents; OpenGL gets a copy.

void PlatGLBackend::CreateBuffer(PlatBuffer& buffer) {
    GLuint name = 0;
    glGenBuffers(1, &name);
    glBindBuffer(GL_ARRAY_BUFFER, name);
    glBufferData(GL_ARRAY_BUFFER, buffer.GetLength(), buffer.GetBytes(),
                 (buffer.GetUsage() & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    buffer.SetBackendName(name);
}

void PlatGLBackend::UpdateBuffer(PlatBuffer& buffer, UINT offset, UINT size, bool discard) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer.GetBackendName());
    // A discarding lock gives up the old contents: new storage, so that draws
    // still queued on the old are not disturbed, and only the locked range
    // copied into it (a dynamic buffer is large, the range written a frame
    // usually small).
    if (discard)
        glBufferData(GL_ARRAY_BUFFER, buffer.GetLength(), nullptr, GL_DYNAMIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, offset, size, buffer.GetBytes() + offset);
}

void PlatGLBackend::DestroyBuffer(PlatBuffer& buffer) {
    const GLuint name = buffer.GetBackendName();
    glDeleteBuffers(1, &name);
}

// ---- Textures, stored as RGBA8 whatever their format.

void PlatGLBackend::UploadLevel(IDirect3DBaseTexture9& texture, UINT face, UINT level, bool allocate) {
    const GLsizei width = static_cast<GLsizei>(texture.GetLevelWidth(level));
    const GLsizei height = static_cast<GLsizei>(texture.GetLevelHeight(level));
    const uint32_t* texels = texture.GetLevelTexels(face, level);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (allocate)
        glTexImage2D(FaceTarget(texture, face), static_cast<GLint>(level), GL_RGBA8, width, height, 0,
                     GL_BGRA, GL_UNSIGNED_BYTE, texels);
    else
        glTexSubImage2D(FaceTarget(texture, face), static_cast<GLint>(level), 0, 0, width, height, GL_BGRA,
                        GL_UNSIGNED_BYTE, texels);
}

void PlatGLBackend::CreateTexture(IDirect3DBaseTexture9& texture) {
    GLuint name = 0;
    glGenTextures(1, &name);
    const GLenum target = TextureTarget(texture);
    glBindTexture(target, name);
    glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(texture.GetLevelCount() - 1));
    if (!texture.HasAlpha())
        glTexParameteri(target, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    for (UINT face = 0; face < texture.GetFaceCount(); ++face)
        for (UINT level = 0; level < texture.GetLevelCount(); ++level)
            UploadLevel(texture, face, level, true);
    texture.SetBackendName(name);
}

void PlatGLBackend::UpdateTextureLevel(IDirect3DBaseTexture9& texture, UINT face, UINT level) {
    glBindTexture(TextureTarget(texture), texture.GetBackendName());
    UploadLevel(texture, face, level, false);
}

void PlatGLBackend::DestroyTexture(IDirect3DBaseTexture9& texture) {
    const GLuint name = texture.GetBackendName();
    glDeleteTextures(1, &name);
}

void PlatGLBackend::CreateDepthSurface(IDirect3DSurface9& surface) {
    GLuint name = 0;
    glGenRenderbuffers(1, &name);
    glBindRenderbuffer(GL_RENDERBUFFER, name);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, static_cast<GLsizei>(surface.GetWidth()),
                          static_cast<GLsizei>(surface.GetHeight()));
    surface.SetBackendName(name);
}

void PlatGLBackend::DestroyDepthSurface(IDirect3DSurface9& surface) {
    const GLuint name = surface.GetBackendName();
    glDeleteRenderbuffers(1, &name);
}

// ---- Targets

void PlatGLBackend::AttachColour(GLenum framebuffer, IDirect3DSurface9& surface) {
    IDirect3DBaseTexture9& texture = *surface.GetTexture();
    glFramebufferTexture2D(framebuffer, GL_COLOR_ATTACHMENT0, FaceTarget(texture, surface.GetFace()),
                           texture.GetBackendName(), static_cast<GLint>(surface.GetLevel()));
}

void PlatGLBackend::BindTarget(IDirect3DSurface9& colour, IDirect3DSurface9* depth) {
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer);
    AttachColour(GL_FRAMEBUFFER, colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              depth ? depth->GetBackendName() : 0);
    glViewport(0, 0, static_cast<GLsizei>(colour.GetWidth()), static_cast<GLsizei>(colour.GetHeight()));
}

void PlatGLBackend::Clear(IDirect3DSurface9* target, IDirect3DSurface9* depth, DWORD flags, D3DCOLOR colour,
                          float z) {
    BindTarget(*target, depth);
    GLbitfield bits = 0;
    if (flags & D3DCLEAR_TARGET) {
        const auto rgba = std::array{((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
                                     (colour & 0xFF) / 255.0f, (colour >> 24) / 255.0f};
        glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        bits |= GL_COLOR_BUFFER_BIT;
    }
    if ((flags & D3DCLEAR_ZBUFFER) && depth) {
        // Direct3D clears depth whatever the depth-write state says.
        glDepthMask(GL_TRUE);
        glClearDepth(z);
        bits |= GL_DEPTH_BUFFER_BIT;
    }
    glClear(bits);
}

// ---- Drawing

void PlatGLBackend::BindVertices(const PlatDrawCall& call) {
    size_t base = 0;
    if (call.userVertices) {
        glBindBuffer(GL_ARRAY_BUFFER, streamBuffer);
        glBufferData(GL_ARRAY_BUFFER, size_t(call.vertexCount) * call.stride, call.userVertices,
                     GL_STREAM_DRAW);
    } else {
        glBindBuffer(GL_ARRAY_BUFFER, call.state->streamSource->GetBackendName());
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, call.state->indices->GetBackendName());
        base = call.state->streamOffset + size_t(call.baseVertex) * call.stride;
    }
    const PlatVertexLayout& layout = call.layout;
    Attribute(PlatGLProgram::Position, layout.positionComponents, GL_FLOAT, GL_FALSE, call.stride, base, 0);
    Attribute(PlatGLProgram::Normal, 3, GL_FLOAT, GL_FALSE, call.stride, base, layout.normalOffset);
    // Colours are 0xAARRGGBB words: bytes B, G, R, A in memory.
    Attribute(PlatGLProgram::Diffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, call.stride, base,
              layout.diffuseOffset);
    Attribute(PlatGLProgram::Specular, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, call.stride, base,
              layout.specularOffset);
    Attribute(PlatGLProgram::TexCoord0, 2, GL_FLOAT, GL_FALSE, call.stride, base, layout.texCoordOffset[0]);
    Attribute(PlatGLProgram::TexCoord1, 2, GL_FLOAT, GL_FALSE, call.stride, base, layout.texCoordOffset[1]);
    // Absent colours read as white diffuse and black specular.
    glVertexAttrib4f(PlatGLProgram::Diffuse, 1, 1, 1, 1);
    glVertexAttrib4f(PlatGLProgram::Specular, 0, 0, 0, 0);
}

std::array<bool, kPlatTextureStages> PlatGLBackend::BindTextures(const PlatDeviceState& state) {
    std::array<bool, kPlatTextureStages> stageHasTexture{};
    for (int unit = 0; unit < kPlatSamplers; ++unit) {
        IDirect3DBaseTexture9* texture = state.textures[unit];
        glActiveTexture(GL_TEXTURE0 + unit);
        if (!texture) {
            glBindTexture(GL_TEXTURE_2D, 0);
            continue;
        }
        const GLenum target = TextureTarget(*texture);
        glBindTexture(target, texture->GetBackendName());
        glTexParameteri(target, GL_TEXTURE_BASE_LEVEL, static_cast<GLint>(texture->GetLOD()));
        const GLuint sampler = samplers[unit];
        glBindSampler(unit, sampler);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S,
                            AddressMode(state.SamplerState(unit, D3DSAMP_ADDRESSU)));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T,
                            AddressMode(state.SamplerState(unit, D3DSAMP_ADDRESSV)));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R,
                            AddressMode(state.SamplerState(unit, D3DSAMP_ADDRESSW)));
        const DWORD mag = state.SamplerState(unit, D3DSAMP_MAGFILTER);
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, mag == D3DTEXF_POINT ? GL_NEAREST : GL_LINEAR);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                            MinFilter(state.SamplerState(unit, D3DSAMP_MINFILTER),
                                      state.SamplerState(unit, D3DSAMP_MIPFILTER)));
        if (anisotropy) {
            const bool anisotropic = state.SamplerState(unit, D3DSAMP_MINFILTER) == D3DTEXF_ANISOTROPIC;
            const DWORD maximum = anisotropic ? state.SamplerState(unit, D3DSAMP_MAXANISOTROPY) : 1;
            glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY_EXT, float(std::max<DWORD>(1, maximum)));
        }
        if (unit < kPlatTextureStages)
            stageHasTexture[unit] = target == GL_TEXTURE_2D;
    }
    return stageHasTexture;
}

void PlatGLBackend::Draw(const PlatDrawCall& call) {
    IDirect3DSurface9& target = *call.renderTarget;
    BindTarget(target, call.depthStencil);
    ApplyRenderStates(*call.state, call.depthStencil != nullptr);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    const auto stageHasTexture = BindTextures(*call.state);
    PlatGLProgram* program = customProgram ? customProgram : FixedFunction(*call.state, stageHasTexture);
    if (!program)
        return;
    program->Use();
    program->ApplyDeviceState(call, target.GetWidth(), target.GetHeight());
    BindVertices(call);
    const GLenum mode = PrimitiveMode(call.primitive);
    if (call.indexed)
        glDrawElements(mode, static_cast<GLsizei>(call.indexCount), GL_UNSIGNED_SHORT,
                       reinterpret_cast<const void*>(size_t(call.startIndex) * 2));
    else
        glDrawArrays(mode, 0, static_cast<GLsizei>(call.vertexCount));
}

void PlatGLBackend::StretchRect(IDirect3DSurface9& source, const RECT& from, IDirect3DSurface9& target,
                                const RECT& to, D3DTEXTUREFILTERTYPE filter) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    AttachColour(GL_READ_FRAMEBUFFER, source);
    BindTarget(target, nullptr);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    // Both surfaces keep their top row first, so the copy needs no flip.
    glBlitFramebuffer(from.left, from.top, from.right, from.bottom, to.left, to.top, to.right, to.bottom,
                      GL_COLOR_BUFFER_BIT,
                      filter == D3DTEXF_POINT || filter == D3DTEXF_NONE ? GL_NEAREST : GL_LINEAR);
}

HRESULT PlatGLBackend::Present(IDirect3DSurface9& backBuffer) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    AttachColour(GL_READ_FRAMEBUFFER, backBuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    const GLint sourceWidth = static_cast<GLint>(backBuffer.GetWidth());
    const GLint sourceHeight = static_cast<GLint>(backBuffer.GetHeight());
    // The window's first row is its bottom: flip.
    glBlitFramebuffer(0, 0, sourceWidth, sourceHeight, 0, height, width, 0, GL_COLOR_BUFFER_BIT,
                      width == sourceWidth && height == sourceHeight ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(window);
    return D3D_OK;
}

std::unique_ptr<PlatShaderProgram> PlatGLBackend::CreateProgram(const std::string& name,
                                                                const std::string& vertex,
                                                                const std::string& fragment,
                                                                std::string* errors) {
    auto program = std::make_unique<PlatGLProgram>(name);
    if (!program->Build(vertex, fragment, errors))
        return nullptr;
    return program;
}

HRESULT PlatGLBackend::ReadPixels(IDirect3DSurface9& surface, std::vector<uint32_t>* texels) {
    // The error flags may still hold one from an earlier call: report it, so
    // that the read's own result below is only about the read.
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        std::fprintf(stderr, "Graphics: OpenGL error 0x%04X before a pixel read\n", error);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    AttachColour(GL_READ_FRAMEBUFFER, surface);
    texels->assign(size_t(surface.GetWidth()) * surface.GetHeight(), 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, static_cast<GLsizei>(surface.GetWidth()), static_cast<GLsizei>(surface.GetHeight()),
                 GL_BGRA, GL_UNSIGNED_BYTE, texels->data());
    return glGetError() == GL_NO_ERROR ? D3D_OK : E_FAIL;
}
