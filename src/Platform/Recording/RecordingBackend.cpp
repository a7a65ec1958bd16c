#include "Platform/Recording/RecordingBackend.h"

#include "Platform/Graphics/Surface9.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

uint32_t SerialOfSurface(const IDirect3DSurface9* surface) {
    if (!surface)
        return 0;
    return surface->GetTexture() ? surface->GetTexture()->GetSerial() : surface->GetSerial();
}

uint32_t SerialOf(const IDirect3DResource9* object) {
    return object ? object->GetSerial() : 0;
}

// Copies the indices a draw reads and the vertices they reach.
void CaptureGeometry(const PlatDrawCall& call, PlatRecordedCall& record) {
    const PlatDeviceState& state = *call.state;
    if (call.userVertices) {
        record.vertices.assign(call.userVertices, call.userVertices + size_t(call.vertexCount) * call.stride);
        return;
    }
    record.indices.resize(call.indexCount);
    std::memcpy(record.indices.data(), state.indices->GetBytes() + size_t(call.startIndex) * 2,
                size_t(call.indexCount) * 2);
    const UINT highest = *std::max_element(record.indices.begin(), record.indices.end());
    const size_t first = state.streamOffset + size_t(call.baseVertex) * call.stride;
    const BYTE* source = state.streamSource->GetBytes() + first;
    record.vertices.assign(source, source + size_t(highest + 1) * call.stride);
}

} // namespace

int PlatRecordedProgram::FindUniform(const std::string& uniform) {
    const auto found = std::find(names.begin(), names.end(), uniform);
    if (found != names.end())
        return static_cast<int>(found - names.begin());
    names.push_back(uniform);
    return static_cast<int>(names.size() - 1);
}

template <class T>
T PlatRecordedCall::ReadVertex(UINT vertex, UINT byteOffset) const {
    T value{};
    const size_t at = size_t(vertex) * call.stride + byteOffset;
    if (at + sizeof value <= vertices.size())
        std::memcpy(&value, vertices.data() + at, sizeof value);
    return value;
}

float PlatRecordedCall::VertexFloat(UINT vertex, UINT byteOffset) const {
    return ReadVertex<float>(vertex, byteOffset);
}

DWORD PlatRecordedCall::VertexDword(UINT vertex, UINT byteOffset) const {
    return ReadVertex<DWORD>(vertex, byteOffset);
}

void PlatRecordingBackend::Record(PlatRecordedCall record) {
    if (presented && !keepEveryFrame)
        calls.clear();
    presented = record.kind == PlatRecordedCall::Kind::Present;
    calls.push_back(std::move(record));
}

HRESULT PlatRecordingBackend::Open(const D3DPRESENT_PARAMETERS&) {
    return D3D_OK;
}

HRESULT PlatRecordingBackend::Reset(const D3DPRESENT_PARAMETERS&) {
    PlatRecordedCall record;
    record.kind = PlatRecordedCall::Kind::Reset;
    Record(std::move(record));
    return D3D_OK;
}

void PlatRecordingBackend::CreateBuffer(PlatBuffer&) {
    ++liveObjects;
}

void PlatRecordingBackend::CreateTexture(IDirect3DBaseTexture9&) {
    ++liveObjects;
}

void PlatRecordingBackend::CreateDepthSurface(IDirect3DSurface9&) {
    ++liveObjects;
}

void PlatRecordingBackend::Clear(IDirect3DSurface9* target, IDirect3DSurface9*, DWORD flags, D3DCOLOR colour,
                                 float z) {
    PlatRecordedCall record;
    record.kind = PlatRecordedCall::Kind::Clear;
    record.target = SerialOfSurface(target);
    record.clearFlags = flags;
    record.colour = colour;
    record.z = z;
    Record(std::move(record));
}

void PlatRecordingBackend::Draw(const PlatDrawCall& call) {
    PlatRecordedCall record;
    record.kind = PlatRecordedCall::Kind::Draw;
    record.target = SerialOfSurface(call.renderTarget);
    record.call = call;
    record.call.state = nullptr;
    record.call.userVertices = nullptr;
    record.state = *call.state;
    if (!call.userVertices) {
        record.vertexBuffer = SerialOf(call.state->streamSource);
        record.indexBuffer = SerialOf(call.state->indices);
    }
    for (int i = 0; i < kPlatSamplers; ++i)
        record.textures[i] = SerialOf(call.state->textures[i]);
    if (current) {
        record.program = current->name;
        record.uniforms = current->uniforms;
    }
    CaptureGeometry(call, record);
    Record(std::move(record));
}

void PlatRecordingBackend::StretchRect(IDirect3DSurface9& source, const RECT& sourceRect,
                                       IDirect3DSurface9& target, const RECT& targetRect,
                                       D3DTEXTUREFILTERTYPE) {
    PlatRecordedCall record;
    record.kind = PlatRecordedCall::Kind::StretchRect;
    record.source = SerialOfSurface(&source);
    record.target = SerialOfSurface(&target);
    record.sourceRect = sourceRect;
    record.targetRect = targetRect;
    Record(std::move(record));
}

HRESULT PlatRecordingBackend::Present(IDirect3DSurface9& backBuffer) {
    PlatRecordedCall record;
    record.kind = PlatRecordedCall::Kind::Present;
    record.target = SerialOfSurface(&backBuffer);
    Record(std::move(record));
    return D3D_OK;
}

std::vector<const PlatRecordedCall*> PlatRecordingBackend::GetDraws() const {
    std::vector<const PlatRecordedCall*> draws;
    for (const PlatRecordedCall& record : calls)
        if (record.kind == PlatRecordedCall::Kind::Draw)
            draws.push_back(&record);
    return draws;
}

std::string PlatRecordingBackend::Describe() const {
    std::string text;
    char line[160];
    for (const PlatRecordedCall& record : calls) {
        switch (record.kind) {
        case PlatRecordedCall::Kind::Clear:
            std::snprintf(line, sizeof line, "Clear target %u flags %u colour %08x z %g\n", record.target,
                          record.clearFlags, record.colour, double(record.z));
            break;
        case PlatRecordedCall::Kind::Draw:
            std::snprintf(line, sizeof line, "Draw%s target %u type %u count %u fvf %x texture %u\n",
                          record.call.indexed ? "Indexed" : "UP", record.target, record.call.primitive,
                          record.call.primitiveCount, record.state.fvf, record.textures[0]);
            break;
        case PlatRecordedCall::Kind::StretchRect:
            std::snprintf(line, sizeof line, "StretchRect %u -> %u\n", record.source, record.target);
            break;
        case PlatRecordedCall::Kind::Present:
            std::snprintf(line, sizeof line, "Present %u\n", record.target);
            break;
        case PlatRecordedCall::Kind::Reset:
            std::snprintf(line, sizeof line, "Reset\n");
            break;
        }
        text += line;
    }
    return text;
}
