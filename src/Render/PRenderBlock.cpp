#include "Render/PRenderBlock.h"

#include "Render/PMaterial.h"
#include "Render/PRender.h"
#include "Render/PSceneObject.h"

CPRenderBlock::~CPRenderBlock() {
    Reset();
    for (CPIVBlock* batch : allBatches)
        delete batch;
    allBatches.clear();
    CPIVertexBuffer* buffer = vertexBuffer.Get();
    vertexBuffer = nullptr;
    delete buffer;
}

bool CPRenderBlock::Create(bool staticBlock, int pairs, int vertexCapacity, int indexCapacity) {
    pairCount = pairs;
    auto* buffer = new CPIVertexBuffer(pairs);
    if (!buffer->Create(staticBlock, vertexCapacity, indexCapacity)) {
        delete buffer;
        return false;
    }
    vertexBuffer = buffer;
    isStatic = staticBlock;
    return true;
}

// The submission helpers are inline: they run for every object of a frame.
inline CPIVBlock* CPRenderBlock::BatchOf(const CPMaterial& material) {
    const std::uint32_t slot = material.batchSlot;
    if (slot < allBatches.size() && allBatches[slot])
        return allBatches[slot];
    return MakeBatch(slot);
}

inline void CPRenderBlock::AddToBatch(CPBaseRenderObject* object) {
    CPMaterial* material = object->GetMaterial().Get();
    // Without a material there is nothing to draw the object with.
    if (!material || !vertexBuffer)
        return;
    CPIVBlock* batch = BatchOf(*material);
    // A batch holds objects exactly while it is listed for the frame
    // (Reset empties every listed batch), so the first object lists it.
    if (batch->objects.empty())
        frameBatches.emplace_back(material, batch);
    batch->AddRenderObject(object);
}

inline void CPRenderBlock::AddVisibleVisual(CPSceneObject& object) {
    switch (object.GetVisualKind()) {
    case VISUAL_MESH:
    case VISUAL_ANIMATED:
    case VISUAL_SPRITE:
        if (CPBaseRenderObject* visual = object.GetVisual())
            AddToBatch(visual);
        break;
    case VISUAL_LIGHT:
        if (const D3DLIGHT9* light = object.GetLight(); light && g_Render)
            g_Render->QueueLight(*light);
        break;
    default:
        break;
    }
}

void CPRenderBlock::AddObject(CPSceneObject* object) {
    if (isStatic && !object->IsStaticObject())
        return;
    if (!object->IsVisible())
        return;
    AddVisibleVisual(*object);
    // Submitting changes no object tree: the count holds for the loop.
    const std::size_t childCount = object->GetChildCount();
    for (std::size_t i = 0; i < childCount; ++i)
        AddObject(object->GetChild(i));
}

void CPRenderBlock::AddVisual(CPSceneObject* object) {
    if (object->IsVisible())
        AddVisibleVisual(*object);
}

void CPRenderBlock::AddRenderObject(CPBaseRenderObject* object) {
    AddToBatch(object);
}

CPIVBlock* CPRenderBlock::MakeBatch(std::uint32_t slot) {
    if (slot >= allBatches.size())
        allBatches.resize(std::size_t{slot} + 1);
    auto* batch = new CPIVBlock();
    batch->vertexBuffer = vertexBuffer;
    allBatches[slot] = batch;
    return batch;
}

void CPRenderBlock::BeginFrame() {
    if (g_Render)
        g_Render->AddRenderBlock(this);
    for (auto& [material, batch] : frameBatches)
        material->AddItem(batch);
}

void CPRenderBlock::Upload() {
    if (!dirty || !vertexBuffer)
        return;
    vertexBuffer->BeginFrame();
    if (vertexBuffer->Lock(0, 0, !isStatic, -1)) {
        // A pair that could not be locked ends the writes of this frame.
        for (auto& [material, batch] : frameBatches) {
            if (!vertexBuffer->locked)
                break;
            if (!batch->placed)
                vertexBuffer->Fill(*batch);
        }
        vertexBuffer->Unlock(!isStatic);
    }
    dirty = false;
}

void CPRenderBlock::Reset() {
    for (auto& [material, batch] : frameBatches)
        batch->Empty();
    frameBatches.clear();
    dirty = true;
    if (vertexBuffer) {
        vertexBuffer->indicesWritten = 0;
        vertexBuffer->verticesWritten = 0;
    }
}

void CPRenderBlock::Lock() {
    if (vertexBuffer)
        vertexBuffer->Lock(0, 0, true, -1);
}

void CPRenderBlock::Unlock() {
    if (vertexBuffer)
        vertexBuffer->Unlock(true);
}

void CPRenderBlock::AddStaticObject(CPSceneObject* object) {
    if (!vertexBuffer || !object->IsVisible() || object->GetVisualKind() != VISUAL_MESH ||
        !object->IsStaticObject())
        return;
    if (CPBaseRenderObject* visual = object->GetVisual())
        vertexBuffer->AddStatic(visual);
}

void CPRenderBlock::AddStaticObjects(CPSceneObject* object) {
    AddStaticObject(object);
    if (!object->IsVisible())
        return;
    for (std::size_t i = 0; i < object->GetChildCount(); ++i)
        AddStaticObjects(object->GetChild(i));
    for (std::size_t i = 1; i < object->GetLodCount(); ++i)
        if (CPSceneObject* lod = object->GetLod(i))
            AddStaticObjects(lod);
}
