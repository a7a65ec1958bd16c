#include "Render/PAnimationManager.h"

#include "Core/CallRecorder.h"

CPAnimationManager* g_AnimationManager = nullptr;

CPAnimationManager::CPAnimationManager() {
    g_AnimationManager = this;
    RecordCall("CPAnimationManager()");
}

CPAnimationManager::~CPAnimationManager() {
    RecordCall("~CPAnimationManager()");
    if (g_AnimationManager == this)
        g_AnimationManager = nullptr;
}
