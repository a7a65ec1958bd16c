#include "DynamicSky/VertexObject.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Platform/Graphics/Effect.h"
#include "Platform/Graphics/IndexBuffer9.h"
#include "Platform/Graphics/TextureLoader.h"
#include "Platform/Graphics/VertexBuffer9.h"
#include "Render/PVertexObjectRenderer.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr const char* kModule = "DynamicSky\\VertexObject";
constexpr int kTextureReportLine = 50;
constexpr int kEffectReportLine = 114;
constexpr int kAltEffectReportLine = 149;
constexpr DWORD kMipFilter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER;

template <class T>
void CopyInto(PlatBuffer* buffer, const std::vector<T>& items) {
    const auto bytes = static_cast<UINT>(items.size() * sizeof(T));
    void* data = nullptr;
    if (bytes == 0 || FAILED(buffer->Lock(0, bytes, &data, 0)))
        return;
    std::memcpy(data, items.data(), bytes);
    buffer->Unlock();
}

} // namespace

VertexObject::~VertexObject() {
    PlatReleaseAndClear(texture);
    PlatReleaseAndClear(effect);
    PlatReleaseAndClear(altEffect);
    PlatReleaseAndClear(vertexBuffer);
    PlatReleaseAndClear(indexBuffer);
}

void VertexObject::OnLostDevice() {
    for (ID3DXEffect* each : {effect, altEffect})
        if (each)
            each->OnLostDevice();
}

void VertexObject::OnResetDevice() {
    for (ID3DXEffect* each : {effect, altEffect})
        if (each)
            each->OnResetDevice();
}

HRESULT VertexObject::LoadTexture(const std::string& fileName) {
    PlatReleaseAndClear(texture);
    CPFileReader reader(fileName, false);
    if (FAILED(reader.Load())) {
        GetLog().Print(1, "DynamicSky: texture %s not found\n", fileName.c_str());
        return S_OK;
    }
    const HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
        g_VertexObjectRenderer.device, reader.GetData(), static_cast<UINT>(reader.GetSize()), D3DX_DEFAULT,
        D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, kMipFilter, 0, nullptr,
        nullptr, &texture);
    if (FAILED(hr))
        ReportPlatformError(kModule, kTextureReportLine, hr);
    return hr;
}

HRESULT VertexObject::LoadEffect(const std::string& fileName) {
    return ReadEffect(fileName, effect, kEffectReportLine);
}

HRESULT VertexObject::LoadAltEffect(const std::string& fileName) {
    return ReadEffect(fileName, altEffect, kAltEffectReportLine);
}

HRESULT VertexObject::ReadEffect(const std::string& fileName, ID3DXEffect*& target, int reportLine) {
    PlatReleaseAndClear(target);
    CPFileReader reader(fileName, false);
    if (FAILED(reader.Load()))
        return S_OK;
    HRESULT hr =
        D3DXCreateEffect(g_VertexObjectRenderer.device, reader.GetData(), static_cast<UINT>(reader.GetSize()),
                         nullptr, nullptr, 0, nullptr, &target, nullptr);
    D3DXHANDLE technique = nullptr;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = target->FindNextValidTechnique(nullptr, &technique)))
        hr = target->SetTechnique(technique);
    if (FAILED(hr)) {
        ReportPlatformError(kModule, reportLine, hr);
        PlatReleaseAndClear(target);
    }
    return hr;
}

void VertexObject::TransformVertices(const D3DXMATRIX& matrix) {
    // Only the positions change: colours set on the work copy stay.
    if (workVertices.size() != vertices.size())
        workVertices = vertices;
    if (workVertices.empty())
        return;
    D3DXVec3TransformCoordArray(reinterpret_cast<D3DXVECTOR3*>(&workVertices[0].x), sizeof(MeshVertex),
                                reinterpret_cast<const D3DXVECTOR3*>(&vertices[0].x), sizeof(MeshVertex),
                                &matrix, static_cast<unsigned int>(vertices.size()));
}

bool VertexObject::UploadGeometry(const std::vector<MeshVertex>& newVertices,
                                  const std::vector<uint16_t>& newIndices, bool keepWork) {
    const size_t workCount = keepWork ? workVertices.size() : newVertices.size();
    if (!FitsBuffers(std::max(workCount, newVertices.size()), newIndices.size()))
        return false;
    vertices = newVertices;
    if (!keepWork)
        workVertices = newVertices;
    indices = newIndices;
    if (CreateBuffers())
        CopyToBuffers();
    return true;
}

bool VertexObject::FitsBuffers(size_t vertexCount, size_t indexCount) {
    if (vertexCount <= kMaxVertices && indexCount <= kMaxIndices)
        return true;
    GetLog().Print(0, "DynamicSky: a mesh of %zu vertices and %zu indices does not fit its buffers\n",
                   vertexCount, indexCount);
    return false;
}

bool VertexObject::CreateBuffers() {
    IDirect3DDevice9* device = g_VertexObjectRenderer.device;
    if (vertexBuffer && indexBuffer)
        return true;
    if (!device)
        return false;
    if (!vertexBuffer)
        device->CreateVertexBuffer(kMaxVertices * sizeof(MeshVertex), D3DUSAGE_WRITEONLY, MESH_VERTEX_FVF,
                                   D3DPOOL_MANAGED, &vertexBuffer, nullptr);
    if (!indexBuffer)
        device->CreateIndexBuffer(kMaxIndices * sizeof(uint16_t), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                  D3DPOOL_MANAGED, &indexBuffer, nullptr);
    return vertexBuffer && indexBuffer;
}

void VertexObject::CopyToBuffers() {
    CopyInto(vertexBuffer, workVertices);
    CopyInto(indexBuffer, indices);
}

HRESULT VertexObject::Render() {
    VertexObjectBatch batch;
    batch.vertexBuffer = vertexBuffer;
    batch.indexBuffer = indexBuffer;
    batch.texture = texture;
    batch.effect = effect;
    batch.altEffect = altEffect;
    batch.useAltEffect = useAltEffect;
    batch.vertexCount = static_cast<UINT>(workVertices.size());
    batch.indexCount = static_cast<UINT>(indices.size());
    return g_VertexObjectRenderer.Draw(batch);
}
