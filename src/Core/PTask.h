#pragma once

#include "Core/PRefPtr.h"

// Position of a task in the pass: lower runs earlier.
enum ETaskPriority {
    PRIORITY_TIMER = 10,
    PRIORITY_MUSIC = 12,
    PRIORITY_INPUT = 12,
    PRIORITY_MAIN_SCRIPT = 20,
    PRIORITY_AI = 100,
    PRIORITY_OBJECTS = 200,
    PRIORITY_PHYSICS = 400,
    PRIORITY_VIDEO = 400,
    PRIORITY_INTERFACE = 450,
    PRIORITY_LEVEL = 500,
    PRIORITY_DEFAULT = 5000,
    PRIORITY_PARTICLES = 9000,
    PRIORITY_RENDER = 10000,
};

enum ETaskCategory {
    TASK_LEVEL = 1,
    TASK_INTERFACE = 2,
    TASK_SYSTEM = 3,
};

// A unit of per-frame work run by the kernel once per pass.
class CPTask : public CPObject {
public:
    // Refuses an already running task; otherwise clears the kill flag and
    // marks the task running. Overrides must end with this rule.
    virtual bool Start();
    virtual void OnSuspend() {}
    virtual void Update() = 0;
    virtual void OnResume() {}
    // Marks the task for removal by the kernel's next pass.
    virtual void Stop();
    virtual int GetCategory() const = 0;
    virtual CPRefPtr<CPTask> Clone() const { return {}; }

    bool running = false;
    bool killFlag = false;
    // Written by the task's creator before the task is added.
    int priority = PRIORITY_DEFAULT;
};
