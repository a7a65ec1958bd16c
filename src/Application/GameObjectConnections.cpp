#include "Application/GameObjectConnections.h"

#include "Game/GameObjectServices.h"
#include "Particles/PParticleSystem.h"

void ConnectGameObjectsToParticles() {
    g_GameObjectServices.createParticleSystem =
        [](CPObject* owner, const std::vector<std::string>& definitions, float period) -> CPTask* {
        auto* system = new CPParticleSystem(owner, definitions);
        system->SetPeriod(period);
        return system;
    };
}
