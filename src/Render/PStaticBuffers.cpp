#include "Render/PStaticBuffers.h"

#include "Core/Log.h"
#include "Core/StringFunctions.h"
#include "Platform/Graphics/Unknown.h"

#include <cstring>

namespace {

constexpr const char* kModule = "Render\\PStaticBuffers";

} // namespace

StaticBufferRecord* CPStaticBuffers::Get(IDirect3DDevice9* device, const std::string& name,
                                         const MeshVertex* vertices, const uint16_t* indices, int vertexCount,
                                         int indexCount) {
    std::string key = name;
    ToLowerString(key);
    if (const auto found = cache.find(key); found != cache.end())
        return found->second;
    // An empty mesh would need buffers of no size: it gets no record.
    if (!device || vertexCount <= 0 || indexCount <= 0)
        return nullptr;
    auto record = std::make_unique<StaticBufferRecord>();
    record->vertices.assign(vertices, vertices + vertexCount);
    record->indices.assign(indices, indices + indexCount);
    if (!Upload(device, *record))
        return nullptr;
    record->vertexCount = vertexCount;
    record->triangleCount = indexCount / 3;
    records.push_back(std::move(record));
    cache[key] = records.back().get();
    return records.back().get();
}

bool CPStaticBuffers::Upload(IDirect3DDevice9* device, StaticBufferRecord& record) {
    const auto vertexBytes = static_cast<UINT>(record.vertices.size() * sizeof(MeshVertex));
    const auto indexBytes = static_cast<UINT>(record.indices.size() * sizeof(uint16_t));
    HRESULT hr = device->CreateVertexBuffer(vertexBytes, D3DUSAGE_WRITEONLY, MESH_VERTEX_FVF, D3DPOOL_MANAGED,
                                            &record.vertexBuffer, nullptr);
    if (SUCCEEDED(hr))
        hr = device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                       &record.indexBuffer, nullptr);
    void* data = nullptr;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = record.vertexBuffer->Lock(0, 0, &data, 0))) {
        std::memcpy(data, record.vertices.data(), vertexBytes);
        record.vertexBuffer->Unlock();
    }
    if (SUCCEEDED(hr) && SUCCEEDED(hr = record.indexBuffer->Lock(0, 0, &data, 0))) {
        std::memcpy(data, record.indices.data(), indexBytes);
        record.indexBuffer->Unlock();
    }
    if (FAILED(hr)) {
        ReportPlatformError(kModule, __LINE__, hr);
        ReleaseRecordBuffers(record);
        return false;
    }
    return true;
}

void CPStaticBuffers::Restore(IDirect3DDevice9* device) {
    for (const auto& [key, record] : cache) {
        if (!record->vertexBuffer)
            Upload(device, *record);
    }
}

void CPStaticBuffers::ReleaseRecordBuffers(StaticBufferRecord& record) {
    PlatReleaseAndClear(record.vertexBuffer);
    PlatReleaseAndClear(record.indexBuffer);
}

void CPStaticBuffers::ReleaseBuffers() {
    for (const auto& [key, record] : cache)
        ReleaseRecordBuffers(*record);
}

void CPStaticBuffers::Clear() {
    ReleaseBuffers();
    cache.clear();
}
