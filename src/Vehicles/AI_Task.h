#pragma once

#include "Core/PTask.h"

class AI_Task;
extern AI_Task* g_AITask;
AI_Task* GetAITask();

// Stands in for the computer drivers' task until the vehicles subsystem lands.
class AI_Task : public CPTask {
public:
    AI_Task();
    ~AI_Task() override;

    void Update() override {}
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(AI_Task); }
    std::string GetClassName() const override { return "AI_Task"; }
};
