#include "Physics/Simulator/RbRigidBody.h"

#include "Physics/Simulator/RbControllerCallback.h"
#include "Physics/Simulator/RbQuaternion.h"
#include "Physics/Simulator/RbSimulator.h"

#include <cmath>

RbRigidBody::RbRigidBody() {
    isRigid = 1;
    TakeIdleReference();
}

void RbRigidBody::SetMass(float newMass) {
    // A zero, negative or non-finite mass would give an infinite inverse mass
    // and NaN forces; such a body is treated as immovable instead.
    if (newMass > 0.0f && std::isfinite(newMass)) {
        mass = newMass;
        inverseMass = 1.0f / newMass;
    } else {
        mass = 0.0f;
        inverseMass = 0.0f;
    }
}

void RbRigidBody::SetInertiaTensor(float a, float b, float c) {
    inertia = RbMatrix3::Diagonal(a, b, c);
    float det = a * b * c;
    if (std::fabs(det) >= 1e-17f)
        inverseInertia = RbMatrix3::Diagonal(1.0f / a, 1.0f / b, 1.0f / c);
}

void RbRigidBody::SetPosition(const RbVector& position) {
    transform.SetPosition(position);
    WakeUp();
}

void RbRigidBody::SetRotation(const RbVector& quaternion) {
    orientation = RbNormaliseQuaternion(quaternion);
    RbMatrix3 rotation = RbQuaternionToRotation(orientation);
    for (int i = 0; i < 3; ++i)
        transform.row[i] = rotation.row[i];
    WakeUp();
}

RbMatrix4 RbRigidBody::GetTransform() const {
    RbMatrix4 m = transform;
    for (int i = 0; i < 3; ++i)
        m.row[i].w = 0.0f;
    m.row[3].w = 1.0f;
    return m;
}

void RbRigidBody::SetVelocity(const RbVector& v) {
    velocity = v;
    WakeUp();
}

void RbRigidBody::SetAngularMomentum(const RbVector& momentum) {
    UpdateAngularVelocity(momentum);
    WakeUp();
}

void RbRigidBody::SetForce(const RbVector& force, const RbVector& worldPoint) {
    externalForce = force;
    externalTorque = RbCross(worldPoint - GetPosition(), force);
    if (RbAnyComponentAtLeast(force, 1e-6f))
        WakeUp();
}

void RbRigidBody::SetTorque(const RbVector& torque) {
    externalTorque = torque;
    if (RbAnyComponentAtLeast(torque, 1e-6f))
        WakeUp();
}

void RbRigidBody::ApplyImpulse(const RbVector& impulse, const RbVector& worldPoint) {
    ApplyImpulseAt(impulse, worldPoint - GetPosition());
    WakeUp();
}

RbController* RbRigidBody::AddController(RbControllerCallback* callback, int period) {
    RbController* controller = simulator->ControllerPool().Take();
    if (!controller) {
        simulator->Log(1, "Run out of Controllers. Increase 'controllersCount'.\n");
        return nullptr;
    }
    controllers.Append(controller);
    controller->body = this;
    controller->callback = callback;
    controller->period = period;
    controller->countdown = period;
    controller->force = {};
    controller->torque = {};
    return controller;
}

void RbRigidBody::ApplyForces(float dt) {
    idleReferenceSteps += 1;
    if (restState == kRbResting) {
        if (RbAnyComponentAtLeast(controllerForce, 1e-6f) || RbAnyComponentAtLeast(controllerTorque, 1e-6f))
            WakeUp();
        if (restState == kRbResting && HoldAtRest())
            return;
    }
    forceAccumulator += externalForce + gravityForce + controllerForce;
    acceleration = forceAccumulator * inverseMass;
    velocity += acceleration * dt;
    torqueAccumulator += externalTorque + controllerTorque;

    // Half step of the rotation: the rate of the mid-step orientation.
    float h = dt / 2.0f;
    RbVector midOrientation = RbNormaliseQuaternion(orientation + orientationRate * h);
    RbVector midMomentum = angularMomentum + torqueAccumulator * h;
    RbMatrix3 midRotation = RbQuaternionToRotation(midOrientation);
    RbVector midOmega = RbRotate(midMomentum, RbToWorldInertia(midRotation, inverseInertia));
    orientationRate = RbQuaternionRate(midOmega, midOrientation);
    angularMomentum += torqueAccumulator * dt;
    angularVelocity = midOmega;
}

