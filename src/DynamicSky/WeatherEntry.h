#pragma once

#include <string>

// One entry of a cloud-set file: how long the weather lasts, the cloud group
// it shows, whether it is overcast and how likely it is to be chosen. The
// kept values are read and carried but drive nothing.
struct WeatherEntry {
    float blendTime = 0;
    float meanDuration = 0;
    float spread = 0;
    std::string layerName;
    int keptInts[2] = {};
    float keptFloats[2] = {};
    int keptInt = 0;
    float keptFloat = 0;
    int keptInt2 = 0;
    // Only handed to the log when the sky switches cloud groups.
    int logged = 0;
    int overcast = 0;
    float probability = 0;
    int keptLast = 0;
};
