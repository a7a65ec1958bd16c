#pragma once

#include <cstdint>

// Optional timing record of RbSimulator::Advance. Mode 1 reports the last
// call's total; otherwise the result is the mean of the totals below 100 s.
struct RbPerformanceReport {
    float result = 0.0f;
    float runningSum = 0.0f;
    std::int32_t mode = 0;
    std::int32_t sampleCount = 0;

    void Begin() { result = 0.0f; }
    void Finish(float total);
};
