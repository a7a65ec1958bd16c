#pragma once

#include "Platform/D3DX9Math.h"

#include <functional>
#include <string>
#include <vector>

class CPGameObject;

// What the effect functions need of the shots: spawning a shot or effect by
// name and the script-driven lightning bolt. They go to the shot spawner,
// which owns the bolts; without a spawner nothing is spawned and no bolt is
// made, and the request is logged. Tests put recorders in their place.
struct EffectServices {
    // The named shot or effect at the point, moving along the direction at
    // the speed; -1 takes the shot's own speed. A name the spawner does not
    // know launches nothing.
    std::function<void(const std::string& name, const D3DXVECTOR3& position, const D3DXVECTOR3& direction,
                       float speed)>
        spawn;
    // A new lightning bolt named `name`, configured with the shot parameter
    // row and launched from the point along the direction at the speed,
    // without an owner. The services keep it until its flight ends or the
    // race stops. Null when none can be made.
    std::function<CPGameObject*(const std::string& name, const std::vector<std::string>& row,
                                const D3DXVECTOR3& position, const D3DXVECTOR3& direction, float speed)>
        startBolt;
    // Moves a kept bolt by the frame time: 1 while it flies, 0 when it hit a
    // car (`hit` names it), -1 once it has flown its full distance. A bolt
    // whose flight ended is deleted; anything else gives -1.
    std::function<int(CPGameObject& bolt, CPGameObject*& hit)> flyBolt;
};

// The services the effect functions use.
EffectServices& GetEffectServices();
// Puts the spawner-backed services back.
void ResetEffectServices();
