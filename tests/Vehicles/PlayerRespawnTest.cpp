#include "VehicleTestSupport.h"

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

D3DXQUATERNION RotationX(float degrees) {
    D3DXQUATERNION q;
    const D3DXVECTOR3 axis(1, 0, 0);
    D3DXQuaternionRotationAxis(&q, &axis, degrees * kPi / 180.0f);
    return q;
}

// Beside the racing line, off the ring's first piece: its start, centre and
// end are the candidate points.
const D3DXVECTOR3 kBeside(262, 6, 1);

struct TriggerCase {
    const char* name;
    std::function<void(CPPlayer&)> prepare;
    bool force;
    bool respawns;
};

TEST_F(VehicleScene, WhatPutsAVehicleBackOnTheTrack) {
    const auto velocity = [](float x, float y, float z) {
        return [=](CPPlayer& v) { v.GetCar()->velocity = RbVector(x, y, z); };
    };
    const auto tilted = [](float degrees) {
        return [=](CPPlayer& v) { v.SetOrientation(RotationX(degrees)); };
    };
    const auto nothing = [](CPPlayer&) {};
    const TriggerCase cases[] = {
        {"standing on the terrain", nothing, false, false},
        {"falling straight down", velocity(0, 0, -6), false, true},
        {"dropping while driving on", velocity(5, 0, -6), false, false},
        {"falling too slowly", velocity(0, 0, -4.9f), false, false},
        {"tilted 71 degrees", tilted(71), false, true},
        {"tilted 69 degrees", tilted(69), false, false},
        {"lying exactly on its side", tilted(90), false, false},
        {"upside down", tilted(180), false, true},
        {"off the terrain", [](CPPlayer& v) { v.physicData->candidateCount = 0; }, false, true},
        {"not yet stepped by the physics",
         [](CPPlayer& v) {
             v.physicData->candidateCount = 0;
             v.physicData->terrainQueried = false;
         },
         false, false},
        {"forced", nothing, true, true},
        {"forced during the cool-down", [](CPPlayer& v) { v.respawnCoolDown = 0.01f; }, true, false},
        {"forced right after the cool-down", [](CPPlayer& v) { v.respawnCoolDown = 0; }, true, true},
        {"forced while locked", [](CPPlayer& v) { v.Lock(true); }, true, false},
    };
    for (const TriggerCase& c : cases) {
        SCOPED_TRACE(c.name);
        CPPlayer& vehicle = AddVehicle(kBeside);
        c.prepare(vehicle);
        vehicle.Respawn(c.force);
        EXPECT_EQ(vehicle.respawnCoolDown == CPPlayer::RespawnCoolDown, c.respawns);
        const D3DXVECTOR3 moved = vehicle.GetPosition() - kBeside;
        EXPECT_EQ(D3DXVec3Length(&moved) > 1.0f, c.respawns);
        vehicles.clear();
    }
}

enum Candidate { kStart, kCentre, kEnd };

struct PlacementCase {
    const char* name;
    // Blocking cars: the level's computer cars, and the camera's car when
    // not this one.
    std::vector<D3DXVECTOR3> computerCars;
    bool cameraCar;
    D3DXVECTOR3 cameraCarPosition;
    bool reverse;
    Candidate expected;
};

// Each blocker reaches within 5 of one candidate point of the first piece
// (start (250, 0), centre (249.8, 6.7), end (249.6, 13.3)) and no other.
const D3DXVECTOR3 kAtStart(250, -3, 1), kAtCentre(244, 6.68f, 1), kAtEnd(250, 17, 1);
// Overlapping the respawning vehicle's own box.
const D3DXVECTOR3 kOverlapping(262.5f, 7, 1);

