#include "Vehicles/AI_Vehicle.h"

#include "Core/CallRecorder.h"
#include "Game/PLevel.h"
#include "Game/PSpline.h"
#include "Game/RayQuery.h"
#include "Vehicles/AI_Task.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
// Half-size of the square searched for the nearest piece.
constexpr float kSearchRadius = 100.0f;
// Above this speed the driver brakes for bends and sharp steering.
constexpr float kBrakeSpeed = 10.0f;
constexpr float kBendLimit = 0.7f;
constexpr int kFirstBendPiece = 8;
constexpr int kLastBendPiece = 11;
constexpr float kLineCorrection = 0.02f;
constexpr float kAvoidRayLength = 20.0f;
constexpr float kAvoidCorrection = 0.2625f;
constexpr float kMaxSteer = 0.7f;
constexpr float kSharpSteer = 0.6f;
constexpr float kDeadZone = 0.02f;
constexpr int kPlayerSearchBehind = 100;
constexpr int kPlayerSearchAhead = 50;
constexpr float kSlowFactor = 0.2f;
constexpr float kCatchUpFactor = 1.2f;
constexpr float kStuckCheckTime = 1.5f;
constexpr float kReverseTime = 2.0f;
// What reaches the car of the decided throttle.
constexpr float kThrottleScale = 0.95f;

bool LevelReversed() {
    return g_Level && g_Level->reverse;
}

// The next piece in the race direction (along prev), or against it.
CPLine* Ahead(CPLine* piece, bool reversed) {
    return reversed ? piece->next : piece->prev;
}

CPLine* Behind(CPLine* piece, bool reversed) {
    return reversed ? piece->prev : piece->next;
}

// Steps from `from` (0 included) until `target` is met; -1 when it is not
// met within `limit` steps.
template <class Advance>
int StepsTo(CPLine* from, const CPLine* target, int limit, Advance advance) {
    CPLine* piece = from;
    for (int i = 0; i <= limit && piece; ++i, piece = advance(piece)) {
        if (piece == target)
            return i;
    }
    return -1;
}

} // namespace

void AI_Vehicle::SetCarState(const CPRefPtr<CPPlayer>& car, const D3DXVECTOR3& carHeading, float carSpeed,
                             int thresholdA, int thresholdB) {
    vehicle = car;
    if (car)
        position = car->GetPosition();
    D3DXVECTOR3 flat(carHeading.x, carHeading.y, 0);
    D3DXVec3Normalize(&heading, &flat);
    speed = std::fabs(carSpeed);
    paceA = thresholdA;
    paceB = thresholdB;
    if (LevelReversed())
        reverseRoute = true;
}

void AI_Vehicle::SetPath(int pathIndex, CPLine* sample) {
    if (pathIndex < 0 || pathIndex >= kPathCount)
        return;
    RecordCall("AI_Vehicle::SetPath " + std::to_string(pathIndex));
    edgeSamples[pathIndex] = sample;
    if (pathIndex == 0)
        currentSample = sample;
    mainPath = g_Level ? g_Level->GetSpline().Get() : nullptr;
}

void AI_Vehicle::ForgetPaths() {
    currentSample = nullptr;
    mainPath = nullptr;
    for (CPLine*& sample : edgeSamples)
        sample = nullptr;
}

void AI_Vehicle::ReleaseCar() {
    RecordCall("AI_Vehicle::ReleaseCar");
    vehicle = nullptr;
}

void AI_Vehicle::Step(float dt) {
    if (!vehicle || vehicle->locked || !mainPath || !currentSample)
        return;
    bool nitro = true;
    drivingTime += dt;
    if (drivingTime > kStartTime)
        Decide(dt, nitro);
    vehicle->SetNitro(nitro ? 1.0f : 0.0f);
    vehicle->SetControls(throttle * kThrottleScale, steering);
}

