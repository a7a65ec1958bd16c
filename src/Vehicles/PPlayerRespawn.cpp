#include "Vehicles/PPlayer.h"

#include "Core/GeometryFunctions.h"
#include "Core/Log.h"
#include "Game/PLevel.h"
#include "Game/PSpline.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Vehicles/PCar.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// A car steeper than 70 degrees is put back on its wheels.
constexpr float MaxTilt = 1.2217305f;
constexpr float SearchRadius = 20.0f;
// A candidate point is taken by a car whose box reaches within this of it.
constexpr float BlockingRadius = 5.0f;
constexpr float DropHeight = 2.0f;

bool IsFalling(const float v[4]) {
    return (v[0] * v[0] + v[1] * v[1]) * 1.5f < v[2] * v[2] && v[2] < -5.0f;
}

// On all three axes the centres are no further apart than the half sizes
// together.
bool Overlap(const AxisAlignedBox& a, const AxisAlignedBox& b) {
    const D3DXVECTOR3 ca = (a.min + a.max) * 0.5f, cb = (b.min + b.max) * 0.5f;
    const D3DXVECTOR3 ha = (a.max - a.min) * 0.5f, hb = (b.max - b.min) * 0.5f;
    return std::fabs(ca.x - cb.x) <= ha.x + hb.x && std::fabs(ca.y - cb.y) <= ha.y + hb.y &&
           std::fabs(ca.z - cb.z) <= ha.z + hb.z;
}

// Logged once a run: a level without its racing line would log every frame.
void ReportNoRespawn(const char* reason) {
    static bool reported = false;
    if (reported)
        return;
    reported = true;
    GetLog().Print(0, "A vehicle cannot be put back on the track: %s\n", reason);
}

} // namespace

void CPPlayer::Respawn(bool force) {
    if (!NeedsRespawn(force))
        return;
    CPSpline* path = g_Level ? g_Level->GetSpline().Get() : nullptr;
    RbRigidBody* body = physicData ? physicData->rigidBody : nullptr;
    if (!path || !path->firstLine || !body) {
        ReportNoRespawn(!g_Level ? "no level" : !body ? "no rigid body" : "no racing line");
        return;
    }
    respawnCoolDown = RespawnCoolDown;
    if (IsCameraTarget()) {
        fadeTime = 0.0f;
        fadeOut = true;
        fadeIn = false;
    }
    float radius = SearchRadius;
    CPLine* nearest = path->firstLine;
    path->FindClosestLine(position, radius, 0, nearest);
    StopBody();
    D3DXVECTOR3 point = nearest->end;
    for (const D3DXVECTOR3& candidate : {nearest->start, nearest->centre}) {
        if (!IsBlocked(candidate)) {
            point = candidate;
            break;
        }
    }
    point.z += DropHeight;
    radius = SearchRadius;
    float heading = path->FindClosestLine(point, radius, 0, nearest);
    if (g_Level->reverse)
        heading += std::numbers::pi_v<float>;
    GetLog().Print(0, "The car %s is put back on the track at (%.1f, %.1f)\n",
                   IsCameraTarget() ? "of the player" : carModelName.c_str(), point.x, point.y);
    PlaceAt(point, heading);
}

bool CPPlayer::NeedsRespawn(bool force) const {
    if (locked || respawnCoolDown > 0.0f)
        return false;
    float v[4];
    GetCarVelocity(v);
    return IsOffTerrain() || force || IsFalling(v) || std::fabs(Tilt()) > MaxTilt;
}

// The angle between the vehicle's up axis and the world's.
// The body's down axis is its z axis negated: the rotation's third row, as
// the rotation would carry (0, 0, -1) but for the signs of zero entries,
// which change neither the length nor the tilt.
float CPPlayer::Tilt() const {
    D3DXVECTOR3 turned = -QuaternionZAxis(orientation);
    D3DXVec3Normalize(&turned, &turned);
    const float c = -turned.z;
    return std::fabs(c) < 0.0001f ? 0.0f : std::acos(std::clamp(c, -1.0f, 1.0f));
}

// No terrain triangle lies under the body. A body the physics has not yet
// looked under (before the first step of a race) counts as on the terrain.
bool CPPlayer::IsOffTerrain() const {
    return physicData && physicData->terrainQueried && physicData->candidateCount == 0;
}

// The computer cars, then the camera's car, each when it is not this one.
bool CPPlayer::IsBlocked(const D3DXVECTOR3& candidate) const {
    for (const CPRefPtr<CPPlayer>& other : g_Level->cars) {
        if (other && other.Get() != this && Blocks(*other, candidate))
            return true;
    }
    const CPPlayer* target = g_Level->cameraTarget;
    return target && target != this && Blocks(*target, candidate);
}

bool CPPlayer::Blocks(const CPPlayer& other, const D3DXVECTOR3& candidate) const {
    return Overlap(other.bounds, bounds) || other.bounds.IntersectsSphere(candidate, BlockingRadius);
}

void CPPlayer::StopBody() {
    RbRigidBody* body = physicData->rigidBody;
    body->SetForce(RbVector(), body->GetPosition());
    body->SetTorque(RbVector());
    body->SetAngularMomentum(RbVector());
    body->SetVelocity(RbVector());
}

// Moves the vehicle with its levels of detail and its body, and turns it to
// face along the heading; the camera following it jumps behind it.
void CPPlayer::PlaceAt(const D3DXVECTOR3& point, float heading) {
    if (IsCameraTarget()) {
        if (CPRefPtr<CPCamera> camera = g_Level->GetCamera()) {
            camera->SetHeading(heading);
            camera->Snap();
        }
    }
    SetPosition(point);
    D3DXQUATERNION turn;
    const D3DXVECTOR3 up(0, 0, 1);
    D3DXQuaternionRotationAxis(&turn, &up, heading + std::numbers::pi_v<float> / 2);
    SetOrientation(turn);
    UpdateHierarchy();
}

bool CPPlayer::IsCameraTarget() const {
    return g_Level && g_Level->cameraTarget == this;
}
