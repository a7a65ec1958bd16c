#include "Vehicles/AI_Task.h"

#include "Core/CallRecorder.h"

AI_Task* g_AITask = nullptr;

AI_Task::AI_Task() {
    g_AITask = this;
    RecordCall("AI_Task()");
}

AI_Task::~AI_Task() {
    RecordCall("~AI_Task()");
    if (g_AITask == this)
        g_AITask = nullptr;
}

AI_Task* GetAITask() {
    return g_AITask;
}