TEST_F(VehicleScene, WhereARespawnedVehicleIsPut) {
    const PlacementCase cases[] = {
        {"every point free", {}, false, {}, false, kStart},
        {"the start taken by a computer car", {kAtStart}, false, {}, false, kCentre},
        {"the start and the centre taken", {kAtStart}, true, kAtCentre, false, kEnd},
        {"every point taken", {kAtStart, kAtEnd}, true, kAtCentre, false, kEnd},
        {"the centre alone taken by the camera's car", {}, true, kAtCentre, false, kStart},
        {"its own box overlapping another car's", {kOverlapping}, false, {}, false, kEnd},
        {"the race run in reverse", {}, false, {}, true, kStart},
    };
    const CPLine& first = *path.firstLine;
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        level.reverse = c.reverse;
        CPPlayer& vehicle = AddVehicle(kBeside);
        vehicle.GetCar()->velocity = RbVector(3, 4, 5);
        for (const D3DXVECTOR3& position : c.computerCars)
            level.cars.push_back(&AddVehicle(position));
        if (c.cameraCar)
            level.cameraTarget = &AddVehicle(c.cameraCarPosition);
        RbRigidBody& body = *vehicle.physicData->rigidBody;
        body.SetVelocity({1, 2, 3});
        body.SetAngularMomentum({4, 5, 6});

        vehicle.Respawn(true);

        const D3DXVECTOR3 points[] = {first.start, first.centre, first.end};
        const D3DXVECTOR3 expected = points[c.expected] + D3DXVECTOR3(0, 0, 2);
        ExpectNear(vehicle.GetPosition(), expected);
        ExpectNear(ToD3D(body.GetPosition()), expected);
        ExpectNear(ToD3D(body.GetVelocity()), {0, 0, 0});
        ExpectNear(ToD3D(body.GetAngularMomentum()), {0, 0, 0});
        // Facing along the nearest piece's heading, upright.
        const float heading = NearestPiece(expected).angle + (c.reverse ? kPi : 0.0f);
        const D3DXMATRIX& world = vehicle.GetWorldMatrix();
        EXPECT_NEAR(-world._21, std::cos(heading), 1e-5f);
        EXPECT_NEAR(-world._22, std::sin(heading), 1e-5f);
        EXPECT_NEAR(world._33, 1, 1e-5f);
        const RbVector rotation = body.GetRotation();
        const D3DXQUATERNION& orientation = vehicle.GetOrientation();
        EXPECT_NEAR(std::fabs(rotation.x * orientation.x + rotation.y * orientation.y +
                              rotation.z * orientation.z + rotation.w * orientation.w),
                    1, 1e-5f);

        level.cars.clear();
        level.cameraTarget = nullptr;
        vehicles.clear();
    }
}

TEST_F(VehicleScene, OnlyTheCamerasCarTurnsTheCameraAndFadesTheScreen) {
    CPPlayer& followed = AddVehicle(kBeside);
    CPPlayer& other = AddVehicle({-262, 6, 1});
    level.cameraTarget = &followed;
    camera.SetHeading(0.25f);
    g_FrameTime = 0;

    other.Respawn(true);
    camera.Update();
    EXPECT_FLOAT_EQ(camera.heading, 0.25f);
    EXPECT_FLOAT_EQ(camera.smoothHeading, 0.0f) << "no frame time: no easing without a snap";
    EXPECT_FALSE(other.fadeOut);

    followed.Respawn(true);
    const float heading = NearestPiece(followed.GetPosition()).angle;
    EXPECT_FLOAT_EQ(camera.heading, heading);
    camera.Update();
    EXPECT_FLOAT_EQ(camera.smoothHeading, heading) << "snapped behind the car";
    EXPECT_TRUE(followed.fadeOut);
    EXPECT_FALSE(followed.fadeIn);
    EXPECT_FLOAT_EQ(followed.fadeTime, 0);
}

TEST_F(VehicleScene, AnImpulseMovesTheCarsBody) {
    CPPlayer& vehicle = AddVehicle({0, 0, 1});
    vehicle.ApplyImpulse({0, 0, 1}, {0, 30, 0});
    ExpectNear(ToD3D(vehicle.physicData->rigidBody->GetVelocity()), {0, 1, 0});
}

// A level without its racing line, or a vehicle without a body, leaves the
// vehicle where it is, ready to try again.
TEST_F(VehicleScene, WithoutRacingLineOrBodyNothingMoves) {
    CPPlayer& vehicle = AddVehicle(kBeside);
    level.centrePath = nullptr;
    vehicle.Respawn(true);
    ExpectNear(vehicle.GetPosition(), kBeside);
    EXPECT_FLOAT_EQ(vehicle.respawnCoolDown, 0);

    level.centrePath = &path;
    CPPlayer bodiless;
    bodiless.SetPosition(kBeside);
    bodiless.Respawn(true);
    ExpectNear(bodiless.GetPosition(), kBeside);
    EXPECT_FLOAT_EQ(bodiless.respawnCoolDown, 0);
}

TEST(PlayerRespawnTest, WithoutALevelNothingMoves) {
    ASSERT_EQ(g_Level, nullptr);
    CPPlayer vehicle;
    vehicle.SetPosition({5, 5, 5});
    vehicle.Respawn(true);
    ExpectNear(vehicle.GetPosition(), {5, 5, 5});
}

} // namespace
