#pragma once

#include "Core/PTask.h"

class CPPhysics;
extern CPPhysics* g_Physics;
CPPhysics* GetPhysics();

// Stands in for the physics task until the simulator's task lands.
class CPPhysics : public CPTask {
public:
    CPPhysics();
    ~CPPhysics() override;

    void Update() override {}
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(CPPhysics); }
    std::string GetClassName() const override { return "CPPhysics"; }
};
