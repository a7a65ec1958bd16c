#pragma once

#include "Core/PTask.h"

#include <functional>
#include <string>
#include <vector>

class CPObject;

// What game objects need of the particle manager: its flame templates and
// particle systems. Every entry does nothing until the application connects
// the real one.
struct GameObjectServices {
    // A copy of the flame template of that index, or null when there is none.
    std::function<CPRefPtr<CPTask>(int index)> cloneFlame = [](int) { return CPRefPtr<CPTask>(); };
    // A new particle system of the owner from the named definitions,
    // emitting every `period` seconds; null when none can be made.
    std::function<CPTask*(CPObject* owner, const std::vector<std::string>& definitions, float period)>
        createParticleSystem =
            [](CPObject*, const std::vector<std::string>&, float) -> CPTask* { return nullptr; };
};

extern GameObjectServices g_GameObjectServices;
