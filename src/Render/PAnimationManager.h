#pragma once

class CPAnimationManager;
extern CPAnimationManager* g_AnimationManager;

// Stands in for the vertex-animation manager until the renderer lands.
class CPAnimationManager {
public:
    CPAnimationManager();
    virtual ~CPAnimationManager();
    CPAnimationManager(const CPAnimationManager&) = delete;
    CPAnimationManager& operator=(const CPAnimationManager&) = delete;
};
