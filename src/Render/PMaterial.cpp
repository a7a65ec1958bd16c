#include "Render/PMaterial.h"

#include "Render/PIVBlock.h"
#include "Render/PRender.h"

#include <atomic>

namespace {

std::uint32_t NextBatchSlot() {
    static std::atomic<std::uint32_t> next{0};
    return next.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

CPMaterial::CPMaterial(int materialPriority, const CPRefPtr<CPEffect>& materialEffect,
                       const CPRefPtr<CPTextureBlock>& materialTextures)
    : render(g_Render), effect(materialEffect), textures(materialTextures), priority(materialPriority),
      batchSlot(NextBatchSlot()) {}

void CPMaterial::AddItem(CPIVBlock* batch) {
    if (batch->objects.empty())
        return;
    items.push_back(batch);
    if (!queued && render) {
        render->QueueMaterial(this);
        queued = true;
    }
}
