#include "Application/GameObjectConnections.h"

#include "Game/GameObjectServices.h"
#include "Game/PGameObject.h"
#include "Particles/PParticleSystem.h"
#include "Particles/PParticlesManager.h"
#include "Particles/ParticleServices.h"
#include "Physics/PhysicsServices.h"

#include <memory>

namespace {

// Game objects stop their emitters but never delete them (the kernel may
// still list a stopped task until its next pass), so the application keeps
// every emitter it makes for them until the program ends.
CPTask* KeepEmitter(CPTask* emitter) {
    static std::vector<std::unique_ptr<CPTask>> emitters;
    if (emitter)
        emitters.emplace_back(emitter);
    return emitter;
}

// The top owner of an emitter's owner, or null when the owner is no game
// object.
CPRefPtr<CPGameObject> TopOwnerOf(CPObject* owner) {
    auto* object = dynamic_cast<CPGameObject*>(owner);
    return object ? object->GetTopOwner() : nullptr;
}

void SpawnSpark(const SparkParticle& spark) {
    if (!g_ParticlesManager)
        return;
    ParticleDesc desc;
    desc.typeName = spark.typeName;
    desc.position = spark.position;
    desc.velocity = spark.velocity;
    desc.acceleration = spark.acceleration;
    desc.size = spark.firstScalar;
    desc.growth = spark.secondScalar;
    desc.lifetime = spark.lifetime;
    desc.fade = spark.flags[0] != 0;
    desc.orient = spark.flags[1] != 0;
    g_ParticlesManager->Spawn(desc);
}

void ConnectEmitterOwners() {
    g_ParticleServices.worldMatrix = [](CPObject* owner) {
        auto* object = dynamic_cast<CPGameObject*>(owner);
        return object ? object->GetWorldMatrix() : PlatIdentityMatrix();
    };
    g_ParticleServices.damageTopOwner = [](CPObject* owner, float amount) {
        if (CPRefPtr<CPGameObject> top = TopOwnerOf(owner))
            top->TakeDamage(D3DXVECTOR3(), D3DXVECTOR3(), amount, 0, false);
    };
    g_ParticleServices.applyTopOwnerMaterial = [](CPObject* owner) {
        if (CPRefPtr<CPGameObject> top = TopOwnerOf(owner))
            top->ApplyMaterial();
    };
}

} // namespace

void ConnectGameObjectsToParticles() {
    g_GameObjectServices.createParticleSystem =
        [](CPObject* owner, const std::vector<std::string>& definitions, float period) -> CPTask* {
        auto* system = new CPParticleSystem(owner, definitions);
        system->SetInterval(period);
        return KeepEmitter(system);
    };
    g_GameObjectServices.cloneFlame = [](int index) -> CPRefPtr<CPTask> {
        return g_ParticlesManager ? KeepEmitter(g_ParticlesManager->CloneFlame(index).Get()) : nullptr;
    };
    ConnectEmitterOwners();
    g_PhysicsServices.spawnParticle = SpawnSpark;
}
