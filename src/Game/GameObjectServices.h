#pragma once

#include "Core/PTask.h"

#include <functional>
#include <string>
#include <vector>

class CPLuaScript;
class CPObject;

// What game objects need of the subsystems above them: the script host
// (scripts as kernel tasks and the commands sent to them) and the particle
// manager's flame templates and particle systems. Every entry does nothing
// until the application connects the real one.
struct GameObjectServices {
    // The script as a kernel task.
    std::function<CPTask*(CPLuaScript* script)> scriptTask = [](CPLuaScript*) -> CPTask* { return nullptr; };
    // Queues the command in the script when it is running.
    std::function<void(CPLuaScript* script, const std::string& command, const std::string& params)>
        sendCommand = [](CPLuaScript*, const std::string&, const std::string&) {};
    // The script of that name, or null.
    std::function<CPLuaScript*(const std::string& name)> findScript = [](const std::string&) -> CPLuaScript* {
        return nullptr;
    };
    // A copy of the flame template of that index, or null when there is none.
    std::function<CPRefPtr<CPTask>(int index)> cloneFlame = [](int) { return CPRefPtr<CPTask>(); };
    // A new particle system of the owner from the named definitions,
    // emitting every `period` seconds; null when none can be made.
    std::function<CPTask*(CPObject* owner, const std::vector<std::string>& definitions, float period)>
        createParticleSystem =
            [](CPObject*, const std::vector<std::string>&, float) -> CPTask* { return nullptr; };
};

extern GameObjectServices g_GameObjectServices;
