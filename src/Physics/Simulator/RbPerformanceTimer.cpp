#include "Physics/Simulator/RbPerformanceTimer.h"

#include <algorithm>
#include <chrono>

RbPerformanceTimer::RbPerformanceTimer() {
    // The cost of a clock read: the smallest of 20 back-to-back differences.
    std::int64_t smallest = 200;
    for (int i = 0; i < 20; ++i) {
        std::int64_t a = Now();
        std::int64_t b = Now();
        smallest = std::min(smallest, b - a);
    }
    overhead = smallest;
}

std::int64_t RbPerformanceTimer::Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void RbPerformanceTimer::Restart() {
    std::fill(std::begin(slots), std::end(slots), 0.0f);
    last = Now();
}

void RbPerformanceTimer::Lap(RbPhaseSlot slot) {
    std::int64_t now = Now();
    std::int64_t elapsed = std::max<std::int64_t>(now - last - overhead, 0);
    slots[slot] += static_cast<float>(static_cast<double>(elapsed) * 1e-9);
    last = now;
}

float RbPerformanceTimer::Total() const {
    float total = 0.0f;
    for (float slot : slots)
        total += slot;
    return total;
}
