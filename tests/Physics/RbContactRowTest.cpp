#include "Physics/Simulator/RbCollisionResult.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

namespace {

TEST(RbContactRow, FrameFromNormal) {
    RbVector t1, t2;
    RbFrameFromNormal({0, 0, 1}, t1, t2);
    ExpectVector(t1, {0.7071f, 0.7071f, 0});
    ExpectVector(t2, {-0.7071f, 0.7071f, 0});

    float third = 1.0f / std::sqrt(3.0f);
    float half = 1.0f / std::sqrt(2.0f);
    const RbVector normals[] = {{1, 0, 0},
                                {0, 1, 0},
                                {0.6f, 0, 0.8f},
                                {half, half, 0},
                                {third, third, third},
                                {-0.3f, 0.9f, -0.3162f}};
    for (const RbVector& n : normals) {
        RbFrameFromNormal(n, t1, t2);
        EXPECT_NEAR(RbSafeLength(t1), 1.0f, 1e-5f);
        EXPECT_NEAR(RbDot(t1, n), 0.0f, 1e-5f);
        ExpectVector(RbCross(t1, t2), n, 1e-4f); // right-handed
    }
    // |nx| = |ny| > |nz| takes the third branch: t = (1, -(nx + nz) / ny, 1).
    RbFrameFromNormal({half, half, 0}, t1, t2);
    ExpectVector(t1, RbSafeNormalise({1, -1, 1}));
    // All equal: the last branch, t = (1, 1, -(nx + ny) / nz).
    RbFrameFromNormal({third, third, third}, t1, t2);
    ExpectVector(t1, RbSafeNormalise({1, 1, -2}));

    RbFrameFromNormal({0, 0, 0}, t1, t2);
    EXPECT_EQ(RbLengthSquared(t1), 0.0f);
    EXPECT_EQ(RbLengthSquared(t2), 0.0f);
}

class RbContactRowWorld : public ::testing::Test {
protected:
    RbContactRowWorld() : world(MakeWorld()) {}

    // A rigid body that has been integrated once, so that its world inverse
    // inertia is set.
    RbRigidBody* Body(float mass, const RbVector& inertia, const RbVector& rotation) {
        RbRigidBody* body = world->CreateRigidBody();
        body->SetMass(mass);
        body->SetInertiaTensor(inertia.x, inertia.y, inertia.z);
        body->SetRotation(rotation);
        body->SetGravityEnabled(false);
        world->Advance(1.0f / 60, 1, nullptr);
        return body;
    }

