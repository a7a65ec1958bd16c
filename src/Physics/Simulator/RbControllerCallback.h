#pragma once

struct RbController;

// Per-step code attached to a rigid body: sets the controller's force and
// torque, which act on the body in the next step.
class RbControllerCallback {
public:
    virtual ~RbControllerCallback() = default;
    virtual void UpdateController(RbController* controller, float timeStep) = 0;
};
