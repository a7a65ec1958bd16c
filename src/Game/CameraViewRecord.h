#pragma once

// One chase-camera view of the player's car as the car's description gives
// it ("camera", "camera2", "camera3"), and the view the race camera follows
// (PLevelView.cpp). The third, fixed view uses only its distance, height and
// blur.
struct CameraViewRecord {
    float distance = 0;
    float height = 0;
    float angle = 0;
    float angleDiv = 0;
    float distanceDiv = 0;
    float blur = 0;
    float fov = 50.0f;
};
