#include "Render/PMaterial.h"

#include "Render/PIVBlock.h"
#include "Render/PRender.h"

CPMaterial::CPMaterial(int materialPriority, const CPRefPtr<CPEffect>& materialEffect,
                       const CPRefPtr<CPTextureBlock>& materialTextures)
    : render(g_Render), effect(materialEffect), textures(materialTextures), priority(materialPriority) {}

void CPMaterial::AddItem(CPIVBlock* batch) {
    if (batch->objects.empty())
        return;
    items.push_back(batch);
    if (!queued && render) {
        render->QueueMaterial(this);
        queued = true;
    }
}
