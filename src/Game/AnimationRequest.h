#pragma once

#include "Core/PRefPtr.h"

#include <string>

// A request to play one animation of an animated visual.
struct AnimationRequest {
    std::string name;
    float speed = 1.0f;
    // Loops after which the animation stops and "animation_stopped" is sent;
    // 0 or less loops without end.
    int loopCount = 0;
    // Told about the animation's progress.
    CPRefPtr<CPObject> callback;
    // The frame at which "animation_report" is sent once per loop; negative:
    // no report.
    int reportFrame = -1;
    // Seconds added to the game time to give the start time.
    float startOffset = 0.0f;
};
