#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Game/PGameData.h"
#include "Game/PGameObject.h"
#include "Physics/PhysicsServices.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Physics/Simulator/RbSensor.h"
#include "Physics/VectorConversions.h"
#include "Platform/Random.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Sound/NSound.h"
#include "Vehicles/PCar.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr DWORD DebugLineColour = 0xFFFF00FF;

float Draw() {
    return static_cast<float>(PlatRand()) / static_cast<float>(PLAT_RAND_MAX);
}

float Sign(float value) {
    return value > 0.0f ? 1.0f : -1.0f;
}

bool IsFront(int i) {
    return i < 2;
}

// The inverse of a rigid transform: the rotation transposed, the position
// taken back through it.
RbMatrix4 RigidInverse(const RbMatrix4& m) {
    RbMatrix4 inverse;
    for (int r = 0; r < 3; ++r)
        inverse.row[r] = {m.row[0][r], m.row[1][r], m.row[2][r], 0.0f};
    const RbVector& p = m.Position();
    inverse.SetPosition({-RbDot(p, m.row[0]), -RbDot(p, m.row[1]), -RbDot(p, m.row[2])});
    return inverse;
}

bool LevelStarted() {
    return g_GameData && g_GameData->levelStarted;
}

} // namespace

void CPCar::UpdateController(RbController* attached, float timeStep) {
    RbRigidBody* body = attached ? attached->GetBody() : nullptr;
    if (!body)
        return;
    slideFactor = braking ? slide : std::max(0.0f, slideFactor - 3.0f * timeStep);
    StoreTransform(*body);
    std::fill(wheelOnGround, wheelOnGround + wheelCount, false);
    RbVector force, torque;
    velocity = body->GetVelocity();
    speed = RbSafeLength(velocity);
    const float k = slideFactor != 0.0f ? 1.0f : 1.0f - std::min(0.025f * speed, 0.9f);
    const float angle = steering * k;
    RbVector steered = Rotate({std::sin(angle), std::cos(angle), 0});
    steered.z = 0.0f;
    steeredDirection = RbSafeNormalise(steered);
    for (int i = 0; i < wheelCount; ++i)
        UpdateWheel(i, force, torque);
    for (int i = 0; i < wheelCount; ++i)
        UpdateWheelEffects(i, timeStep, velocity);
    force += bodyTransform.row[1] * (-0.5f * RbDot(velocity, bodyTransform.row[1]));
    AddNitro(force, timeStep);
    attached->SetControllerForce(force);
    attached->SetControllerTorque(torque);
    if (frameStamp != g_FrameCounter && LevelStarted())
        UpdateOncePerFrame();
}

void CPCar::StoreTransform(const RbRigidBody& body) {
    bodyTransform = body.GetTransform();
    inverseTransform = RigidInverse(bodyTransform);
}

RbVector CPCar::Rotate(const RbVector& v) const {
    return RbRotate(v, bodyTransform);
}

float CPCar::BodyY(const RbVector& v) const {
    return RbRotate(v, inverseTransform).y;
}

int CPCar::UpdateWheel(int i, RbVector& force, RbVector& torque) {
    const RbSensor* sensor = wheelSensors[i];
    RbRigidBody* body = GetBody();
    if (!sensor || !body)
        return 0;
    const float depth = sensor->GetDetectDepth();
    if (depth <= 0.0f) {
        wheelInAir[i] = true;
        return 0;
    }
    const RbVector P = sensor->GetDetectContactPoint();
    const RbVector S = RbTransformPoint(sensor->GetLinePosition(), bodyTransform);
    if (debug && g_Render)
        g_Render->AddLine(DebugLineColour, ToD3D(S), ToD3D(P));
    wheelOnGround[i] = true;
    contactPoints[i] = P;
    wheelInAir[i] = false;
    wheelTravel[i] = TravelFor(i, depth);

    RbVector n = sensor->GetDetectNormal();
    if (n.z < 0.0f)
        n = -n;
    const RbVector C = bodyTransform.Position();
    const RbVector u = Rotate(sensor->GetLineUnitVector());
    const RbVector rS = S - C;
    const RbVector spring = n * ((IsFront(i) ? frontSpring : rearSpring) * depth);
    const RbVector damper = u * (damping * -RbDot(body->GetVelocityAtPoint(rS), u));
    force += spring + damper;
    torque += RbCross(rS, spring) + RbCross(rS, damper);

    const RbVector rP = P - C;
    const RbVector vP = body->GetVelocityAtPoint(rP);
    wheelRollingSpeed[i] = -BodyY(vP);
    AddWheelFriction(i, rP, vP, n, force, torque);
    if (locked) {
        AddHoldForce(i, rP, vP, force, torque);
        return 0;
    }
    AddDriveForce(i, rP, n, force, torque);
    return 1;
}

