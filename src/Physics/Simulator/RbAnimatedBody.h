#pragma once

#include "Physics/Simulator/RbBody.h"

// A collision-only body that the game places; never integrated.
struct RbAnimatedBody : RbBody {
    RbMatrix4 worldTransform;
    // Set by the pose setters, cleared at the end of the next Advance.
    std::int32_t moved = 0;

    RbAnimatedBody() = default;

    void SetPosition(const RbVector& position);
    // Normalises the quaternion first (a zero quaternion gives the identity).
    void SetRotation(const RbVector& quaternion);
};
