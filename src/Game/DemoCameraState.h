#pragma once

// The attract camera's choice of shots (PLevelView.cpp): whether it runs,
// the shot, how long it has been shown and which way it turns.
struct DemoCameraState {
    bool active = true;
    int shot = 0;
    float clock = 0;
    float shotTime = 0;
    float turnSign = 1.0f;
};
