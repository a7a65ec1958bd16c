#include "RbTestTerrain.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

namespace {

TEST(RbRest, InflatedTriangle) {
    struct Case {
        RbVector a, b, c;
        bool inside;
    };
    const Case cases[] = {
        {{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}, true},
        {{1, -1, 0}, {-1, -1, 0}, {0, 1, 0}, true}, // either winding
        // The centre 0.05 outside an edge of a triangle of size 2: inside
        // once enlarged by 10 %.
        {{-1, 0.05f, 0}, {1, 0.05f, 0}, {0, 2.05f, 0}, true},
        {{-1, 0.5f, 0}, {1, 0.5f, 0}, {0, 2.5f, 0}, false},
        {{-1, 0, 0}, {1, 0, 0}, {0, 0, 0}, false}, // degenerate
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        EXPECT_EQ(RbPointInInflatedTriangle(c.a, c.b, c.c), c.inside);
    }
}

// A box lying on an animated floor with hand-made rest records.
class RbRestRecords : public ::testing::Test {
protected:
    RbRestRecords() {
        RbVector gravity(0, 0, -9.8f);
        world.reset(RbSimulator::Create({}, nullptr, &gravity));
        floor = world->CreateAnimatedBody();
        box = RbAddBox(*world, {1, 1, 1}, 1, {0, 0, 0.5f});
        world->Advance(1.0f / 60, 1, nullptr);
    }

    // A support point under a corner of the box with the given gap.
    bool Support(float x, float y, float gap) {
        RbRestRecord t;
        t.localPoint = {x, y, -0.5f};
        t.supportLocalPoint = RbVector(x, y, -gap) + box->GetPosition() - RbVector(0, 0, 0.5f);
        t.supportNormal = {0, 0, 1};
        t.support = floor;
        return box->AddStackContact(t);
    }

