// Whole-world outcomes: bodies dropped, stacked, parked on slopes and carried
// by line-sensor springs on terrain served through the terrain query.

#include "Physics/Simulator/RbControllerCallback.h"
#include "RbTestTerrain.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr float Step = 1.0f / 60;

struct Scene {
    explicit Scene(float restitution = 0.0f) : world(RbMakeSceneWorld({}, restitution)) {}

    void Run(int steps) {
        for (int i = 0; i < steps; ++i)
            world->Advance(Step, 1, nullptr);
    }

    RbWorldPtr world;
    RbTestTerrain terrain;
};

// Steps until the body rests; returns the step, or -1. Tracks how far the
// body rises above the lowest point it reached in the ground.
int RunUntilRest(Scene& scene, RbRigidBody* body, int limit, float& rebound) {
    float lowest = 10;
    rebound = 0;
    for (int i = 0; i < limit; ++i) {
        scene.Run(1);
        float z = body->GetPosition().z;
        lowest = std::min(lowest, z);
        if (lowest < 0.5f)
            rebound = std::max(rebound, z - lowest);
        if (body->restState == 1)
            return i;
    }
    return -1;
}

class RbDropScene : public ::testing::TestWithParam<float> {};

TEST_P(RbDropScene, DroppedBoxComesToRestOnTheGround) {
    float dropHeight = GetParam();
    Scene scene;
    scene.terrain.AddQuad({-100, -100, 0}, {100, -100, 0}, {100, 100, 0}, {-100, 100, 0});
    scene.terrain.Install(*scene.world);
    RbRigidBody* box = RbAddBox(*scene.world, {1, 1, 1}, 1, {0.2f, -0.1f, 0.5f + dropHeight});
    float rebound = 0;
    ASSERT_GE(RunUntilRest(scene, box, 300, rebound), 0) << "not at rest after 300 steps";
    float penetration = 0.5f - box->GetPosition().z;
    EXPECT_GT(penetration, 0.0f);
    EXPECT_LE(penetration, 0.05f);
    // A gentle landing does not bounce. A hard one is pushed out of its
    // penetration by the resting rows, which overshoots.
    if (dropHeight <= 0.05f) {
        EXPECT_LE(rebound, 0.001f);
    }
    EXPECT_LT(std::hypot(box->GetPosition().x - 0.2f, box->GetPosition().y + 0.1f), 0.1f);

    RbVector rested = box->GetPosition();
    scene.Run(120);
    EXPECT_EQ(box->restState, 1);
    ExpectVector(box->GetPosition(), rested, 1e-6f);
    box->ApplyImpulse({0, 0, 3}, box->GetPosition());
    scene.Run(1);
    EXPECT_EQ(box->restState, 0);
    EXPECT_GE(RunUntilRest(scene, box, 400, rebound), 0);
}

INSTANTIATE_TEST_SUITE_P(Heights, RbDropScene, ::testing::Values(0.0f, 0.02f, 1.5f));

// The velocity of the body right after the collision impulse of its first
// ground contact, before the resting rows act.
float g_firstContactSpeed = 0;

void RecordFirstContact(RbCollisionInfo* info) {
    if (g_firstContactSpeed == 0)
        g_firstContactSpeed = static_cast<RbRigidBody*>(info->bodyA)->GetVelocity().z;
}

TEST(RbScene, RestitutionHalfReboundsAtHalfTheImpactSpeed) {
    // An upright cylinder touches with the bottom of its round end, right
    // under its centre, so the impulse does not turn it.
    Scene scene(0.5f);
    scene.terrain.AddFloor(20);
    scene.terrain.Install(*scene.world);
    scene.world->GetCollisionTable().Set(0, RbCollisionTable::Terrain, 3);
    scene.world->SetCollisionCallback(&RecordFirstContact);
    RbRigidBody* body = scene.world->CreateRigidBody();
    RbGeometry* cylinder = body->AddGeometry();
    cylinder->SetCylinder(1, 1);
    cylinder->SetTransform(RbAxisRotation({1, 0, 0}, 3.14159265f / 2));
    RbVector inertia = RbCylinderInertiaTensor(1, 1, 1);
    body->SetInertiaTensor(inertia.x, inertia.y, inertia.z);
    body->UpdateBoundingInfo();
    body->SetPosition({0, 0, 2});
    g_firstContactSpeed = 0;
    float impact = 0;
    for (int i = 0; i < 200 && g_firstContactSpeed == 0; ++i) {
        impact = -body->GetVelocity().z;
        scene.Run(1);
    }
    ASSERT_GT(impact, 4.0f);
    EXPECT_NEAR(g_firstContactSpeed / impact, 0.5f, 0.01f);
}

// A box on a plane tilted about the y axis, the box tilted with it.
float SlideOnRamp(float degrees) {
    Scene scene;
    float a = degrees * 3.14159265f / 180;
    RbVector down(std::cos(a), 0, -std::sin(a));
    auto at = [&](float u, float v) { return RbVector(down.x * u, v, down.z * u); };
    scene.terrain.AddQuad(at(-30, -30), at(30, -30), at(30, 30), at(-30, 30));
    scene.terrain.Install(*scene.world);
    RbVector up(std::sin(a), 0, std::cos(a));
    RbRigidBody* box = RbAddBox(*scene.world, {1, 1, 1}, 1, up * 0.5f);
    box->SetRotation({0, std::sin(a / 2), 0, std::cos(a / 2)});
    RbVector start = box->GetPosition();
    scene.Run(140);
    return RbDot(box->GetPosition() - start, down);
}