float CPCar::TravelFor(int i, float depth) const {
    const float limit = IsFront(i) ? frontTravelLimit : rearTravelLimit;
    if (fixedAtMaximum)
        return wheelRadius - sensorLength;
    const float travel = wheelRadius - (sensorLength - depth);
    return fixedAtMinimum || travel > limit ? limit : travel;
}

// Side grip across the wheel's rolling axis, acting horizontally only; the
// rear wheels lose it while the car slides.
void CPCar::AddWheelFriction(int i, const RbVector& rP, const RbVector& vP, const RbVector& n,
                             RbVector& force, RbVector& torque) const {
    const RbVector ground = vP - n * RbDot(vP, n);
    const RbVector& axis = IsFront(i) ? steeredDirection : bodyTransform.row[1];
    const RbVector side = RbSafeNormalise(ground - axis * RbDot(ground, axis));
    const RbVector grip = IsFront(i) ? side * -frontFriction : side * (-rearFriction * (1.0f - slideFactor));
    const RbVector horizontal(grip.x, grip.y, 0.0f);
    force += horizontal;
    torque += RbCross(rP, horizontal);
}

// A locked car pushes against its own rolling along each wheel's axis.
void CPCar::AddHoldForce(int i, const RbVector& rP, const RbVector& vP, RbVector& force,
                         RbVector& torque) const {
    const RbVector& axis = IsFront(i) ? steeredDirection : bodyTransform.row[1];
    const RbVector hold = axis * (-2.0f * BodyY(vP));
    force += hold;
    torque += RbCross(rP, hold * pitchInertia);
}

// Front wheels push along their horizontal rolling direction; rear wheels
// along the ground under them (the normal turned a quarter turn about the
// body's x axis), harder the steeper that climbs. Only the throttle's sign
// matters.
void CPCar::AddDriveForce(int i, const RbVector& rP, const RbVector& n, RbVector& force,
                          RbVector& torque) const {
    const RbVector& x = bodyTransform.row[0];
    const RbVector w = IsFront(i) ? RbSafeNormalise(-steeredDirection) : RbCross(x, n) + x * RbDot(x, n);
    const RbVector wn = RbSafeNormalise(w);
    const RbVector h = RbSafeNormalise({w.x, w.y, 0.0f});
    const float slope = std::acos(std::clamp(RbDot(wn, h), -1.0f, 1.0f));
    if (throttleForce == 0.0f)
        return;
    const float drive = throttleForce > 0.0f ? forwardDrive : reverseDrive;
    const RbVector push = w * (Sign(throttleForce) * drive * (1.0f + 5.0f * std::fabs(slope)));
    force += push;
    torque += RbCross(rP, push);
}

void CPCar::AddNitro(RbVector& force, float timeStep) {
    nitroForce = RbSafeNormalise(Rotate({0, -1, 0})) * (80.0f * forwardDrive * nitroDemand * timeStep);
    if (nitroDemand > 0.0f && playerCar && nitroSound && !nitroSound->IsPlaying()) {
        nitroSound->Rewind();
        nitroSound->Play(0, 0);
    }
    force += nitroForce;
}

void CPCar::UpdateWheelEffects(int i, float timeStep, const RbVector& bodyVelocity) {
    SpinWheel(i, timeStep);
    if (wheelOnGround[i] && RbLengthSquared(bodyVelocity) > 80.0f && g_Dust != 0 && slideFactor > 0.0f)
        RaiseDust(i);
    PoseWheel(i);
}

// Braking locks the rear wheels. A wheel of radius 0 does not spin on the
// ground.
void CPCar::SpinWheel(int i, float timeStep) {
    if (!IsFront(i) && braking)
        return;
    if (!wheelOnGround[i])
        wheelSpin[i] -= timeStep * throttleForce;
    else if (wheelRadius != 0.0f)
        wheelSpin[i] += timeStep * wheelRollingSpeed[i] / (0.5f * wheelRadius);
}

