#pragma once

#include "Physics/Simulator/RbBody.h"
#include "Physics/Simulator/RbController.h"
#include "Physics/Simulator/RbMatrix.h"

class RbControllerCallback;
struct RbStackHeader;
struct RbStackInfo;

// A rigid body's support points and its last ten velocities.
struct RbRestBlock {
    RbRestRecord records[3];
    RbVector velocityHistory[10];
    RbVector angularVelocityHistory[10];
    std::int32_t validPointCount = 0;
    std::int32_t validPoints[3] = {0, 0, 0};
};

// Whether a rigid body is integrated or held still on its supports.
enum RbRestState : std::int32_t { kRbAwake = 0, kRbResting = 1 };

// A dynamic body (and, with isParticle set, a rigid particle): forces,
// gravity and controllers act on it, and it is integrated every step while
// it is awake. Velocities are not damped.
struct RbRigidBody : RbBody {
    float mass = 1.0f;
    float inverseMass = 1.0f;
    RbMatrix3 inverseInertia;
    RbMatrix3 inertia = RbMatrix3::Zero();
    RbVector externalForce;
    RbVector externalTorque;
    // An RbRestState.
    std::int32_t restState = kRbAwake;
    std::int32_t gravityEnabled = 1;
    RbVector gravityForce;
    RbVector controllerForce;
    RbVector controllerTorque;
    RbVector torqueAccumulator;
    RbVector forceAccumulator;
    RbVector acceleration;
    RbVector orientation = {0, 0, 0, 1};
    RbVector angularMomentum;
    RbMatrix4 transform;
    RbVector velocity;
    RbVector angularVelocity;
    RbVector orientationRate;
    // Zero until the first integration.
    RbMatrix3 inverseWorldInertia = RbMatrix3::Zero();
    float speed = 0.0f;
    std::int32_t idleSteps = 0;
    RbStackInfo* stackInfo = nullptr;
    std::int32_t contactLastStep = 0;
    std::int32_t contactThisStep = 0;
    RbList<RbController> controllers;
    RbRestBlock restBlock;
    std::int32_t isParticle = 0;
    // Set once an integration phase has visited the body.
    std::int32_t integrated = 0;
    float idleDistance = 0.2f;
    RbVector idleReferencePosition;
    RbVector idleReferenceOrientation;
    RbVector idleReferenceVelocity;
    RbVector idleReferenceAngularVelocity;
    std::int32_t idleReferenceSteps = 0;

    RbRigidBody();

    // Public operations; the pose and motion setters wake the body.
    void SetMass(float newMass);
    void SetInertiaTensor(float a, float b, float c);
    RbVector GetPosition() const { return transform.Position(); }
    void SetPosition(const RbVector& position);
    const RbVector& GetRotation() const { return orientation; }
    void SetRotation(const RbVector& quaternion);
    RbMatrix4 GetTransform() const;
    const RbVector& GetVelocity() const { return velocity; }
    void SetVelocity(const RbVector& v);
    const RbVector& GetAngularMomentum() const { return angularMomentum; }
    void SetAngularMomentum(const RbVector& momentum);
    void SetForce(const RbVector& force, const RbVector& worldPoint);
    void SetTorque(const RbVector& torque);
    void ApplyImpulse(const RbVector& impulse, const RbVector& worldPoint);
    RbController* AddController(RbControllerCallback* callback, int period);
    void SetGravityEnabled(bool enabled) { gravityEnabled = enabled ? 1 : 0; }

    // Step phases.
    void ApplyForces(float dt);
    void Integrate(float dt);
    void RunControllers();

    void UpdateAngularVelocity(const RbVector& momentum);
    // Impulse J at lever arm r (world axes); does not wake the body.
    bool ApplyImpulseAt(const RbVector& impulse, const RbVector& leverArm);
    void WakeUp();
    void PutToRest();
    void TakeIdleReference();
    void AddRestRecord(const RbRestRecord& filled);
    // Gives back everything the body holds, ready for its pool.
    void Free();

    // Resting contacts: rest records, resting rows and rest decisions.
    int CheckRestingContacts();
    int BuildRestRows(bool link);
    int CheckRestPoints() const;
    bool CheckRestDrift();
    bool IsIdle();
    bool IsMovingFast() const;
    bool HoldAtRest();
    void UpdateRestState();

    // Stacking: a resting contact on a support, given as a rest-record
    // template; false when no stack record could be had.
    bool AddStackContact(const RbRestRecord& filled);
    bool NewStackInfo(const RbRestRecord& filled);
    bool JoinStackAsSupport(RbStackHeader* header);
    void ReleaseStackInfo();
    // Gives back the stack record and drops every rest record.
    void LeaveStacking();

private:
    void DeriveState();
};
