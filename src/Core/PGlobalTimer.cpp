#include "Core/PGlobalTimer.h"

#include "Platform/Win32Time.h"

float g_FrameTime = 0.0f;
double g_GameTime = 0.0;
int32_t g_FrameCounter = 0;
int32_t g_FrameParticleCount = 0;
float g_TimeScale = 1.0f;
CPGlobalTimer* g_GlobalTimer = nullptr;

CPGlobalTimer::CPGlobalTimer() {
    g_GlobalTimer = this;
}

CPGlobalTimer::~CPGlobalTimer() {
    if (g_GlobalTimer == this)
        g_GlobalTimer = nullptr;
}

bool CPGlobalTimer::Start() {
    if (!initialised) {
        g_FrameCounter = 0;
        g_FrameParticleCount = 0;
        g_GameTime = 0.0;
        initialised = true;
    }
    hasPerformanceCounter = QueryPerformanceFrequency(&frequency) != FALSE;
    lastSample = Sample();
    g_FrameTime = 0.0f;
    return CPTask::Start();
}

void CPGlobalTimer::Update() {
    g_FrameParticleCount = 0;
    g_FrameCounter += 1;
    const LONGLONG reading = Sample();
    const float delta = SecondsSince(reading);
    lastSample = reading;
    g_FrameTime = g_TimeScale * delta;
    g_GameTime += g_FrameTime;
}

void CPGlobalTimer::OnResume() {
    lastSample = Sample();
}

LONGLONG CPGlobalTimer::Sample() const {
    if (hasPerformanceCounter) {
        LONGLONG count = 0;
        QueryPerformanceCounter(&count);
        return count;
    }
    return timeGetTime();
}

float CPGlobalTimer::SecondsSince(LONGLONG reading) const {
    if (hasPerformanceCounter)
        return static_cast<float>(static_cast<long double>(reading - lastSample) / frequency);
    // The millisecond clock wraps at 2^32: the unsigned 32-bit difference
    // stays right across the wrap.
    const DWORD elapsed = static_cast<DWORD>(reading) - static_cast<DWORD>(lastSample);
    return static_cast<float>(elapsed) * 0.001f;
}
