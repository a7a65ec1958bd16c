#pragma once

#include "Platform/Win32Types.h"

// Time sources the engine reads: a high-resolution counter with a fixed
// frequency, and a millisecond clock that wraps at 2^32. Both come from the
// monotonic system clock unless a test installs its own source.

BOOL QueryPerformanceFrequency(LONGLONG* frequency);
BOOL QueryPerformanceCounter(LONGLONG* count);
DWORD timeGetTime();
// Blocks the calling thread for at least the given time.
void Sleep(DWORD milliseconds);

class PlatClockSource {
public:
    virtual ~PlatClockSource() = default;
    // False when the source has no high-resolution counter.
    virtual bool Frequency(LONGLONG& frequency) = 0;
    virtual LONGLONG Counter() = 0;
    virtual DWORD Milliseconds() = 0;
};

// Replaces the system clock; null restores it. The source must outlive its use.
void PlatSetClockSource(PlatClockSource* source);
