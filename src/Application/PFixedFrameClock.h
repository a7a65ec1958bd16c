#pragma once

#include "Platform/Win32Time.h"

// A clock that stands still within a frame and moves on by the same step
// with every frame the frame clock counts: every frame then lasts exactly
// the step, and everything that reads the time (lap clocks, seeds taken from
// the millisecond clock) repeats from run to run. Installed as the clock
// source while it lives.
class CPFixedFrameClock : public PlatClockSource {
public:
    explicit CPFixedFrameClock(double frameSeconds);
    ~CPFixedFrameClock() override;
    CPFixedFrameClock(const CPFixedFrameClock&) = delete;
    CPFixedFrameClock& operator=(const CPFixedFrameClock&) = delete;

    bool Frequency(LONGLONG& frequency) override;
    LONGLONG Counter() override;
    DWORD Milliseconds() override;

    // Counter ticks per second.
    static constexpr LONGLONG kTicksPerSecond = 1000000000;

private:
    LONGLONG ticksPerFrame;
};
