#pragma once

#include "Core/PTask.h"
#include "Platform/Win32Types.h"

#include <cstdint>

// Seconds of the current frame times g_TimeScale; 0 after a start and while
// the application is inactive.
extern float g_FrameTime;
// Sum of all frame times since the clock first started.
extern double g_GameTime;
// Clock updates since the clock first started.
extern int32_t g_FrameCounter;
// Particles spawned by sparks and wheel dust in the current frame.
extern int32_t g_FrameParticleCount;
// Game-speed factor, 1 at program start.
extern float g_TimeScale;

class CPGlobalTimer;
extern CPGlobalTimer* g_GlobalTimer;

// The frame clock: the first task of every pass. Publishes the frame time,
// the game time and the frame counter.
class CPGlobalTimer : public CPTask {
public:
    CPGlobalTimer();
    ~CPGlobalTimer() override;

    // Re-samples the clock and zeroes the frame time even when the task is
    // already running (and then refuses to be listed twice).
    bool Start() override;
    void Update() override;
    // Measures the next frame from the resume, not from the suspension.
    void OnResume() override;
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(CPGlobalTimer); }
    std::string GetClassName() const override { return "CPGlobalTimer"; }

private:
    LONGLONG Sample() const;
    float SecondsSince(LONGLONG reading) const;

    bool hasPerformanceCounter = true;
    LONGLONG frequency = 0;
    LONGLONG lastSample = 0;
    bool initialised = false;
};
