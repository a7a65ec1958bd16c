#include "Platform/Random.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

namespace {

using PairSet = std::set<std::pair<const RbBody*, const RbBody*>>;

std::pair<const RbBody*, const RbBody*> Ordered(const RbBody* a, const RbBody* b) {
    return std::minmax(a, b);
}

PairSet ActivePairs(RbSimulator& world) {
    PairSet pairs;
    for (const RbOverlapPair* p = world.Region().ActivePairs().head; p; p = p->poolNext)
        EXPECT_TRUE(pairs.insert(Ordered(p->bodyA, p->bodyB)).second) << "pair listed twice";
    EXPECT_EQ(static_cast<int>(pairs.size()), world.Region().ActivePairs().count);
    return pairs;
}

// Pairs of active bodies with geometry whose world boxes overlap strictly on
// every axis, except two rigid particles.
PairSet BruteForcePairs(RbSimulator& world) {
    std::vector<const RbBody*> bodies;
    for (RbBodyLists* lists : {&world.RigidBodies(), &world.AnimatedBodies(), &world.RigidParticles()})
        for (const RbBody* b = lists->active.head; b; b = b->poolNext)
            if (b->geometries.count > 0)
                bodies.push_back(b);
    PairSet pairs;
    for (size_t i = 0; i < bodies.size(); ++i) {
        for (size_t j = i + 1; j < bodies.size(); ++j) {
            const RbBody* a = bodies[i];
            const RbBody* b = bodies[j];
            if (a->IsParticle() && b->IsParticle())
                continue;
            bool overlap = true;
            for (int k = 0; k < 3; ++k)
                overlap = overlap && a->worldMin[k] < b->worldMax[k] && a->worldMax[k] > b->worldMin[k];
            if (overlap)
                pairs.insert(Ordered(a, b));
        }
    }
    return pairs;
}

RbRigidBody* UnitBox(RbSimulator& world, const RbVector& position, bool particle = false) {
    RbRigidBody* body = particle ? world.CreateRigidParticle() : world.CreateRigidBody();
    body->AddGeometry();
    body->UpdateBoundingInfo();
    body->SetGravityEnabled(false);
    body->SetPosition(position);
    return body;
}

TEST(RbBroadPhase, TouchingBoxesDoNotOverlap) {
    RbWorldPtr world = MakeWorld();
    UnitBox(*world, {0, 0, 0});
    UnitBox(*world, {1, 0, 0});
    world->Advance(1.0f / 60, 1, nullptr);
    EXPECT_EQ(world->Region().ActivePairs().count, 0);
}

TEST(RbBroadPhase, BoxesMovingTogetherAndApartMakeAndDropOnePair) {
    RbWorldPtr world = MakeWorld();
    RbRigidBody* a = UnitBox(*world, {0, 0, 0});
    RbRigidBody* b = UnitBox(*world, {3, 2, 1});
    world->Advance(1.0f / 60, 1, nullptr);
    EXPECT_EQ(world->Region().ActivePairs().count, 0);
    b->SetPosition({0.5f, 0.5f, 0.5f});
    world->Advance(1.0f / 60, 1, nullptr);
    ASSERT_EQ(ActivePairs(*world), (PairSet{Ordered(a, b)}));
    b->SetPosition({0.5f, 0.5f, 1.5f});
    world->Advance(1.0f / 60, 1, nullptr);
    EXPECT_EQ(world->Region().ActivePairs().count, 0);
}

TEST(RbBroadPhase, ParticlesNeverPairWithEachOther) {
    RbWorldPtr world = MakeWorld();
    RbRigidBody* p1 = UnitBox(*world, {0, 0, 0}, true);
    RbRigidBody* p2 = UnitBox(*world, {0.2f, 0, 0}, true);
    world->Advance(1.0f / 60, 1, nullptr);
    EXPECT_EQ(world->Region().ActivePairs().count, 0);
    RbRigidBody* body = UnitBox(*world, {3, 0, 0});
    world->Advance(1.0f / 60, 1, nullptr);
    body->SetPosition({0.1f, 0, 0});
    p2->SetPosition({0.3f, 0, 0}); // the particles cross each other too
    world->Advance(1.0f / 60, 1, nullptr);
    EXPECT_EQ(ActivePairs(*world), (PairSet{Ordered(p1, body), Ordered(p2, body)}));
}

TEST(RbBroadPhase, RegistrationTimeline) {
    RbWorldPtr world = MakeWorld();
    RbRigidBody* a = UnitBox(*world, {0, 0, 0});
    RbRigidBody* b = UnitBox(*world, {0.5f, 0, 0});
    EXPECT_EQ(a->regionState, 1);
    EXPECT_EQ(a->minEndpoints[0], nullptr);
    world->Advance(1.0f / 60, 1, nullptr);
    // Registered in the same step: the pair appears when the second is inserted.
    EXPECT_EQ(ActivePairs(*world), (PairSet{Ordered(a, b)}));
    EXPECT_EQ(a->regionState, 0);

    RbRigidBody* c = UnitBox(*world, {0, 0.5f, 0});
    c->SetActive(false); // registered and removed before the update
    EXPECT_EQ(c->regionState, 2);
    world->Advance(1.0f / 60, 1, nullptr);
    EXPECT_EQ(c->minEndpoints[0], nullptr);
    EXPECT_EQ(c->regionState, 0);
    c->SetActive(true);
    world->Advance(1.0f / 60, 1, nullptr);
    EXPECT_EQ(ActivePairs(*world), (PairSet{Ordered(a, b), Ordered(a, c), Ordered(b, c)}));

    world->FreeBody(a);
    EXPECT_EQ(ActivePairs(*world), (PairSet{Ordered(b, c)}));
}

TEST(RbBroadPhase, FullPairBufferIsReported) {
    RbSizeInfo sizes;
    sizes.overlapPairsCount = 1;
    RbWorldPtr world = MakeWorld(sizes);
    RbLogCapture log;
    log.Attach(*world);
    UnitBox(*world, {0, 0, 0});
    UnitBox(*world, {0.5f, 0, 0});
    UnitBox(*world, {0, 0.5f, 0});
    world->Advance(1.0f / 60, 1, nullptr);
    EXPECT_EQ(world->Region().ActivePairs().count, 1);
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(log.messages[0], "Overlap Pair buffer full. Increase buffer size.\n");
}

// Sixty bodies of all three kinds move at random; some are deactivated,
// reactivated, freed and created again. After every update the pair list is
// exactly the set of strictly overlapping boxes.
TEST(RbBroadPhase, PairsEqualBruteForceOverlapThroughARandomRun) {
    RbSizeInfo sizes;
    sizes.rigidBodiesCount = 40;
    sizes.animatedBodiesCount = 12;
    sizes.rigidParticleCount = 8;
    sizes.geometriesCount = 200;
    RbWorldPtr world = MakeWorld(sizes);
    PlatSRand(12345);
    // Two draws per value give fine-grained coordinates, so exact ties are rare.
    auto random = [](float low, float high) {
        float unit = (PlatRand() * 32768.0f + PlatRand()) / (32768.0f * 32768.0f);
        return low + (high - low) * unit;
    };
    auto randomPosition = [&] { return RbVector(random(-6, 6), random(-6, 6), random(-6, 6)); };
    auto makeBody = [&](int kind) -> RbBody* {
        RbBody* body = kind == 0   ? static_cast<RbBody*>(world->CreateRigidBody())
                       : kind == 1 ? static_cast<RbBody*>(world->CreateAnimatedBody())
                                   : static_cast<RbBody*>(world->CreateRigidParticle());
        int shapes = 1 + PlatRand() % 2;
        for (int s = 0; s < shapes; ++s) {
            RbGeometry* g = body->AddGeometry();
            g->SetBoxSize(random(0.3f, 2.5f), random(0.3f, 2.5f), random(0.3f, 2.5f));
            g->SetTransform(RbAxisRotation({0, 0, 1}, random(0, 3), {random(-1, 1), 0, random(-1, 1)}));
        }
        body->UpdateBoundingInfo();
        if (kind == 1) {
            static_cast<RbAnimatedBody*>(body)->SetPosition(randomPosition());
        } else {
            auto* rigid = static_cast<RbRigidBody*>(body);
            rigid->SetGravityEnabled(false);
            rigid->SetPosition(randomPosition());
            rigid->SetVelocity(RbVector(random(-3, 3), random(-3, 3), random(-3, 3)));
            rigid->SetInertiaTensor(1, 2, 3);
            rigid->SetAngularMomentum({random(-2, 2), random(-2, 2), random(-2, 2)});
        }
        return body;
    };
    std::vector<std::pair<RbBody*, int>> bodies;
    for (int i = 0; i < 60; ++i) {
        int kind = i < 40 ? 0 : (i < 52 ? 1 : 2);
        bodies.emplace_back(makeBody(kind), kind);
    }
    size_t mostPairs = 0;
    for (int step = 0; step < 600; ++step) {
        for (int change = 0; change < 3; ++change) {
            auto& [body, kind] = bodies[PlatRand() % bodies.size()];
            int action = PlatRand() % 4;
            if (action == 0) {
                body->SetActive(!body->IsActive());
            } else if (action == 1) {
                world->FreeBody(body);
                body = makeBody(kind);
            } else if (kind == 1) {
                auto* animated = static_cast<RbAnimatedBody*>(body);
                animated->SetPosition(animated->worldTransform.Position() + RbVector(random(-0.5f, 0.5f),
                                                                                     random(-0.5f, 0.5f),
                                                                                     random(-0.5f, 0.5f)));
            } else {
                RbRigidBody* rigid = static_cast<RbRigidBody*>(body);
                RbVector p = rigid->GetPosition();
                for (int k = 0; k < 3; ++k)
                    if (std::fabs(p[k]) > 7)
                        p[k] = -p[k] * 0.9f; // keep the crowd together
                rigid->SetPosition(p);
            }
        }
        world->Advance(1.0f / 60, 1, nullptr);
        PairSet expected = BruteForcePairs(*world);
        ASSERT_EQ(ActivePairs(*world), expected) << "after step " << step;
        mostPairs = std::max(mostPairs, expected.size());
    }
    EXPECT_GT(mostPairs, 20u);
}

} // namespace
