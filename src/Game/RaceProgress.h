#pragma once

#include "Game/RunSample.h"

#include <cstdint>
#include <string>
#include <vector>

// The best-run record of one race: the best time in seconds (0 for none),
// a value kept for the scripts, the model of the car that drove the best run
// and the run's samples, replayed as a ghost.
struct RaceProgress {
    float bestTime = 0;
    int32_t value = 4;
    std::string carModel;
    std::vector<RunSample> samples;
};