    RbWorldPtr world;
    RbAnimatedBody* floor;
    RbRigidBody* box;
};

TEST_F(RbRestRecords, ChecksKeepOrDropByGap) {
    struct Case {
        float gap;
        int kept, rows;
    };
    // Dropped above 0.01 by the check; a row only up to 0.01.
    const Case cases[] = {{0.011f, 0, 0}, {0.005f, 1, 1}, {-0.02f, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        ASSERT_TRUE(Support(0.5f, 0.5f, c.gap));
        EXPECT_EQ(box->CheckRestingContacts(), c.kept) << c.gap;
        world->RestingRows().Clear();
        EXPECT_EQ(box->BuildRestRows(true), c.gap < 0 ? 1 : c.rows) << c.gap;
        EXPECT_EQ(static_cast<int>(world->RestingRows().Count()), c.rows) << c.gap;
        box->LeaveStacking();
    }
    // Kept by the row build but without a row: a gap between 0.01 and 0.0105.
    Support(0.5f, 0.5f, 0.0105f);
    Support(-0.5f, -0.5f, 0.0f);
    world->RestingRows().Clear();
    EXPECT_EQ(box->BuildRestRows(true), 1);
    int active = 0;
    for (const RbRestRecord& r : box->restBlock.records)
        active += r.state == 2 ? 1 : 0;
    EXPECT_EQ(active, 2);
}

TEST_F(RbRestRecords, SupportPointsAgainstTheForce) {
    box->forceAccumulator = {0, 0, -9.8f};
    struct Case {
        std::vector<RbVector> corners;
        int support;
    };
    const Case cases[] = {
        {{{0.5f, 0.5f, 0}, {-0.5f, 0.5f, 0}, {0, -0.5f, 0}}, 3},
        {{{0.5f, 0.5f, 0}, {-0.5f, 0.5f, 0}, {0.5f, 0.4f, 0}}, 0}, // centre outside
        {{{0.5f, 0.5f, 0}, {-0.5f, -0.5f, 0}}, 2},                 // a diagonal through the centre
        {{{0.5f, 0.5f, 0}, {-0.5f, 0.5f, 0}}, 0},                  // an edge
        {{{0.004f, 0, 0}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        for (const RbVector& p : c.corners)
            Support(p.x, p.y, 0);
        world->RestingRows().Clear();
        box->BuildRestRows(true);
        EXPECT_EQ(box->CheckRestPoints(), c.support);
        box->LeaveStacking();
    }
    // A moving support is not accepted.
    Support(0.004f, 0, 0);
    box->BuildRestRows(true);
    floor->SetPosition({0, 0, 0});
    EXPECT_EQ(box->CheckRestPoints(), 0);
}

TEST_F(RbRestRecords, IdleOnlyAfterSixtyQuietSteps) {
    box->WakeUp();
    for (int i = 0; i < 59; ++i) {
        box->idleReferenceSteps += 1;
        EXPECT_FALSE(box->IsIdle());
    }
    box->idleReferenceSteps += 1;
    EXPECT_TRUE(box->IsIdle());
    box->transform.SetPosition({0.25f, 0, 0.5f}); // 0.25 in one second: over 0.2 per second
    EXPECT_FALSE(box->IsIdle());
    EXPECT_EQ(box->idleReferenceSteps, 0);
}

TEST_F(RbRestRecords, RestingBodyWakesAtUnitSpeed) {
    Support(0.5f, 0.5f, 0);
    box->PutToRest();
    box->velocity = {0.99f, 0, 0};
    EXPECT_FALSE(box->IsMovingFast());
    box->angularVelocity = {0, 0.2f, 0};
    EXPECT_TRUE(box->IsMovingFast());
}

// The stack timeline: singles, a stack, merging, rebuilding and dissolving.
TEST(RbStacks, Timeline) {
    RbVector gravity(0, 0, -9.8f);
    RbWorldPtr world(RbSimulator::Create({}, nullptr, &gravity));
    RbRigidBody* lower = RbAddBox(*world, {1, 1, 1}, 1, {0, 0, 0.5f});
    RbRigidBody* upper = RbAddBox(*world, {1, 1, 1}, 1, {0, 0, 1.5f});
    RbRigidBody* other = RbAddBox(*world, {1, 1, 1}, 1, {5, 0, 0.5f});
    RbRigidBody* hanging = RbAddBox(*world, {1, 1, 1}, 1, {5, 0, 1.5f});
    auto on = [](RbRigidBody* body, RbBody* support) {
        RbRestRecord t;
        t.localPoint = {0, 0, -0.5f};
        t.supportLocalPoint = {0, 0, 0.5f};
        t.supportNormal = {0, 0, 1};
        t.support = support;
        return body->AddStackContact(t);
    };
    RbStackHeader& singles = world->SingleBodies();
    ASSERT_TRUE(on(lower, &world->TerrainBody()));
    EXPECT_EQ(lower->stackInfo->header, &singles);

    ASSERT_TRUE(on(upper, lower)); // the lower box leaves the singles
    EXPECT_EQ(singles.members.count, 0);
    ASSERT_EQ(world->StackHeaders().count, 1);
    EXPECT_EQ(upper->stackInfo->header, lower->stackInfo->header);

    ASSERT_TRUE(on(other, hanging)); // a support resting on nothing
    EXPECT_EQ(hanging->stackInfo->supportOnly, 1);
    ASSERT_TRUE(on(hanging, upper)); // now it rests itself, and the stacks merge
    EXPECT_EQ(hanging->stackInfo->supportOnly, 0);
    EXPECT_EQ(world->StackHeaders().count, 1);
    EXPECT_EQ(world->StackHeaders().head->members.count, 4);

    // Rebuilt from the rest records: one connected stack again.
    RbStackHeader* header = world->StackHeaders().head;
    header->Resolve();
    world->ReleaseStackHeader(header);
    ASSERT_EQ(world->StackHeaders().count, 1);
    EXPECT_EQ(world->StackHeaders().head->members.count, 4);

    // Without its supports the top box leaves stacking at the rebuild.
    for (RbRestRecord& r : other->restBlock.records)
        r.Drop();
    other->stackInfo->unsupported = 1;
    header = world->StackHeaders().head;
    header->Resolve();
    world->ReleaseStackHeader(header);
    EXPECT_EQ(other->stackInfo, nullptr);
    EXPECT_EQ(world->StackHeaders().head->members.count, 3);

    // A stack of one member goes back to the singles.
    world->FreeBody(upper);
    world->FreeBody(hanging);
    ASSERT_EQ(world->StackHeaders().head->members.count, 1);
    world->StackHeaders().head->Dissolve();
    EXPECT_EQ(world->StackHeaders().count, 0);
    EXPECT_EQ(lower->stackInfo->header, &singles);
}

} // namespace
