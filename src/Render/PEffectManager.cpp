#include "Render/PEffectManager.h"

#include "Core/Log.h"

#include <algorithm>

CPEffectManager* g_EffectManager = nullptr;

namespace {

constexpr const char* kErrorEffect = "error.fx";
constexpr const char* kSharedNames[CPEffectManager::SHARED_COUNT] = {
    "g_mViewInv", "g_vLight", "g_vLightColor", "g_vAmbient", "g_vCameraPos"};

} // namespace

CPEffectManager::CPEffectManager() {
    g_EffectManager = this;
    D3DXCreateEffectPool(&pool);
}

CPEffectManager::~CPEffectManager() {
    effects.clear();
    for (CPEffect* effect : owned)
        delete effect;
    if (pool)
        pool->Release();
    if (g_EffectManager == this)
        g_EffectManager = nullptr;
}

void CPEffectManager::GetEffect(CPRefPtr<CPEffect>& out, const std::string& request) {
    if (const auto found = effects.find(request); found != effects.end()) {
        out = found->second;
        return;
    }
    auto* effect = new CPEffect();
    if (!effect->Load(request)) {
        GetLog().Print(0, "The effect %s could not be loaded; %s stands in\n", request.c_str(), kErrorEffect);
        delete effect;
        effect = new CPEffect();
        effect->Load(kErrorEffect);
    }
    owned.push_back(effect);
    effects[request] = effect;
    out = effect;
}

void CPEffectManager::RemoveEffect(const CPEffect* effect) {
    std::erase_if(effects, [&](const auto& entry) { return entry.first == effect->name; });
}

void CPEffectManager::OfferSharedEffect(ID3DXEffect* effect) {
    if (sharedEffect)
        return;
    sharedEffect = effect;
    for (int i = 0; i < SHARED_COUNT; ++i)
        sharedHandles[i] = effect->GetParameterByName(nullptr, kSharedNames[i]);
}
