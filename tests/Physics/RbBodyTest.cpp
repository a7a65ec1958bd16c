#include "Platform/Random.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

namespace {

constexpr float Pi = 3.14159265f;

TEST(RbGeometry, LocalBoxes) {
    RbGeometry fresh;
    ExpectVector(fresh.halfExtents, {0.5f, 0.5f, 0.5f});
    EXPECT_EQ(fresh.kind, RB_GEOMETRY_BOX);
    EXPECT_EQ(fresh.materialIndex, 0);

    RbGeometry cylinder;
    cylinder.SetCylinder(0.6f, 0.3f);
    EXPECT_FLOAT_EQ(cylinder.radius, 0.3f);
    EXPECT_FLOAT_EQ(cylinder.radiusSquared, 0.09f);
    EXPECT_FLOAT_EQ(cylinder.halfHeight, 0.15f);

    RbGeometry turned;
    turned.SetBoxSize(4, 2, 1);
    turned.SetTransform(RbAxisRotation({0, 0, 1}, Pi / 2, {1, 0, 0}));

    struct Case {
        const RbGeometry& geometry;
        RbVector min, max;
    } cases[] = {
        {fresh, {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}},
        {cylinder, {-0.3f, -0.45f, -0.3f}, {0.3f, 0.45f, 0.3f}},
        {turned, {0, -2, -0.5f}, {2, 2, 0.5f}},
    };
    for (const Case& c : cases) {
        RbVector boxMin, boxMax;
        c.geometry.GetLocalBox(boxMin, boxMax);
        ExpectVector(boxMin, c.min);
        ExpectVector(boxMax, c.max);
    }
}

TEST(RbBody, BoundsOfOneBoxTwoBoxesAndSensors) {
    RbWorldPtr world = MakeWorld();

    RbRigidBody* single = world->CreateRigidBody();
    single->AddGeometry()->SetBoxSize(2, 4, 6);
    single->UpdateBoundingInfo();
    ExpectVector(single->localBounds.halfExtents, {1, 2, 3});

    RbRigidBody* pair = world->CreateRigidBody();
    pair->AddGeometry()->SetTransform(RbTranslation(-2, 0, 0));
    pair->AddGeometry()->SetTransform(RbTranslation(2, 0, 0));
    pair->UpdateBoundingInfo();
    ExpectVector(pair->localBounds.halfExtents, {2.5f, 0.5f, 0.5f});
    ExpectVector(pair->boundsCentre, {0, 0, 0});

    RbRigidBody* sensed = world->CreateRigidBody();
    sensed->AddGeometry();
    sensed->AddSensor()->SetLineSensor({0, 0, 0}, {0, 0, -3});
    sensed->UpdateBoundingInfo();
    EXPECT_NEAR(sensed->boundsCentre.z - sensed->localBounds.halfExtents.z, -3.0f, 1e-5f);
    EXPECT_NEAR(sensed->boundsCentre.z + sensed->localBounds.halfExtents.z, 0.5f, 1e-5f);
}

// A thin box turned 45 degrees in its body keeps its exact shape as bounds;
// with a sensor the bounds become an axis-aligned box around both.
TEST(RbBody, BoundsOfATurnedBoxContainIt) {
    RbWorldPtr world = MakeWorld();
    RbRigidBody* body = world->CreateRigidBody();
    RbGeometry* box = body->AddGeometry();
    box->SetBoxSize(2, 0.2f, 0.2f);
    box->SetTransform(RbAxisRotation({0, 0, 1}, Pi / 4));
    body->UpdateBoundingInfo();
    ExpectVector(body->localBounds.halfExtents, {1, 0.1f, 0.1f});
    ExpectVector(body->localBounds.localTransform.row[0], box->localTransform.row[0]);

    body->AddSensor()->SetLineSensor({0, 0, 0}, {2, 0, 0});
    body->UpdateBoundingInfo();
    ExpectVector(body->localBounds.localTransform.row[0], {1, 0, 0});
    ExpectVector(body->localBounds.halfExtents, {1.3889f, 0.7778f, 0.1f});
    ExpectVector(body->boundsCentre, {0.6111f, 0, 0});
}

// For random placements, the world box computed from the bounds contains the
// world box of every geometry corner and every sensor end.
TEST(RbBody, WorldBoundsContainEveryShape) {
    RbWorldPtr world = MakeWorld();
    PlatSRand(7);
    auto random = [](float low, float high) {
        return low + (high - low) * PlatRand() / float(PLAT_RAND_MAX);
    };
    for (int round = 0; round < 50; ++round) {
        RbRigidBody* body = world->CreateRigidBody();
        int geometries = 1 + round % 3;
        for (int g = 0; g < geometries; ++g) {
            RbGeometry* geometry = body->AddGeometry();
            geometry->SetBoxSize(random(0.1f, 2), random(0.1f, 2), random(0.1f, 2));
            geometry->SetTransform(RbAxisRotation(RbSafeNormalise({random(-1, 1), random(-1, 1), 1}),
                                                  random(0, 6.28f),
                                                  {random(-1, 1), random(-1, 1), random(-1, 1)}));
        }
        if (round % 2)
            body->AddSensor()->SetLineSensor({random(-1, 1), 0, 0}, {0, 0, random(-3, 3)});
        body->UpdateBoundingInfo();
        body->SetRotation({random(-1, 1), random(-1, 1), random(-1, 1), random(-1, 1)});
        body->SetPosition({random(-5, 5), random(-5, 5), random(-5, 5)});
        body->UpdateWorldBounds();
        auto expectInside = [&](const RbVector& local) {
            RbVector p = RbTransformPoint(local, body->transform);
            for (int k = 0; k < 3; ++k) {
                EXPECT_GE(p[k], body->worldMin[k] - 1e-4f);
                EXPECT_LE(p[k], body->worldMax[k] + 1e-4f);
            }
        };
        for (RbGeometry* g = body->geometries.head; g; g = g->poolNext)
            for (int corner = 0; corner < 8; ++corner) {
                RbVector c((corner & 1 ? 1 : -1) * g->halfExtents.x, (corner & 2 ? 1 : -1) * g->halfExtents.y,
                           (corner & 4 ? 1 : -1) * g->halfExtents.z);
                expectInside(RbTransformPoint(c, g->localTransform));
            }
        for (RbSensor* s = body->sensors.head; s; s = s->poolNext) {
            expectInside(s->start);
            expectInside(s->start + s->line);
        }
        world->FreeBody(body);
    }
}

TEST(RbBody, AnimatedBodyBoundsFollowItsPose) {
    RbWorldPtr world = MakeWorld();
    RbAnimatedBody* body = world->CreateAnimatedBody();
    body->AddGeometry()->SetBoxSize(2, 2, 2);
    body->UpdateBoundingInfo();
    body->SetPosition({5, 0, 0});
    EXPECT_FLOAT_EQ(body->worldMin.x, 4.0f);
    EXPECT_EQ(body->moved, 1);

    body->SetRotation({0, 0, std::sin(Pi / 8), std::cos(Pi / 8)}); // 45 degrees about z
    EXPECT_FLOAT_EQ(body->worldMin.x, 4.0f);                       // stale until the next step
    world->Advance(1.0f / 60, 1, nullptr);
    EXPECT_NEAR(body->worldMin.x, 5 - std::sqrt(2.0f), 1e-5f);
    EXPECT_EQ(body->moved, 0);

    body->SetRotation({0, 0, 0, 0}); // a zero quaternion is taken as no rotation
    ExpectVector(body->worldTransform.row[0], {1, 0, 0});
    EXPECT_EQ(body->GetVelocityAtPoint({1, 1, 1}).x, 0.0f);
}

TEST(RbBody, ActivationMovesBodiesBetweenListsAndTheBroadPhase) {
    RbWorldPtr world = MakeWorld();
    RbRigidBody* bare = world->CreateRigidBody();
    RbRigidBody* solid = world->CreateRigidBody();
    solid->AddGeometry();
    EXPECT_EQ(bare->regionEntry, nullptr);
    EXPECT_NE(solid->regionEntry, nullptr);

    for (RbRigidBody* body : {bare, solid})
        body->SetActive(false);
    EXPECT_EQ(world->RigidBodies().active.count, 0);
    EXPECT_EQ(world->RigidBodies().inactive.count, 2);
    EXPECT_EQ(solid->regionEntry, nullptr);
    solid->SetActive(false);
    EXPECT_EQ(world->RigidBodies().inactive.count, 2);

    for (RbRigidBody* body : {bare, solid})
        body->SetActive(true);
    EXPECT_EQ(world->RigidBodies().active.head, bare);
    EXPECT_EQ(bare->regionEntry, nullptr);
    EXPECT_NE(solid->regionEntry, nullptr);
}

} // namespace
