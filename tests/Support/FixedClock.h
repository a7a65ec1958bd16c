#pragma once

#include "Platform/Win32Time.h"

// A system clock that stands at a fixed millisecond while the object lives.
class FixedClock : public PlatClockSource {
public:
    explicit FixedClock(DWORD now) : now(now) { PlatSetClockSource(this); }
    ~FixedClock() override { PlatSetClockSource(nullptr); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    bool Frequency(LONGLONG& frequency) override {
        frequency = 1000;
        return true;
    }
    LONGLONG Counter() override { return now; }
    DWORD Milliseconds() override { return now; }

    DWORD now;
};
