#pragma once

#include "Physics/Simulator/RbVector.h"

#include <cstdint>

class RbControllerCallback;
struct RbRigidBody;

// A controller of a rigid body: its callback runs once every period + 1
// steps, and its force and torque are added to the body in every step.
struct RbController {
    std::int32_t period = 0;
    std::int32_t countdown = 0;
    RbControllerCallback* callback = nullptr;
    RbRigidBody* body = nullptr;
    RbVector force;
    RbVector torque;

    RbController* poolNext = nullptr;
    RbController* poolPrev = nullptr;
    std::uint8_t inUse = 0;

    void SetControllerForce(const RbVector& f) { force = f; }
    void SetControllerTorque(const RbVector& t) { torque = t; }
    RbRigidBody* GetBody() const { return body; }
};
