#include "Render/PIVertexBuffer.h"

#include "Core/Log.h"
#include "Platform/Graphics/Unknown.h"
#include "Render/PIVBlock.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"

#include <algorithm>
#include <utility>

namespace {

constexpr const char* kModule = "Render\\PIVertexBuffer";
constexpr int kVertexCreateLine = 94;
constexpr int kIndexCreateLine = 105;
constexpr int kVertexLockLine = 167;
constexpr int kIndexLockLine = 190;

// Static objects grouped by their static buffers, in order of first sight.
using StaticGroups = std::vector<std::pair<StaticBufferRecord*, std::vector<CPBaseRenderObject*>>>;

void Collect(StaticGroups& groups, CPBaseRenderObject* object) {
    // Only meshes can be static.
    StaticBufferRecord* record = static_cast<CPRenderObject*>(object)->staticBuffers;
    auto group =
        std::find_if(groups.begin(), groups.end(), [&](const auto& entry) { return entry.first == record; });
    if (group == groups.end())
        group = groups.insert(groups.end(), {record, {}});
    group->second.push_back(object);
}

} // namespace

CPIVertexBuffer::CPIVertexBuffer(int pairs)
    : vertexBuffers(static_cast<std::size_t>(std::max(pairs, 1))), indexBuffers(vertexBuffers.size()),
      pairCount(static_cast<int>(vertexBuffers.size())) {}

CPIVertexBuffer::~CPIVertexBuffer() {
    if (locked)
        Unlock(true);
    ReleasePairs();
}

bool CPIVertexBuffer::Create(bool staticBuffers, int vertices, int indices) {
    if (vertexBuffers[0])
        return false;
    current = 0;
    isStatic = staticBuffers;
    vertexCapacity = vertices <= 0 ? kDefaultVertexCapacity : std::min(vertices, kDefaultVertexCapacity);
    indexCapacity = indices <= 0 ? kDefaultIndexCapacity : indices;
    indicesWritten = verticesWritten = 0;
    bool created = true;
    for (int pair = 0; pair < pairCount; ++pair)
        created = CreatePair(pair) && created;
    return created;
}

bool CPIVertexBuffer::CreatePair(int pair) {
    IDirect3DDevice9* device = g_Render ? g_Render->GetDevice() : nullptr;
    if (!device)
        return false;
    const DWORD dynamic = isStatic ? 0 : D3DUSAGE_DYNAMIC;
    bool created = true;
    HRESULT hr = device->CreateVertexBuffer(static_cast<UINT>(vertexCapacity * sizeof(MeshVertex)),
                                            D3DUSAGE_WRITEONLY | D3DUSAGE_DONOTCLIP | dynamic,
                                            MESH_VERTEX_FVF, D3DPOOL_DEFAULT, &vertexBuffers[pair], nullptr);
    if (FAILED(hr)) {
        ReportPlatformError(kModule, kVertexCreateLine, hr);
        created = false;
    }
    hr = device->CreateIndexBuffer(static_cast<UINT>(indexCapacity * sizeof(uint16_t)),
                                   D3DUSAGE_WRITEONLY | dynamic, D3DFMT_INDEX16, D3DPOOL_DEFAULT,
                                   &indexBuffers[pair], nullptr);
    if (FAILED(hr)) {
        ReportPlatformError(kModule, kIndexCreateLine, hr);
        created = false;
    }
    return created;
}

void CPIVertexBuffer::ReleasePairs() {
    for (auto& buffer : vertexBuffers)
        PlatReleaseAndClear(buffer);
    for (auto& buffer : indexBuffers)
        PlatReleaseAndClear(buffer);
}

void CPIVertexBuffer::RemovePair(int pair) {
    // A slot without buffers would stop every later lock that reaches it.
    PlatReleaseAndClear(vertexBuffers[pair]);
    PlatReleaseAndClear(indexBuffers[pair]);
    vertexBuffers.erase(vertexBuffers.begin() + pair);
    indexBuffers.erase(indexBuffers.begin() + pair);
    --pairCount;
    current %= pairCount;
}

bool CPIVertexBuffer::Lock(int vertexCount, int indexCount, bool lockVertices, int pair) {
    if (locked)
        return false;
    if (pair != -1)
        current = pair % pairCount;
    indicesWritten = verticesWritten = 0;
    IDirect3DVertexBuffer9* vertices = vertexBuffers[current];
    IDirect3DIndexBuffer9* indices = indexBuffers[current];
    // After a failed reset the buffers are gone until the next one.
    if (!indices || (lockVertices && !vertices))
        return false;
    const DWORD flags = D3DLOCK_NOSYSLOCK | (isStatic ? 0 : D3DLOCK_DISCARD);
    void* vertexData = nullptr;
    if (lockVertices) {
        const HRESULT hr =
            vertices->Lock(0, static_cast<UINT>(vertexCount * sizeof(MeshVertex)), &vertexData, flags);
        if (FAILED(hr)) {
            ReportPlatformError(kModule, kVertexLockLine, hr);
            return false;
        }
    }
    void* indexData = nullptr;
    const HRESULT hr = indices->Lock(0, static_cast<UINT>(indexCount * sizeof(uint16_t)), &indexData, flags);
    if (FAILED(hr)) {
        ReportPlatformError(kModule, kIndexLockLine, hr);
        if (vertices && vertices->IsLocked())
            vertices->Unlock();
        return false;
    }
    vertexWrite = static_cast<MeshVertex*>(vertexData);
    indexWrite = static_cast<uint16_t*>(indexData);
    locked = true;
    ++pairsLockedThisFrame;
    return true;
}

