#pragma once

#include "Core/PRefPtr.h"
#include "Render/PMaterial.h"
#include "Render/PRenderNode.h"

// The lowest tier of the render queue: one texture block under an effect of
// a level, holding the one material of that (priority, effect, block).
class CPRenderTextureGroup : public CPRenderNode {
public:
    // The material is no longer queued: its next item queues it again.
    void OnDrop() override {
        if (material)
            material->queued = false;
    }

    CPRefPtr<CPTextureBlock> textureBlock;
    CPRefPtr<CPMaterial> material;
};
