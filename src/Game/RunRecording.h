#pragma once

#include "Core/PRefPtr.h"
#include "Game/PGameObject.h"
#include "Game/RunSample.h"

#include <string>
#include <vector>

// A time trial's recorded run and the ghost that replays the best one
// (PLevelView.cpp).
struct RunRecording {
    CPRefPtr<CPGameObject> ghost;
    float lastSampleTime = 0;
    int ghostIndex = 0;
    std::string carModel;
    std::vector<RunSample> samples;
};
