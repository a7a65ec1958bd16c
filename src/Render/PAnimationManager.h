#pragma once

#include "Core/PRefPtr.h"
#include "Platform/Win32Types.h"
#include "Render/PAnimation.h"

#include <map>
#include <memory>
#include <string>

class CPAnimationManager;
extern CPAnimationManager* g_AnimationManager;

// Stands in for the vertex-animation manager until the vertex animations
// land: it keeps one animation per key and owns them.
class CPAnimationManager {
public:
    CPAnimationManager();
    virtual ~CPAnimationManager();
    CPAnimationManager(const CPAnimationManager&) = delete;
    CPAnimationManager& operator=(const CPAnimationManager&) = delete;

    // The animation of the key, made when absent; either way it takes the
    // node's frames anew.
    void GetAnimation(CPRefPtr<CPAnimation>& out, const std::string& key, const MeshFileNode& node,
                      DWORD diffuse);

private:
    std::map<std::string, std::unique_ptr<CPAnimation>> animations;
};