TEST(RbScene, BoxHoldsOnGentleRamp) {
    // Friction 0.2 holds up to atan 0.2, about 11.3 degrees.
    EXPECT_LT(std::fabs(SlideOnRamp(8)), 0.01f);
}

class RbStackScene : public ::testing::TestWithParam<int> {};

TEST_P(RbStackScene, StackComesToRestAndWakesOnImpulse) {
    int height = GetParam();
    Scene scene;
    scene.terrain.AddFloor(20);
    scene.terrain.Install(*scene.world);
    std::vector<RbRigidBody*> boxes;
    for (int i = 0; i < height; ++i) {
        float offset = 0.02f * ((i * 7) % 3 - 1);
        boxes.push_back(RbAddBox(*scene.world, {1, 1, 1}, 1, {offset, -offset, 0.5f + 1.01f * i}));
    }
    int restStep = -1;
    for (int i = 0; i < 600 && restStep < 0; ++i) {
        scene.Run(1);
        if (std::all_of(boxes.begin(), boxes.end(), [](RbRigidBody* b) { return b->restState == 1; }))
            restStep = i;
    }
    ASSERT_GE(restStep, 0) << "stack of " << height << " not at rest";
    const RbVector top = boxes.back()->GetPosition();
    EXPECT_NEAR(top.z, 0.5f + (height - 1), 0.05f * height);
    EXPECT_LT(std::hypot(top.x, top.y), 0.1f);
    EXPECT_EQ(scene.world->StackHeaders().count, height > 1 ? 1 : 0);
    scene.Run(60);
    EXPECT_LT(RbSafeLength(boxes.back()->GetPosition() - top), 0.01f);

    // Resting bodies wake when they are pushed to a speed of 1: the push on
    // the bottom box is shared by the whole stack.
    boxes.front()->ApplyImpulse({0, 0, 3.0f * height}, boxes.front()->GetPosition());
    scene.Run(3);
    for (RbRigidBody* b : boxes)
        EXPECT_EQ(b->restState, 0);
}

INSTANTIATE_TEST_SUITE_P(Heights, RbStackScene, ::testing::Values(1, 2, 3, 5));

// Four wheel springs: each sensor pushes with k * depth along the ground
// normal and damps the speed along its line.
struct SpringWheels : RbControllerCallback {
    float k = 60000, c = 8000;

    void UpdateController(RbController* controller, float) override {
        RbRigidBody* body = controller->GetBody();
        const RbMatrix4& t = body->transform;
        RbVector force, torque;
        for (RbSensor* s = body->sensors.head; s; s = s->poolNext) {
            if (s->GetDetectDepth() <= 0)
                continue;
            RbVector u = RbRotate(s->GetLineUnitVector(), t);
            RbVector lever = s->GetDetectContactPoint() - body->GetPosition();
            float along = RbDot(body->GetVelocityAtPoint(lever), u);
            RbVector f = s->GetDetectNormal() * (k * s->GetDetectDepth()) - u * (c * along);
            force += f;
            torque += RbCross(lever, f);
        }
        controller->SetControllerForce(force);
        controller->SetControllerTorque(torque);
    }
};

TEST(RbScene, ChassisOnFourSensorSpringsSettlesAtItsStaticDepth) {
    Scene scene;
    scene.terrain.AddFloor(40);
    scene.terrain.Install(*scene.world);
    float mass = 1200;
    RbRigidBody* car = scene.world->CreateRigidBody();
    RbGeometry* chassis = car->AddGeometry();
    chassis->SetBoxSize(2, 4.5f, 1);
    chassis->SetMaterialIndex(1);
    for (float x : {-0.9f, 0.9f})
        for (float y : {-2.0f, 2.0f})
            car->AddSensor()->SetLineSensor({x, y, 0}, {0, 0, -1.2f});
    car->SetMass(mass);
    RbVector inertia = RbBoxInertiaTensor(2, 4.5f, 1, mass);
    car->SetInertiaTensor(inertia.x, inertia.y, inertia.z);
    car->UpdateBoundingInfo();
    car->SetPosition({1, 2, 1.2f});
    SpringWheels wheels;
    car->AddController(&wheels, 0);
    scene.Run(600);
    float expected = mass * 9.8f / (4 * wheels.k);
    for (RbSensor* s = car->sensors.head; s; s = s->poolNext) {
        // The hits of the last step are cleared after integration; the
        // sensor's last contact point still tells where the ground was.
        float depth = car->GetPosition().z - s->GetDetectContactPoint().z;
        EXPECT_NEAR(1.2f - depth, expected, 0.02f * expected);
        EXPECT_NEAR(s->GetDetectNormal().z, 1.0f, 1e-5f);
    }
    EXPECT_LT(std::hypot(car->GetPosition().x - 1, car->GetPosition().y - 2), 0.01f);
}

} // namespace