    RbWorldPtr world;
};

TEST_F(RbContactRowWorld, UnitBodyAtItsCentreHasTheIdentityMatrix) {
    RbCollisionResult row;
    row.bodyA = Body(1, {1, 1, 1}, {0, 0, 0, 1});
    row.bodyB = world->CreateAnimatedBody();
    row.normal = {0, 0, 1};
    row.Prepare(false, false);
    for (int i = 0; i < 3; ++i)
        ExpectVector(row.collisionMatrix.row[i], RbMatrix3().row[i]);
    for (int i = 0; i < 3; ++i)
        ExpectVector(row.inverseCollisionMatrix.row[i], RbMatrix3().row[i]);
}

// K maps an impulse +J on A and -J on B at the contact to the change of the
// relative velocity of the contact points, in the contact frame.
TEST_F(RbContactRowWorld, CollisionMatrixPredictsTheVelocityChange) {
    RbRigidBody* a = Body(2, {0.5f, 1, 2}, RbNormaliseQuaternion({0.2f, -0.4f, 0.1f, 0.9f}));
    RbRigidBody* b = Body(3, {1, 0.7f, 0.4f}, RbNormaliseQuaternion({-0.5f, 0.1f, 0.3f, 0.6f}));
    RbCollisionResult row;
    row.bodyA = a;
    row.bodyB = b;
    row.pointA = {0.3f, -0.2f, 0.5f};
    row.pointB = {-0.4f, 0.6f, 0.1f};
    row.normal = RbSafeNormalise({0.2f, 0.3f, 0.9f});
    row.Prepare(false, false);

    auto relative = [&] { return a->GetVelocityAtPoint(row.pointA) - b->GetVelocityAtPoint(row.pointB); };
    RbVector frameImpulse(0.3f, -0.7f, 1.1f);
    RbVector impulse =
        row.tangent1 * frameImpulse.x + row.tangent2 * frameImpulse.y + row.normal * frameImpulse.z;
    RbVector before = relative();
    a->ApplyImpulseAt(impulse, row.pointA);
    b->ApplyImpulseAt(-impulse, row.pointB);
    RbVector change = relative() - before;
    RbVector frameChange(RbDot(change, row.tangent1), RbDot(change, row.tangent2), RbDot(change, row.normal));
    ExpectVector(RbRotate(frameImpulse, RbTranspose(row.collisionMatrix)), frameChange, 1e-4f);

    // The inverse undoes K.
    RbMatrix3 product = RbMultiply(row.collisionMatrix, row.inverseCollisionMatrix);
    for (int i = 0; i < 3; ++i)
        ExpectVector(product.row[i], RbMatrix3().row[i], 1e-4f);

    // Excluding B gives the matrix of a row against an immovable body.
    RbCollisionResult excluded = row;
    excluded.Prepare(false, true);
    RbCollisionResult animated = row;
    animated.bodyB = world->CreateAnimatedBody();
    animated.Prepare(false, false);
    for (int i = 0; i < 3; ++i)
        ExpectVector(excluded.collisionMatrix.row[i], animated.collisionMatrix.row[i], 0);
}

TEST_F(RbContactRowWorld, SingularMatrixHasAZeroInverse) {
    RbCollisionResult row;
    row.bodyA = world->CreateAnimatedBody();
    row.bodyB = world->CreateAnimatedBody();
    row.normal = {0, 0, 1};
    row.inverseCollisionMatrix = RbMatrix3();
    row.Prepare(false, false);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(RbLengthSquared(row.inverseCollisionMatrix.row[i]), 0.0f);
}

TEST_F(RbContactRowWorld, ValidateSkipsRestingPairsAndDropsRestingSides) {
    RbRigidBody* resting = world->CreateRigidBody();
    RbRigidBody* restingToo = world->CreateRigidBody();
    RbRigidBody* awake = world->CreateRigidBody();
    resting->PutToRest();
    restingToo->PutToRest();
    RbAnimatedBody* ground = world->CreateAnimatedBody();

    struct Case {
        RbBody* a;
        RbBody* b;
        float speed;
        bool skip;
        bool keepsA;
        bool keepsB;
    } cases[] = {
        {resting, awake, 1.5f, false, true, true},     {resting, awake, 0.5f, false, false, true},
        {resting, restingToo, 0.5f, true, true, true}, {resting, ground, 0.5f, true, true, true},
        {awake, resting, 0.5f, false, true, false},    {awake, ground, 0.5f, false, true, true},
        {ground, resting, 0.5f, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        RbCollisionResult row;
        row.bodyA = c.a;
        row.bodyB = c.b;
        row.relativeSpeed = c.speed;
        EXPECT_EQ(row.Validate(), c.skip);
        EXPECT_EQ(row.bodyA == c.a, c.keepsA);
        EXPECT_EQ(row.bodyB == c.b, c.keepsB);
    }
}

TEST_F(RbContactRowWorld, RestingRowsGrowByOneHundred) {
    EXPECT_EQ(world->RestingRows().Capacity(), 100u);
    for (int i = 0; i < 101; ++i) {
        RbCollisionResult row;
        row.depth = static_cast<float>(i);
        ASSERT_TRUE(world->AddRestingRow(row));
    }
    EXPECT_EQ(world->RestingRows().Capacity(), 200u);
    EXPECT_EQ(world->RestingRows().Count(), 101u);
    for (int i = 0; i < 101; ++i)
        EXPECT_EQ(world->RestingRows()[i].depth, static_cast<float>(i));
}

} // namespace
