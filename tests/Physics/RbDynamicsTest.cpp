#include "Physics/Simulator/RbControllerCallback.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

namespace {

constexpr float Dt = 1.0f / 60;

class RbDynamics : public ::testing::Test {
protected:
    RbDynamics() : gravity(0, 0, -9.8f), world(MakeWorld({}, &gravity)) {}
    RbVector gravity;
    RbWorldPtr world;
};

TEST_F(RbDynamics, GravityStartsActingInTheSecondStep) {
    RbRigidBody* body = world->CreateRigidBody();
    body->SetPosition({0, 0, 10});
    world->Advance(Dt, 1, nullptr);
    ExpectVector(body->GetVelocity(), {0, 0, 0});
    ExpectVector(body->GetPosition(), {0, 0, 10});
    world->Advance(Dt, 1, nullptr);
    EXPECT_FLOAT_EQ(body->GetVelocity().z, -9.8f * Dt);
    EXPECT_NEAR(body->GetPosition().z, 10 - (9.8f * Dt * Dt + 0.5f * 9.8f * Dt * Dt), 1e-6f);
}

TEST_F(RbDynamics, WithoutForcesTheVelocityStaysAndTheBodyMovesEvenly) {
    RbRigidBody* body = world->CreateRigidBody();
    body->SetGravityEnabled(false);
    body->SetVelocity({3, -1, 0.5f});
    for (int step = 1; step <= 120; ++step) {
        RbVector before = body->GetPosition();
        world->Advance(Dt, 1, nullptr);
        ExpectVector(body->GetVelocity(), {3, -1, 0.5f}, 0);
        ExpectVector(body->GetPosition() - before, RbVector(3, -1, 0.5f) * Dt, 1e-5f);
    }
    ExpectVector(body->GetPosition(), RbVector(3, -1, 0.5f) * 2.0f, 1e-3f);
}

TEST_F(RbDynamics, SmoothedDisplacementFollowsTheSteps) {
    RbRigidBody* body = world->CreateRigidBody();
    body->SetGravityEnabled(false);
    body->SetVelocity({6, 0, 0});
    world->Advance(Dt, 1, nullptr);
    EXPECT_NEAR(body->smoothedDisplacement.x, 0.3f * 0.1f, 1e-6f);
    world->Advance(Dt, 1, nullptr);
    EXPECT_NEAR(body->smoothedDisplacement.x, 0.51f * 0.1f, 1e-6f);
}

// Without torque the angular momentum stays put while the body tumbles
// about all three axes, and its orientation stays a unit quaternion.
TEST_F(RbDynamics, TorqueFreeSpinKeepsItsAngularMomentum) {
    RbRigidBody* body = world->CreateRigidBody();
    body->SetGravityEnabled(false);
    body->SetInertiaTensor(1, 2, 3);
    body->SetRotation(RbNormaliseQuaternion({0.3f, 0.1f, -0.2f, 0.9f}));
    world->Advance(Dt, 1, nullptr); // the world inverse inertia exists from here on
    RbVector momentum(0.4f, 2.0f, 0.3f);
    body->SetAngularMomentum(momentum);
    RbVector startOrientation = body->GetRotation();
    for (int step = 0; step < 600; ++step) {
        world->Advance(Dt, 1, nullptr);
        ExpectVector(body->GetAngularMomentum(), momentum, 1e-5f);
    }
    const RbVector& q = body->GetRotation();
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-5f);
    EXPECT_GT(RbLengthSquared(q - startOrientation), 0.01f);
    ExpectVector(body->angularVelocity, RbRotate(momentum, body->inverseWorldInertia), 1e-5f);
}

TEST_F(RbDynamics, AngularMomentumOfANewBodyGivesNoSpinYet) {
    RbRigidBody* body = world->CreateRigidBody();
    body->SetAngularMomentum({1, 2, 3});
    ExpectVector(body->angularVelocity, {0, 0, 0}, 0);
}

struct CountingController : RbControllerCallback {
    std::vector<int> calls;
    int run = 0;
    void UpdateController(RbController* controller, float timeStep) override {
        calls.push_back(run);
        EXPECT_FLOAT_EQ(timeStep, Dt);
        controller->SetControllerForce({0, 0, 9.8f});
    }
};

TEST_F(RbDynamics, ControllerOfPeriodTwoRunsEveryThirdStep) {
    RbRigidBody* body = world->CreateRigidBody();
    CountingController callback;
    RbController* controller = body->AddController(&callback, 2);
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(controller->GetBody(), body);
    for (callback.run = 1; callback.run <= 9; ++callback.run)
        world->Advance(Dt, 1, nullptr);
    EXPECT_EQ(callback.calls, (std::vector<int>{3, 6, 9}));
    // The controller's lift holds the body against gravity from the step after its first call.
    EXPECT_NEAR(body->GetVelocity().z, -9.8f * Dt * 2, 1e-5f);
}

