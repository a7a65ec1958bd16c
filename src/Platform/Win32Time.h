#pragma once

#include "Platform/Win32Types.h"

#include <functional>

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

// The local calendar time as Windows gives it: month 1 to 12, day of week
// 0 (Sunday) to 6.
struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

static_assert(sizeof(SYSTEMTIME) == 16, "SYSTEMTIME is eight 16-bit fields");

// The local time, from the system's real-time clock and time zone unless a
// test installs its own source.
void GetLocalTime(SYSTEMTIME* time);

// Replaces the local time's source; an empty function restores the system's.
void PlatSetLocalTimeSource(std::function<SYSTEMTIME()> source);
