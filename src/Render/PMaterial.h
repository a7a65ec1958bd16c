#pragma once

#include "Core/PRefPtr.h"
#include "Render/PEffect.h"
#include "Render/PTextureBlock.h"

#include <cstdint>
#include <vector>

class CPIVBlock;
class CPRender;

// How geometry is drawn: at which render-queue priority, with which effect
// and textures. Shared: one material per (priority, effect, texture block).
// Carries the batches to draw with it in the current frame.
class CPMaterial : public CPObject {
public:
    CPMaterial(int priority, const CPRefPtr<CPEffect>& effect, const CPRefPtr<CPTextureBlock>& textures);

    // Lists a batch for this frame (an empty one is ignored) and queues the
    // material at the renderer when it is not queued yet.
    void AddItem(CPIVBlock* batch);
    void ClearItems() { items.clear(); }

    size_t GetSize() const override { return sizeof(CPMaterial); }
    std::string GetClassName() const override {
        return "CPMaterial - " + (effect ? effect->name : std::string());
    }

    CPRender* render;
    CPRefPtr<CPEffect> effect;
    CPRefPtr<CPTextureBlock> textures;
    std::vector<CPIVBlock*> items;
    int priority;
    bool queued = false;
    // Where every render block keeps this material's batch in its table:
    // unique in the process and never reused, so no two materials ever
    // share a batch.
    const std::uint32_t batchSlot;
};