TEST_F(RbDynamics, WakingRules) {
    RbRigidBody* body = world->CreateRigidBody();
    body->PutToRest();
    body->SetForce({1e-7f, 0, 0}, {0, 0, 0});
    body->SetTorque({0, -1e-7f, 0});
    EXPECT_EQ(body->restState, 1);
    body->SetForce({0, 0, 2e-6f}, {1, 0, 0});
    EXPECT_EQ(body->restState, 0);
    ExpectVector(body->externalTorque, {0, -2e-6f, 0}, 1e-12f);

    body->PutToRest();
    body->ApplyImpulse({0, 0, 1}, {0, 0, 0});
    EXPECT_EQ(body->restState, 0);
    body->PutToRest();
    body->ApplyImpulseAt({0, 0, 1}, {0, 0, 0});
    EXPECT_EQ(body->restState, 1);
    EXPECT_FLOAT_EQ(body->GetVelocity().z, 1.0f);
}

TEST_F(RbDynamics, DegenerateMassAndRotationStayFinite) {
    RbRigidBody* body = world->CreateRigidBody();
    body->SetMass(0);
    body->SetRotation({0, 0, 0, 0});
    EXPECT_EQ(body->GetRotation().w, 1.0f);
    body->SetInertiaTensor(0, 0, 0);
    body->ApplyImpulse({1, 1, 1}, {1, 0, 0});
    for (int step = 0; step < 10; ++step)
        world->Advance(Dt, 1, nullptr);
    EXPECT_TRUE(RbIsFinite(body->GetPosition()));
    EXPECT_TRUE(RbIsFinite(body->GetVelocity()));
    EXPECT_TRUE(RbIsFinite(body->GetRotation()));
    EXPECT_EQ(body->inverseMass, 0.0f);
}

TEST_F(RbDynamics, GetTransformHasTheHomogeneousColumn) {
    RbRigidBody* body = world->CreateRigidBody();
    body->SetPosition({1, 2, 3});
    body->SetRotation({0, 0, std::sin(0.5f), std::cos(0.5f)});
    RbMatrix4 m = body->GetTransform();
    EXPECT_EQ(m.row[0].w, 0.0f);
    EXPECT_EQ(m.row[3].w, 1.0f);
    ExpectVector(m.row[3], {1, 2, 3}, 0);
    ExpectVector(m.row[0], {std::cos(1.0f), std::sin(1.0f), 0});
}

TEST_F(RbDynamics, RestRecordsReplaceNearOrWeakestPoints) {
    RbRigidBody* body = world->CreateRigidBody();
    RbRigidBody* support = world->CreateRigidBody();
    RbAnimatedBody* ground = world->CreateAnimatedBody();
    auto record = [&](const RbVector& point, float value, RbBody* on) {
        RbRestRecord t;
        t.localPoint = point;
        t.restValue = value;
        t.support = on;
        body->AddRestRecord(t);
    };
    RbRestRecord* slots = body->restBlock.records;
    auto slotAt = [&](float x, float y) {
        for (int i = 0; i < 3; ++i)
            if (slots[i].state != 0 && slots[i].localPoint.x == x && slots[i].localPoint.y == y)
                return i;
        return -1;
    };
    record({0, 0, 0}, 0.3f, support);
    record({1, 0, 0}, 0.1f, support);
    record({0, 1, 0}, 0.2f, ground);
    EXPECT_EQ(slotAt(0, 0), 2); // the last free slot is filled first
    EXPECT_EQ(slotAt(1, 0), 1);
    EXPECT_EQ(slots[slotAt(0, 1)].state, 2);
    EXPECT_EQ(slots[slotAt(0, 0)].state, 1);
    EXPECT_EQ(support->supportedRecords.count, 2);

    record({1.04f, 0, 0}, 0.5f, ground); // within 0.05 of (1, 0, 0): replaces it
    EXPECT_EQ(slotAt(1.04f, 0), 1);
    EXPECT_EQ(slots[1].support, ground);
    EXPECT_EQ(support->supportedRecords.count, 1);

    record({0.06f, 0, 0}, 0.4f, support); // 0.06 away, all used: replaces the weakest, (0, 1, 0)
    EXPECT_EQ(slotAt(0, 1), -1);
    EXPECT_EQ(slotAt(0.06f, 0), 0);
    EXPECT_EQ(slotAt(0, 0), 2);
    EXPECT_EQ(ground->supportedRecords.count, 1);

    // Freeing a support drops the records resting on it.
    world->FreeBody(support);
    EXPECT_EQ(slots[0].state, 0);
    EXPECT_EQ(slots[2].state, 0);
    EXPECT_EQ(slots[1].state, 2);
}

} // namespace
