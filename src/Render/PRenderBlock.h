#pragma once

#include "Core/PRefPtr.h"
#include "Render/PDeviceListener.h"
#include "Render/PIVBlock.h"
#include "Render/PIVertexBuffer.h"

#include <utility>
#include <vector>

class CPMaterial;
class CPSceneObject;

// The objects submitted in one frame, batched by material: hands the batches
// to their materials, writes them into its ring of buffers once per frame
// and empties them after the frame. Batches are kept for reuse, one per
// material, for the block's life.
class CPRenderBlock : public CPObject, public CPDeviceListener {
public:
    CPRenderBlock() = default;
    ~CPRenderBlock() override;

    // Makes the ring of buffer pairs; false (and no ring) when it failed.
    bool Create(bool isStatic, int pairCount, int vertexCapacity, int indexCapacity);

    // Submits the object's visual and, when it is visible, its children. A
    // static block takes only objects whose static flag is set.
    void AddObject(CPSceneObject* object);
    void AddVisual(CPSceneObject* object);
    void AddRenderObject(CPBaseRenderObject* object);

    // Registers the block with the renderer and lists every batch with its
    // material.
    void BeginFrame();
    // Writes the batches (once per frame).
    void Upload();
    // Empties the frame's batches.
    void Reset();

    // The static placement of a level's static meshes between Lock and Unlock.
    void Lock();
    void Unlock();
    void AddStaticObject(CPSceneObject* object);
    void AddStaticObjects(CPSceneObject* object);

    void OnLostDevice() override { dirty = true; }
    void OnResetDevice() override {}

    size_t GetSize() const override { return sizeof(CPRenderBlock); }
    std::string GetClassName() const override { return "CPRenderBlock"; }

    CPRefPtr<CPIVertexBuffer> vertexBuffer;
    // The batches of this frame in the order their materials first came.
    std::vector<std::pair<CPMaterial*, CPIVBlock*>> frameBatches;
    // Every batch the block made, at its material's batch slot; null where
    // the block has none.
    std::vector<CPIVBlock*> allBatches;
    bool dirty = true;
    int pairCount = 0;
    bool isStatic = false;

private:
    void AddVisibleVisual(CPSceneObject& object);
    void AddToBatch(CPBaseRenderObject* object);
    CPIVBlock* BatchOf(const CPMaterial& material);
    CPIVBlock* MakeBatch(std::uint32_t slot);
};
