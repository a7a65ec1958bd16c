#pragma once

#include "Core/PTask.h"
#include "Particles/ParticleDesc.h"
#include "Particles/ParticleSystemDef.h"

#include <string>
#include <vector>

// An emitter task: at a fixed interval it turns its definitions into one
// chained request with random variation and spawns it, placed by its
// owner's world matrix. An owner also takes the damage of each emission
// and, when the emitter has a duration, gets its material back at half of
// it.
class CPParticleSystem : public CPTask {
public:
    // Takes the named definitions of the particle manager (normalising
    // their directions there); names without one are skipped. The owner is
    // not counted: it is looked up among the live objects before each use.
    CPParticleSystem(CPObject* owner, const std::vector<std::string>& names);

    void SetInterval(float seconds) { interval = seconds; }

    bool Start() override;
    void Update() override;
    int GetCategory() const override { return TASK_LEVEL; }
    // A new emitter of the same owner, names, definitions, interval,
    // duration and damage.
    CPRefPtr<CPTask> Clone() const override;
    size_t GetSize() const override { return sizeof(CPParticleSystem); }
    std::string GetClassName() const override { return "CPParticleSystem"; }

    // Spawns one request built from every definition, each later one
    // chained to the one before.
    void Emit();
    // One request from the definition with random start offset and
    // direction; the owner's position is added when asked.
    ParticleDesc MakeDesc(const ParticleSystemDef& definition, bool addOwnerPosition);

    std::vector<ParticleSystemDef> definitions;
    std::vector<std::string> systemNames;
    // Frame time not yet used for emissions.
    float accumulator = 0;
    float interval = 0.5f;
    // Seconds after which the emitter stops; 0 or less is endless.
    float duration = -1.0f;
    float elapsed = 0;
    float damage = 0;
    CPObject* owner;

private:
    // Emits while the accumulator allows; stops the emitter when its owner
    // is gone.
    void RunEmissions();
    // The owner's world matrix, or the identity without an owner.
    D3DXMATRIX OwnerMatrix() const;
    // True when the emitter has no owner or its owner is still alive.
    bool OwnerAlive() const;

    bool loggedInterval = false;
    bool loggedBacklog = false;
};
