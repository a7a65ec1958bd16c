#include "Particles/PParticleSystem.h"

#include "Core/LiveObjects.h"
#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Particles/PParticlesManager.h"
#include "Particles/ParticleServices.h"
#include "Platform/Random.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
// More emissions than this in one update are a backlog no frame can show
// (an interval far below the frame time): the rest is dropped.
constexpr int kMaxEmissionsPerUpdate = 256;

// Uniform in [-extent, extent].
float RandomSpread(float extent) {
    return static_cast<float>(PlatRand()) / static_cast<float>(PLAT_RAND_MAX) * 2 * extent - extent;
}

// The rotation that carries +Z onto the (unit) direction; for a direction
// along -Z the axis is zero and it turns every vector into its negative.
D3DXMATRIX TowardsDirection(const D3DXVECTOR3& direction) {
    const D3DXVECTOR3 axis(-direction.y, direction.x, 0);
    D3DXMATRIX rotation;
    D3DXMatrixRotationAxis(&rotation, &axis, std::acos(std::clamp(direction.z, -1.0f, 1.0f)));
    return rotation;
}

} // namespace

CPParticleSystem::CPParticleSystem(CPObject* owner, const std::vector<std::string>& names)
    : systemNames(names), owner(owner) {
    if (!g_ParticlesManager)
        return;
    for (const std::string& name : names) {
        ParticleSystemDef* definition = g_ParticlesManager->systemDefs.Find(name);
        if (!definition)
            continue;
        D3DXVec3Normalize(&definition->direction, &definition->direction);
        definitions.push_back(*definition);
    }
}

bool CPParticleSystem::Start() {
    accumulator = 0;
    elapsed = 0;
    return CPTask::Start();
}

bool CPParticleSystem::OwnerAlive() const {
    return !owner || FindLiveObject(owner) == owner;
}

D3DXMATRIX CPParticleSystem::OwnerMatrix() const {
    return owner ? g_ParticleServices.worldMatrix(owner) : PlatIdentityMatrix();
}

void CPParticleSystem::Update() {
    if (!(interval > 0)) {
        if (!loggedInterval)
            GetLog().Print(0, "A particle system with the interval %g never emits\n", interval);
        loggedInterval = true;
        return;
    }
    const float dt = g_FrameTime;
    const float startElapsed = elapsed;
    const bool beforeHalf = duration * 0.5f > elapsed;
    accumulator += dt;
    RunEmissions();
    if (beforeHalf && !(duration * 0.5f > elapsed) && owner && OwnerAlive())
        g_ParticleServices.applyTopOwnerMaterial(owner);
    elapsed = startElapsed + dt;
}

void CPParticleSystem::RunEmissions() {
    for (int emissions = 0; accumulator > interval; ++emissions) {
        // The owner is not counted: an emitter whose owner is gone stops.
        if (!OwnerAlive()) {
            Stop();
            return;
        }
        if (emissions == kMaxEmissionsPerUpdate) {
            if (!loggedBacklog)
                GetLog().Print(0, "A particle system of interval %g drops emissions it cannot keep up with\n",
                               interval);
            loggedBacklog = true;
            accumulator = 0;
            return;
        }
        accumulator -= interval;
        elapsed += interval;
        if (owner)
            g_ParticleServices.damageTopOwner(owner, damage);
        Emit();
        if (duration > 0 && elapsed > duration)
            Stop();
    }
}

void CPParticleSystem::Emit() {
    ParticleDesc first;
    ParticleDesc* last = nullptr;
    for (const ParticleSystemDef& definition : definitions) {
        if (!last) {
            first = MakeDesc(definition, true);
            last = &first;
        } else {
            last->chained = std::make_unique<ParticleDesc>(MakeDesc(definition, false));
            last = last->chained.get();
        }
    }
    if (g_ParticlesManager)
        g_ParticlesManager->Spawn(first);
}

ParticleDesc CPParticleSystem::MakeDesc(const ParticleSystemDef& definition, bool addOwnerPosition) {
    ParticleDesc desc;
    desc.typeName = definition.typeName;
    desc.lifetime = definition.lifetime;
    desc.size = definition.size;
    desc.growth = definition.growth;
    desc.fade = definition.fade;
    desc.acceleration = definition.acceleration;
    desc.position.x = RandomSpread(definition.spawnBox.x);
    desc.position.y = RandomSpread(definition.spawnBox.y);
    desc.position.z = RandomSpread(definition.spawnBox.z);
    const D3DXMATRIX world = OwnerMatrix();
    if (addOwnerPosition)
        desc.position += D3DXVECTOR3(world._41, world._42, world._43);
    const float azimuth = static_cast<float>(PlatRand() % 360) * kDegreesToRadians;
    // A cone whose half is 0 degrees (an angle of 1 or -1) has no spread.
    const int halfCone = definition.coneAngle / 2;
    const float polar = halfCone != 0 ? static_cast<float>(PlatRand() % halfCone) * kDegreesToRadians : 0.0f;
    const float speed = definition.speed;
    const D3DXVECTOR3 inCone(std::cos(azimuth) * std::sin(polar) * speed,
                             std::sin(azimuth) * std::sin(polar) * speed, std::cos(polar) * speed);
    const D3DXMATRIX turn = TowardsDirection(definition.direction);
    D3DXVECTOR3 turned;
    D3DXVec3TransformNormal(&turned, &inCone, &turn);
    D3DXVec3TransformNormal(&desc.velocity, &turned, &world);
    return desc;
}

CPRefPtr<CPTask> CPParticleSystem::Clone() const {
    auto* clone = new CPParticleSystem(owner, systemNames);
    clone->interval = interval;
    clone->duration = duration;
    clone->damage = damage;
    clone->definitions = definitions;
    return clone;
}
