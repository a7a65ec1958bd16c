#include "Application/GameObjectConnections.h"

#include "Game/GameObjectServices.h"
#include "Particles/PParticleSystem.h"
#include "Render/PAnimatedObject.h"
#include "Script/PScriptManager.h"

void ConnectGameObjectsToScripts() {
    g_GameObjectServices.scriptTask = [](CPLuaScript* script) -> CPTask* { return script; };
    g_GameObjectServices.sendCommand = [](CPLuaScript* script, const std::string& command,
                                          const std::string& params) {
        if (g_ScriptManager)
            g_ScriptManager->SendCommandByObject(script, command, params);
    };
    g_GameObjectServices.findScript = [](const std::string& name) -> CPLuaScript* {
        return g_ScriptManager ? g_ScriptManager->GetScript(name).Get() : nullptr;
    };
    // Vertex animations report to the script they were started with.
    g_SendAnimationCommand = [](CPObject* target, const std::string& command, const std::string& params) {
        if (g_ScriptManager)
            g_ScriptManager->SendCommandByObject(dynamic_cast<CPLuaScript*>(target), command, params);
    };
}

void ConnectGameObjectsToParticles() {
    g_GameObjectServices.createParticleSystem =
        [](CPObject* owner, const std::vector<std::string>& definitions, float period) -> CPTask* {
        auto* system = new CPParticleSystem(owner, definitions);
        system->SetPeriod(period);
        return system;
    };
}
