#pragma once

#include "Core/PTask.h"

class CPParticlesManager;
extern CPParticlesManager* g_ParticlesManager;

// Stands in for the particle manager until the effects subsystem lands.
class CPParticlesManager : public CPTask {
public:
    CPParticlesManager();
    ~CPParticlesManager() override;

    // Reads the particle tables.
    bool Start() override;
    void Update() override {}
    // Removes every running particle system.
    void ClearAll();
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(CPParticlesManager); }
    std::string GetClassName() const override { return "CPParticlesManager"; }
};