void AI_Vehicle::Decide(float dt, bool& nitro) {
    const int lead = std::max(1, static_cast<int>(throttle));
    float side = kSearchRadius;
    float target = mainPath->FindClosestLine(position, side, reverseRoute ? -lead : lead, currentSample);
    if (reverseRoute) {
        side = -side;
        target -= kPi;
    }
    float steer = SignedAngleTo(target);
    const bool bend = speed > kBrakeSpeed && BendAhead(steer);
    throttle = 1.0f;
    steer += side * speed * dt * kLineCorrection;
    steer += Avoidance(side, dt);
    steer = std::clamp(steer, -kMaxSteer, kMaxSteer);
    const bool sharp = std::fabs(steer) >= kSharpSteer && speed > kBrakeSpeed;
    // A bend ahead keeps the brake on even when the steering is gentle.
    vehicle->SetBrake(bend || sharp);
    if (bend || sharp)
        nitro = false;
    steering = std::fabs(steer) > kDeadZone ? std::fabs(steer) * steer / kMaxSteer : 0.0f;
    RubberBand(nitro);
    CheckStuck(dt);
    // Nitro pushes forward: a driver backing out of a wall goes without it,
    // or a refilled reserve would hold it there.
    if (reversing)
        nitro = false;
}

float AI_Vehicle::SignedAngleTo(float t) const {
    const D3DXVECTOR3 direction(std::cos(t), std::sin(t), 0);
    const float angle = std::acos(std::clamp(D3DXVec3Dot(&direction, &heading), -1.0f, 1.0f));
    return direction.x * heading.y - direction.y * heading.x < 0 ? -angle : angle;
}

bool AI_Vehicle::BendAhead(float steer) const {
    const bool reversed = LevelReversed();
    CPLine* piece = currentSample;
    for (int i = 1; i <= kLastBendPiece && piece; ++i) {
        piece = Ahead(piece, reversed);
        if (!piece || i < kFirstBendPiece)
            continue;
        const float angle = SignedAngleTo(reversed ? piece->angle - kPi : piece->angle);
        if (std::fabs(angle - steer) > kBendLimit)
            return true;
    }
    return false;
}

float AI_Vehicle::Avoidance(float side, float dt) const {
    RayQuery query;
    query.origin = position;
    query.direction = heading;
    query.length = kAvoidRayLength;
    float swerve = 0.0f;
    const auto test = [&](CPPlayer* other) {
        if (other && other != vehicle.Get() && other->RayTest(query))
            swerve += side * speed * dt * kAvoidCorrection;
    };
    if (g_AITask) {
        for (const std::unique_ptr<AI_Vehicle>& driver : g_AITask->mainDrivers) {
            if (driver.get() != this)
                test(driver->vehicle.Get());
        }
    }
    if (g_Level)
        test(g_Level->player.Get());
    return swerve;
}

void AI_Vehicle::RubberBand(bool& nitro) {
    const CPLine* playerPiece = g_Level ? g_Level->playerLine : nullptr;
    if (!playerPiece)
        return;
    const bool reversed = LevelReversed();
    const int behind = StepsTo(currentSample, playerPiece, kPlayerSearchBehind,
                               [reversed](CPLine* piece) { return Behind(piece, reversed); });
    const int ahead = StepsTo(currentSample, playerPiece, kPlayerSearchAhead,
                              [reversed](CPLine* piece) { return Ahead(piece, reversed); });
    // On a short ring both searches find the player; the nearer way counts.
    if (ahead >= 0 && (behind < 0 || ahead < behind)) {
        if (ahead < paceA)
            throttle *= kCatchUpFactor;
    } else if (behind > paceB) {
        throttle *= kSlowFactor;
        nitro = false;
    } else if (behind > paceA) {
        nitro = false;
    }
}

void AI_Vehicle::CheckStuck(float dt) {
    stuckTimer += dt;
    if (stuckTimer > kStuckCheckTime && !reversing) {
        const D3DXVECTOR3 moved = position - checkPosition;
        if (D3DXVec3LengthSq(&moved) < 1.0f) {
            reversing = true;
            reverseTimer = 0.0f;
        }
        checkPosition = position;
        stuckTimer = 0.0f;
    }
    if (!reversing)
        return;
    reverseTimer += dt;
    if (throttle > 0.0f)
        throttle = -throttle;
    steering = -steering;
    if (reverseTimer > kReverseTime)
        reversing = false;
}
