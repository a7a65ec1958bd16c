#pragma once

#include "Core/PTask.h"

#include <string>
#include <vector>

class CPObject;

// Stands in for the particle system until the effects subsystem lands: it
// keeps its owner, the names of its definitions and its emission period,
// and emits nothing.
class CPParticleSystem : public CPTask {
public:
    CPParticleSystem(CPObject* owner, std::vector<std::string> definitions)
        : owner(owner), definitions(std::move(definitions)) {}

    void SetPeriod(float seconds) { period = seconds; }

    void Update() override {}
    int GetCategory() const override { return TASK_LEVEL; }
    size_t GetSize() const override { return sizeof(CPParticleSystem); }
    std::string GetClassName() const override { return "CPParticleSystem"; }

    CPObject* owner;
    std::vector<std::string> definitions;
    float period = 0;
};
