#include "Physics/Simulator/RbSolver.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

namespace {

class RbSolver : public ::testing::Test {
protected:
    RbSolver() {
        RbVector gravity(0, 0, -9.8f);
        world.reset(RbSimulator::Create({}, nullptr, &gravity));
        body = world->CreateRigidBody();
        body->SetGravityEnabled(false);
        world->Advance(1.0f / 60, 1, nullptr); // sets the world inverse inertia and the step time
    }

    // A unit-mass body touched at its centre by an animated floor: K = 1.
    RbCollisionResult Row(const RbVector& contactVelocity, float friction, float restitution) {
        world->SetMaterial(0, friction, restitution);
        world->SetMaterial(1, 0.9f, 0.9f);
        RbCollisionResult row;
        row.bodyA = body;
        row.bodyB = world->CreateAnimatedBody();
        row.materialA = 1;
        row.normal = {0, 0, 1};
        row.Prepare(false, false);
        body->velocity = row.tangent1 * contactVelocity.x + row.tangent2 * contactVelocity.y +
                         row.normal * contactVelocity.z;
        return row;
    }

    RbWorldPtr world;
    RbRigidBody* body = nullptr;
};

TEST_F(RbSolver, CollisionImpulses) {
    struct Case {
        RbVector frameVelocity;
        float friction, restitution;
        RbVector impulse, after;
    };
    const Case cases[] = {
        // Slides: the impulse lies on the friction cone.
        {{2, 0, -1}, 0.2f, 0.4f, {-0.28f, 0, 1.4f}, {1.72f, 0, 0.4f}},
        // Sticks: the contact stops.
        {{0.1f, 0, -1}, 0.5f, 0, {-0.1f, 0, 1}, {0, 0, 0}},
        // No friction: only the normal part, with restitution.
        {{1, 0.5f, -2}, 0, 0.5f, {0, 0, 3}, {1, 0.5f, 1}},
        // Separating: nothing.
        {{1, 0, 0.5f}, 0.5f, 0.5f, {0, 0, 0}, {1, 0, 0.5f}},
    };
    for (const Case& c : cases) {
        RbCollisionResult row = Row(c.frameVelocity, c.friction, c.restitution);
        RbUpdateRowVelocity(row);
        ExpectVector(row.frameVelocity, c.frameVelocity);
        if (c.frameVelocity.z < 0)
            ExpectVector(RbContactImpulse(*world, row, false), c.impulse);
        RbResolveCollision(*world, row.bodyA, row.bodyB, row, RB_SOLVE_COLLISION, 1.0f);
        RbUpdateRowVelocity(row);
        ExpectVector(row.frameVelocity, c.after);
    }
}

TEST_F(RbSolver, SlidingImpulseKeepsToTheFrictionCone) {
    RbCollisionResult row = Row({5, 3, -0.2f}, 0.3f, 0);
    RbUpdateRowVelocity(row);
    RbVector p = RbContactImpulse(*world, row, false);
    EXPECT_NEAR(std::hypot(p.x, p.y), 0.3f * p.z, 1e-5f);
}

TEST_F(RbSolver, RestingRowCorrections) {
    struct Case {
        float depth, normalSpeed;
        bool positionPass;
        float clampedDepth, result, after;
    };
    const Case cases[] = {
        // Stops the approach, then pushes out: h = 0.0202, c = 0.606.
        {0.03f, -0.5f, true, 0.03f, 0.606f, 0.606f},
        // Clamped to 0.05: c = 0.5 * (0.05 - 0.0098) * 60 = 1.206.
        {0.3f, 0, true, 0.05f, 1.206f, 1.206f},
        // Below the allowed penetration: no push.
        {0.005f, -0.5f, true, 0.005f, 0, 0},
        // Velocity pass: restitution (0.5) and no push.
        {0.03f, -0.5f, false, 0.03f, 0, 0.25f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        RbCollisionResult row = Row({0, 0, c.normalSpeed}, 0.5f, 0.5f);
        row.kind = RB_ROW_RESTING;
        row.depth = c.depth;
        // Row iterations leave the position pass on; with nothing to solve
        // they switch it off.
        if (c.positionPass) {
            RbCollisionResult other = row;
            other.bodyA = other.bodyB = nullptr;
            world->AddRestingRow(other);
        }
        world->SolveRows(1);
        ASSERT_EQ(world->NoRestitution(), c.positionPass);
        RbUpdateRowVelocity(row);
        float result = RbSolveRestingRow(*world, row);
        EXPECT_NEAR(row.depth, c.clampedDepth, 1e-6f);
        EXPECT_NEAR(result, c.result, 1e-4f);
        RbUpdateRowVelocity(row);
        EXPECT_NEAR(row.frameVelocity.z, c.after, 1e-4f);
    }
}

} // namespace
