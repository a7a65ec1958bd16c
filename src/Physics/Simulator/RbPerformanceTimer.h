#pragma once

#include <cstdint>

// Seconds spent in the phases of the running Advance, in nine slots.
class RbPerformanceTimer {
public:
    static constexpr int SlotCount = 9;

    RbPerformanceTimer();
    // Zeroes the slots and starts measuring.
    void Restart();
    // Adds the time since the last mark to slot k, less the cost of reading
    // the clock, and makes now the last mark.
    void Lap(int slot);
    float Total() const;
    float Slot(int k) const { return slots[k]; }

private:
    static std::int64_t Now();

    float slots[SlotCount] = {};
    std::int64_t last = 0;
    std::int64_t overhead = 0;
};