void RbRigidBody::Integrate(float dt) {
    RbVector position = GetPosition();
    RbVector next = position + velocity * dt + acceleration * 0.5f * (dt * dt);
    smoothedDisplacement = smoothedDisplacement * 0.7f + (next - position) * 0.3f;
    transform.SetPosition(next);

    UpdateAngularVelocity(angularMomentum);
    orientation += orientationRate * dt;
    DeriveState();
    RunControllers();
    if (sensors.head)
        ClearSensorHits();

    int slot = simulator->HistorySlot();
    restBlock.velocityHistory[slot] = velocity;
    restBlock.angularVelocityHistory[slot] = angularVelocity;
}

void RbRigidBody::DeriveState() {
    orientation = RbNormaliseQuaternion(orientation);
    RbMatrix3 rotation = RbQuaternionToRotation(orientation);
    for (int i = 0; i < 3; ++i)
        transform.row[i] = rotation.row[i];
    inverseWorldInertia = RbToWorldInertia(rotation, inverseInertia);
    angularVelocity = RbRotate(angularMomentum, inverseWorldInertia);
    orientationRate = RbQuaternionRate(angularVelocity, orientation);
    speed = RbSafeLength(velocity);
}

void RbRigidBody::RunControllers() {
    if (gravityEnabled && restState != kRbResting)
        gravityForce = simulator->GetGravity() * mass;
    else
        gravityForce = {};
    controllerForce = {};
    controllerTorque = {};
    for (RbController* c = controllers.head; c; c = c->poolNext) {
        if (c->countdown == 0) {
            if (c->callback)
                c->callback->UpdateController(c, simulator->StepTime());
            c->countdown = c->period;
        } else {
            --c->countdown;
        }
        controllerForce += c->force;
        controllerTorque += c->torque;
    }
}

void RbRigidBody::UpdateAngularVelocity(const RbVector& momentum) {
    angularMomentum = momentum;
    angularVelocity = RbRotate(momentum, inverseWorldInertia);
    orientationRate = RbQuaternionRate(angularVelocity, orientation);
}

bool RbRigidBody::ApplyImpulseAt(const RbVector& impulse, const RbVector& leverArm) {
    velocity += impulse * inverseMass;
    UpdateAngularVelocity(angularMomentum + RbCross(leverArm, impulse));
    return true;
}

void RbRigidBody::WakeUp() {
    restState = kRbAwake;
    idleSteps = 0;
    TakeIdleReference();
}

void RbRigidBody::PutToRest() {
    restState = kRbResting;
    velocity = {};
    angularVelocity = {};
    orientationRate = {};
    speed = 0.0f;
    angularMomentum = {};
    for (int i = 0; i < 10; ++i) {
        restBlock.velocityHistory[i] = {};
        restBlock.angularVelocityHistory[i] = {};
    }
}

void RbRigidBody::TakeIdleReference() {
    idleReferencePosition = GetPosition();
    idleReferenceOrientation = orientation;
    idleReferenceVelocity = velocity;
    idleReferenceAngularVelocity = angularVelocity;
    idleReferenceSteps = 0;
}

void RbRigidBody::AddRestRecord(const RbRestRecord& filled) {
    if (!filled.support)
        return;
    RbRestRecord* records = restBlock.records;
    int candidate = -1;
    float candidateValue = 0.0f;
    int freeSlot = -1;
    int near = -1;
    for (int i = 0; i < 3 && near < 0; ++i) {
        if (records[i].state == kRbNoSupport) {
            freeSlot = i;
            continue;
        }
        if (candidateValue == 0.0f || records[i].restValue < candidateValue) {
            candidate = i;
            candidateValue = records[i].restValue;
        }
        if (RbLengthSquared(filled.localPoint - records[i].localPoint) < 0.0025f)
            near = i;
    }
    int slot = near >= 0 ? near : (freeSlot >= 0 ? freeSlot : candidate);
    RbRestRecord& record = records[slot];
    if (record.state != kRbNoSupport)
        record.Drop();
    record.localPoint = filled.localPoint;
    record.supportLocalPoint = filled.supportLocalPoint;
    record.supportNormal = filled.supportNormal;
    record.restValue = filled.restValue;
    record.material = filled.material;
    record.supportMaterial = filled.supportMaterial;
    record.support = filled.support;
    record.owner = this;
    record.stepCreated = simulator->StepCounter();
    record.state = filled.support->isRigid ? kRbRigidSupport : kRbFixedSupport;
    filled.support->supportedRecords.Append(&record);
}

void RbRigidBody::Free() {
    ReleaseAttachments();
    while (RbController* c = controllers.head) {
        controllers.Remove(c);
        simulator->ControllerPool().Return(c);
    }
    LeaveStacking();
}
