#include "Application/PFixedFrameClock.h"

#include "Core/PGlobalTimer.h"

#include <cmath>

CPFixedFrameClock::CPFixedFrameClock(double frameSeconds)
    : ticksPerFrame(std::llround(frameSeconds * static_cast<double>(kTicksPerSecond))) {
    PlatSetClockSource(this);
}

CPFixedFrameClock::~CPFixedFrameClock() {
    PlatSetClockSource(nullptr);
}

bool CPFixedFrameClock::Frequency(LONGLONG& frequency) {
    frequency = kTicksPerSecond;
    return true;
}

LONGLONG CPFixedFrameClock::Counter() {
    return static_cast<LONGLONG>(g_FrameCounter) * ticksPerFrame;
}

DWORD CPFixedFrameClock::Milliseconds() {
    return static_cast<DWORD>(Counter() / (kTicksPerSecond / 1000));
}
