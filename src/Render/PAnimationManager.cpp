#include "Render/PAnimationManager.h"

CPAnimationManager* g_AnimationManager = nullptr;

CPAnimationManager::CPAnimationManager() {
    g_AnimationManager = this;
}

CPAnimationManager::~CPAnimationManager() {
    if (g_AnimationManager == this)
        g_AnimationManager = nullptr;
}

void CPAnimationManager::GetAnimation(CPRefPtr<CPAnimation>& out, const std::string& key,
                                      const MeshFileNode& node, DWORD diffuse) {
    std::unique_ptr<CPAnimation>& animation = animations[key];
    if (!animation)
        animation = std::make_unique<CPAnimation>(key);
    animation->Load(node, diffuse);
    out = animation.get();
}
