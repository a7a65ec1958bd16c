#pragma once

#include <vector>

// What the race keeps of one racer. The per-car records count laps, lap
// times and progress along the racing line; the car-position table keeps
// where the car is, for the radar.
struct RacerRecord {
    static constexpr int kLapTimeCount = 20;

    int lapCount = 1;
    std::vector<float> lapTimes = std::vector<float>(kLapTimeCount, 0.0f);
    int progress = -1;
    float x = 0;
    float y = 0;
};
