#pragma once

#include "Core/PRefPtr.h"
#include "Platform/Win32Types.h"
#include "Render/PAnimation.h"

#include <map>
#include <memory>
#include <string>

class CPAnimationManager;
extern CPAnimationManager* g_AnimationManager;

// The cache of vertex animations: one per node of a mesh file, under the
// key "<node name in lower case>&<mesh file>", shared by every object loaded
// from that file. The animations live until the manager goes.
class CPAnimationManager {
public:
    CPAnimationManager();
    virtual ~CPAnimationManager();
    CPAnimationManager(const CPAnimationManager&) = delete;
    CPAnimationManager& operator=(const CPAnimationManager&) = delete;

    // The animation of the key, made when absent; either way it takes the
    // node's frames anew, so a file read again refreshes the shared frames.
    void GetAnimation(CPRefPtr<CPAnimation>& out, const std::string& key, const MeshFileNode& node,
                      DWORD diffuse);

private:
    std::map<std::string, std::unique_ptr<CPAnimation>> animations;
};
