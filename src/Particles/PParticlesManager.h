#pragma once

#include "Core/PTask.h"
#include "Core/StringHashMap.h"
#include "Particles/PParticleRenderObject.h"
#include "Particles/PParticleSystem.h"
#include "Particles/ParticleDesc.h"
#include "Particles/ParticleSystemDef.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

class CPParticlesManager;
extern CPParticlesManager* g_ParticlesManager;

// Owns every particle effect: reads the particle, spot, particle-system and
// flame tables at start, spawns particles on request, ages and moves the
// live ones once per frame and hands every type that has some to the main
// render block.
class CPParticlesManager : public CPTask {
public:
    CPParticlesManager();
    ~CPParticlesManager() override;
    CPParticlesManager(const CPParticlesManager&) = delete;
    CPParticlesManager& operator=(const CPParticlesManager&) = delete;

    // Reads the tables in the order particles, spots, particle systems,
    // flames; false as soon as one cannot be read (the later ones are then
    // not read).
    bool Start() override;
    void Update() override;
    int GetCategory() const override { return TASK_LEVEL; }
    size_t GetSize() const override { return sizeof(CPParticlesManager); }
    std::string GetClassName() const override { return "CPParticlesManager"; }

    // Emits one particle of the request's type; an unknown type is ignored.
    void Spawn(const ParticleDesc& desc);
    // Removes every live particle; emitters and definitions stay.
    void ClearAll();
    // A copy of the flame emitter of that index, or null when there is none.
    CPRefPtr<CPParticleSystem> CloneFlame(int index) const;

    // The table readers, each given a whole table's text and the file's
    // name for the log.
    void ReadParticleTypes(const std::string& file, const std::string& text, bool spots);
    void ReadSystemDefs(const std::string& file, const std::string& text);
    void ReadFlames(const std::string& file, const std::string& text);

    std::vector<std::unique_ptr<CPParticleSystem>> flames;
    StringHashMap<std::unique_ptr<CPParticleRenderObject>> particleTypes{100};
    // The types that hold live particles, in the order they became live.
    std::list<CPRefPtr<CPParticleRenderObject>> liveObjects;
    StringHashMap<ParticleSystemDef> systemDefs{100};

private:
    // Reads the named table and hands its text to the reader; false when
    // it cannot be read.
    template <class Reader>
    bool ReadTable(const char* path, Reader&& reader);
};

// Emits one particle through the particle manager, when there is one.
void SpawnParticle(const ParticleDesc& desc);
