#pragma once

#include "Platform/D3DX9Math.h"

// What the chase camera reads each frame of the level and of the car it
// follows. The level implements it.
class CameraTarget {
public:
    virtual ~CameraTarget() = default;

    // The target car body's forward direction in world space (its -Y axis).
    virtual D3DXVECTOR3 GetTargetForward() const = 0;
    // The target car's slide factor and steering input (-1 to 1); false when
    // the target has no car physics.
    virtual bool GetCarSteering(float& slideFactor, float& steering) const = 0;
    // Whether the race result has been sent; the camera then looks along the
    // track angle.
    virtual bool IsResultSent() const = 0;
    virtual float GetTrackAngle() const = 0;
    // The pause orbit angle added to the heading while the game is paused.
    virtual float GetDemoShotTime() const = 0;
};
