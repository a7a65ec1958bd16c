#include "Render/PMaterialManager.h"

#include "Render/PEffectManager.h"
#include "Render/PRender.h"
#include "Render/PTextureManager.h"

CPMaterialManager* g_MaterialManager = nullptr;

CPMaterialManager::CPMaterialManager() {
    g_MaterialManager = this;
    new CPTextureManager();
    new CPEffectManager();
}

CPMaterialManager::~CPMaterialManager() {
    if (g_Render)
        g_Render->ForgetMaterials();
    // The materials go first: they hold references to effects and blocks.
    std::vector<CPMaterial*> made;
    for (const CPRefPtr<CPMaterial>& material : materials)
        made.push_back(material.Get());
    materials.clear();
    for (CPMaterial* material : made)
        delete material;
    delete g_TextureManager;
    delete g_EffectManager;
    if (g_MaterialManager == this)
        g_MaterialManager = nullptr;
}

void CPMaterialManager::GetMaterial(CPRefPtr<CPMaterial>& out, int priority, const std::string& effectSpec,
                                    const std::vector<std::string>& textureNames) {
    CPRefPtr<CPEffect> effect;
    g_EffectManager->GetEffect(effect, effectSpec);
    CPRefPtr<CPTextureBlock> block;
    g_TextureManager->CreateBlock(block, textureNames);
    for (const CPRefPtr<CPMaterial>& material : materials) {
        if (material->priority == priority && material->effect == effect && material->textures == block) {
            out = material;
            return;
        }
    }
    materials.push_back(new CPMaterial(priority, effect, block));
    out = materials.back();
}

void CPMaterialManager::ClearAllItems() {
    for (const CPRefPtr<CPMaterial>& material : materials)
        material->ClearItems();
}
