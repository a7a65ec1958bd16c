#pragma once

#include "Platform/Graphics/GraphicsBackend.h"

#include <map>
#include <string>
#include <vector>

// An effect program on the recording backend: keeps the last value set for
// each uniform.
class PlatRecordedProgram : public PlatShaderProgram {
public:
    explicit PlatRecordedProgram(std::string programName) : name(std::move(programName)) {}
    const std::string& GetName() const override { return name; }
    // Every name is a uniform here: its index is its place among the names.
    int FindUniform(const std::string& uniform) override;
    void SetFloats(int uniform, const float* values, int count) override {
        uniforms[names[uniform]].assign(values, values + count);
    }
    void SetInt(int uniform, int value) override { uniforms[names[uniform]] = {float(value)}; }

    std::string name;
    std::vector<std::string> names;
    std::map<std::string, std::vector<float>> uniforms;
};

// One call the device made on the recording backend. Objects are named by
// their serial numbers (0 for none).
struct PlatRecordedCall {
    enum class Kind { Clear, Draw, StretchRect, Present, Reset };

    Kind kind = Kind::Draw;
    uint32_t target = 0; // the colour surface's texture drawn into, cleared, copied to or shown
    // Clear
    DWORD clearFlags = 0;
    D3DCOLOR colour = 0;
    float z = 0;
    // StretchRect
    uint32_t source = 0;
    RECT sourceRect;
    RECT targetRect;
    // Draw: the call, the device state at that moment, the bound objects,
    // and the indices and vertices it read. Vertex k of the draw (after the
    // base vertex is applied) starts at byte k * stride of vertices.
    PlatDrawCall call;
    PlatStateValues state;
    // The effect program drawing, or empty for the fixed-function emulation;
    // a copy of its uniforms at the draw.
    std::string program;
    std::map<std::string, std::vector<float>> uniforms;
    uint32_t vertexBuffer = 0;
    uint32_t indexBuffer = 0;
    std::array<uint32_t, kPlatSamplers> textures{};
    std::vector<uint16_t> indices;
    std::vector<BYTE> vertices;

    // A float at a byte offset of vertex k (positions, texture coordinates).
    float VertexFloat(UINT vertex, UINT byteOffset) const;
    DWORD VertexDword(UINT vertex, UINT byteOffset) const;

private:
    template <class T>
    T ReadVertex(UINT vertex, UINT byteOffset) const;
};

// A backend that draws nothing. Buffer and texture contents live in their
// device objects (so locks work as usual); every clear, draw, copy and
// present is logged with the state of the device at that moment, for exact
// tests of frame order and state without OpenGL.
class PlatRecordingBackend : public PlatGraphicsBackend {
public:
    // Without `keepEveryFrame` the log starts again with the first call
    // after each present, so it holds at most one frame.
    explicit PlatRecordingBackend(bool keepEveryFrame = true) : keepEveryFrame(keepEveryFrame) {}

    const std::vector<PlatRecordedCall>& GetCalls() const { return calls; }
    void ClearCalls() { calls.clear(); }
    // Draw calls only, in order.
    std::vector<const PlatRecordedCall*> GetDraws() const;
    // One line per call ("Clear target 3 flags 3 colour ff000000", "Draw ...").
    std::string Describe() const;

    int GetLiveObjectCount() const { return liveObjects; }

    HRESULT Open(const D3DPRESENT_PARAMETERS& params) override;
    HRESULT Reset(const D3DPRESENT_PARAMETERS& params) override;
    void CreateBuffer(PlatBuffer& buffer) override;
    void UpdateBuffer(PlatBuffer&, UINT, UINT, bool) override {}
    void DestroyBuffer(PlatBuffer&) override { --liveObjects; }
    void CreateTexture(IDirect3DBaseTexture9& texture) override;
    void UpdateTextureLevel(IDirect3DBaseTexture9&, UINT, UINT) override {}
    void DestroyTexture(IDirect3DBaseTexture9&) override { --liveObjects; }
    void CreateDepthSurface(IDirect3DSurface9& surface) override;
    void DestroyDepthSurface(IDirect3DSurface9&) override { --liveObjects; }
    void Clear(IDirect3DSurface9* target, IDirect3DSurface9* depth, DWORD flags, D3DCOLOR colour,
               float z) override;
    void Draw(const PlatDrawCall& call) override;
    void StretchRect(IDirect3DSurface9& source, const RECT& sourceRect, IDirect3DSurface9& target,
                     const RECT& targetRect, D3DTEXTUREFILTERTYPE filter) override;
    HRESULT Present(IDirect3DSurface9& backBuffer) override;
    std::unique_ptr<PlatShaderProgram> CreateProgram(const std::string& name, const std::string&,
                                                     const std::string&, std::string*) override {
        return std::make_unique<PlatRecordedProgram>(name);
    }
    void UseProgram(PlatShaderProgram* program) override {
        current = static_cast<PlatRecordedProgram*>(program);
    }
    // The recording backend has no pixels.
    HRESULT ReadPixels(IDirect3DSurface9&, std::vector<uint32_t>*) override { return E_NOTIMPL; }

private:
    void Record(PlatRecordedCall record);

    std::vector<PlatRecordedCall> calls;
    bool keepEveryFrame;
    bool presented = false;
    int liveObjects = 0;
    PlatRecordedProgram* current = nullptr;
};