void CPIVertexBuffer::Unlock(bool unlockVertices) {
    if (!locked)
        return;
    if (unlockVertices && vertexBuffers[current])
        vertexBuffers[current]->Unlock();
    if (indexBuffers[current])
        indexBuffers[current]->Unlock();
    current = (current + 1) % pairCount;
    locked = false;
    vertexWrite = nullptr;
    indexWrite = nullptr;
}

bool CPIVertexBuffer::Fits(int vertexCount, int indexCount) const {
    return verticesWritten + vertexCount < vertexCapacity && indicesWritten + indexCount < indexCapacity;
}

bool CPIVertexBuffer::Flush() {
    Unlock(true);
    if (pairsLockedThisFrame >= pairCount) {
        // Every pair holds geometry of this frame: add one rather than
        // discard what earlier batches draw from.
        vertexBuffers.insert(vertexBuffers.begin() + current, nullptr);
        indexBuffers.insert(indexBuffers.begin() + current, nullptr);
        ++pairCount;
        if (!CreatePair(current)) {
            RemovePair(current);
            return false;
        }
    }
    return Lock(0, 0, true, -1);
}

void CPIVertexBuffer::Advance(int vertexCount, int indexCount) {
    vertexWrite += vertexCount;
    indexWrite += indexCount;
    verticesWritten += vertexCount;
    indicesWritten += indexCount;
}

bool CPIVertexBuffer::Fill(CPIVBlock& batch) {
    if (batch.objects.empty())
        return false;
    if (!locked)
        return false;
    // A batch that fits in a fresh pair but not in the rest of this one
    // moves on, so that it is drawn with one call.
    if (!Fits(batch.vertexCount, batch.indexCount) && (verticesWritten > 0 || indicesWritten > 0) &&
        batch.vertexCount < vertexCapacity && batch.indexCount < indexCapacity && !Flush())
        return false;
    batch.ranges.clear();
    StaticGroups statics;
    int vertexTotal = 0, indexTotal = 0;
    for (CPBaseRenderObject* object : batch.objects) {
        if (object->IsStatic()) {
            Collect(statics, object);
            continue;
        }
        const int n = object->GetIndexCount();
        const int v = object->GetVertexCount();
        // An object larger than a whole pair can never be written.
        if ((v == 0 && n == 0) || v >= vertexCapacity || n >= indexCapacity || !vertexWrite)
            continue;
        if (!Fits(v, n) && !Flush())
            return false;
        if (batch.ranges.empty() || batch.ranges.back().vertexBuffer != vertexBuffers[current])
            batch.ranges.push_back(
                {vertexBuffers[current], indexBuffers[current], verticesWritten, 0, indicesWritten, 0});
        object->Fill(vertexWrite, indexWrite, verticesWritten, 0);
        Advance(v, n);
        batch.ranges.back().vertexCount += v;
        batch.ranges.back().indexCount += n;
        vertexTotal += v;
        indexTotal += n;
    }
    batch.vertexCount = vertexTotal;
    batch.indexCount = indexTotal;
    batch.staticObjects.clear();
    for (auto& group : statics)
        batch.staticObjects.insert(batch.staticObjects.end(), group.second.begin(), group.second.end());
    batch.placed = true;
    return true;
}

bool CPIVertexBuffer::AddStatic(CPBaseRenderObject* object) {
    const int v = object->GetVertexCount();
    const int n = object->GetIndexCount();
    if (v == 0 || v >= vertexCapacity || n >= indexCapacity || placements.contains(object) || !locked ||
        !vertexWrite)
        return false;
    // The rest of this pair is too small: the object starts the next one.
    if (!Fits(v, n)) {
        Unlock(true);
        if (!Lock(0, 0, true, -1) || !vertexWrite)
            return false;
    }
    // The base is the position in the pair, so that the indices address the
    // object's own vertices whichever pair it went to.
    placements[object] = verticesWritten;
    object->Fill(vertexWrite, indexWrite, verticesWritten, 1);
    Advance(v, n);
    staticVertexTotal += v;
    return true;
}

void CPIVertexBuffer::OnLostDevice() {
    if (locked)
        Unlock(true);
    ReleasePairs();
}

void CPIVertexBuffer::OnResetDevice() {
    Create(isStatic, vertexCapacity, indexCapacity);
}