// Dust puffs behind a sliding wheel, spaced apart along its track (computer
// cars five times sparser), within the frame's particle budget.
void CPCar::RaiseDust(int i) {
    const RbVector spot = contactPoints[i] + RbVector(0, 0, 0.25f);
    SparkParticle dust;
    dust.typeName = "pil_";
    dust.position = ToD3D(spot);
    dust.velocity = {0, 0, 0.5f};
    dust.firstScalar = 0.4f + 0.2f * Draw();
    dust.secondScalar = 0.5f;
    dust.lifetime = 1.0f;
    dust.flags[0] = 1;
    dust.flags[1] = 0;
    if (g_FrameParticleCount < FrameParticleBudget) {
        const float spacing = playerCar ? 1.0f : 5.0f;
        const float distance = RbLengthSquared(dustSpawnPoints[i] - spot);
        if (distance >= dust.firstScalar * dust.firstScalar * spacing * (1.0f + Draw()) / 2.0f) {
            g_PhysicsServices.spawnParticle(dust);
            dustSpawnPoints[i] = spot;
            ++g_FrameParticleCount;
        }
    }
    if (playerCar && skidSound && !skidSound->IsPlaying())
        skidSound->Play(0, 0);
}

void CPCar::PoseWheel(int i) {
    CPGameObject* part = wheelParts[i].Get();
    if (!part)
        return;
    part->SetOrientation(WheelOrientation(wheelSpin[i], IsFront(i) ? -steering : 0.0f));
    const RbVector& rest = restPositions[i];
    part->SetPosition({rest.x, rest.y, wheelTravel[i] + wheelHeight});
}

D3DXQUATERNION CPCar::WheelOrientation(float spin, float steerAngle) {
    D3DXMATRIX rotation;
    D3DXMatrixRotationX(&rotation, spin);
    if (steerAngle != 0.0f) {
        D3DXMATRIX steer;
        D3DXMatrixRotationZ(&steer, steerAngle);
        D3DXMatrixMultiply(&rotation, &rotation, &steer);
    }
    D3DXQUATERNION q;
    D3DXQuaternionRotationMatrix(&q, &rotation);
    return q;
}

void CPCar::UpdateOncePerFrame() {
    if (nitroDemand > 0.0f) {
        nitroReserve = std::max(0.0f, nitroReserve - 25.0f * g_FrameTime);
        if (nitroReserve == 0.0f)
            nitroDemand = 0.0f;
    }
    UpdateGlass();
    if (playerCar)
        UpdateEngineSound();
    frameStamp = g_FrameCounter;
}

// The glass glows with the nitro: its meshes get the glow in the last
// component of their parameter vector.
void CPCar::UpdateGlass() {
    CPRefPtr<CPGameObject> glass = owner->GetPart("glass");
    if (!glass)
        return;
    float g = 0.0f;
    if (nitroReserve > 0.0f && nitroDemand > 0.0f)
        g = (1.0f + Draw() * nitroReserve * 0.01f) * 0.455f;
    else if (nitroReserve > 0.0f && nitroDemand == 0.0f)
        g = nitroReserve * 0.01f * 0.728f;
    else
        g = 0.364f + Draw() * 0.364f;
    const D3DXVECTOR4 parameter(0, 0, 0, -(g * nitroDemand) - 0.09f);
    for (const CPRefPtr<CPGameObject>& pane : glass->children) {
        if (CPRenderObject* mesh = pane->GetRenderObject())
            mesh->parameter = parameter;
    }
}

// The engine loops from the first frame on, its pitch easing toward the
// speed's; a frame longer than a fifth of a second reaches the target rather
// than overshooting it. The sound plays within the device's frequency range
// whatever the pitch.
void CPCar::UpdateEngineSound() {
    if (engineSound && !engineSound->IsPlaying())
        engineSound->Play(0, 1);
    const float target = std::min(0.05f * speed + 0.5f, 3.0f);
    enginePitch += (target - enginePitch) * std::min(g_FrameTime * 5.0f, 1.0f);
    if (engineSound)
        engineSound->SetPitch(engineSound->PlayablePitch(enginePitch));
}
