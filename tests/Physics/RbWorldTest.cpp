#include "Physics/Simulator/RbInertia.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(RbInertia, MatchesTheGivenFormulas) {
    struct Case {
        RbVector tensor;
        RbVector expected;
    } cases[] = {
        {RbBoxInertiaTensor(1, 2, 3, 3), {18, 18, 18}},
        {RbBoxInertiaTensorFromVector({3, 1, 2}, 3), {18, 18, 18}},
        {RbCylinderInertiaTensor(2, 6, 12), {39, 6, 39}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        for (int i = 0; i < 3; ++i)
            EXPECT_FLOAT_EQ(c.tensor[i], c.expected[i]);
    }
}

TEST(RbWorld, MaterialsAndCollisionTable) {
    RbWorldPtr world = MakeWorld();
    float f, r, d;
    ASSERT_TRUE(world->GetMaterial(255, f, r, d));
    EXPECT_FLOAT_EQ(f, 0.5f);
    EXPECT_FLOAT_EQ(r, 0.4f);
    EXPECT_FLOAT_EQ(d, 1.0f);
    EXPECT_FALSE(world->SetMaterial(256, 0.1f, 0.1f));
    EXPECT_FALSE(world->SetMaterial(-1, 0.1f, 0.1f));
    EXPECT_FALSE(world->GetMaterial(256, f, r, d));
    EXPECT_TRUE(world->SetMaterial(3, 0.2f, 0.0f));
    ASSERT_TRUE(world->GetMaterial(3, f, r, d));
    EXPECT_FLOAT_EQ(f, 0.2f);
    EXPECT_FLOAT_EQ(d, 0.0f);

    RbCollisionTable& table = world->GetCollisionTable();
    EXPECT_EQ(table.Get(0, 0), 1);
    EXPECT_EQ(table.Get(0, -1), 1);
    EXPECT_EQ(table.Get(-1, -1), 0);
    table.Set(5, -1, 3);
    EXPECT_EQ(table.Get(-1, 5), 3);
    EXPECT_EQ(table.Get(5, 5), 1);
    EXPECT_EQ(table.Get(4, -1), 1);
    table.Set(2, 7, 2);
    EXPECT_EQ(table.Get(7, 2), 2);
    table.Set(64, 0, 9); // outside the table: ignored
    table.Set(-2, 0, 9);
    EXPECT_EQ(table.Get(0, 0), 1);
    EXPECT_EQ(table.Get(64, 0), 0);
}

TEST(RbWorld, GravityIsStoredWithSafeDirectionAndLength) {
    RbVector down(0, 0, -9.8f);
    RbWorldPtr world = MakeWorld({}, &down);
    EXPECT_FLOAT_EQ(world->GravityDirection().z, -1.0f);
    EXPECT_FLOAT_EQ(world->GravityLength(), 9.8f);
    RbWorldPtr weightless = MakeWorld();
    EXPECT_EQ(weightless->GravityLength(), 0.0f);
    EXPECT_EQ(RbLengthSquared(weightless->GravityDirection()), 0.0f);
}

TEST(RbWorld, AdvanceCountsCallsAndSplitsTheTime) {
    RbWorldPtr world = MakeWorld();
    EXPECT_EQ(world->Advance(1.0f / 60, 1, nullptr), 1);
    EXPECT_EQ(world->Advance(1.0f / 60, 1, nullptr), 2);
    EXPECT_EQ(world->Advance(0.1f, 4, nullptr), 3);
    EXPECT_FLOAT_EQ(world->StepTime(), 0.025f);
    EXPECT_FLOAT_EQ(world->InverseStepTime(), 40.0f);
    EXPECT_EQ(world->HistorySlot(), 2);
    // Degenerate calls count without stepping (no infinite inverse step time).
    EXPECT_EQ(world->Advance(0.0f, 1, nullptr), 4);
    EXPECT_EQ(world->Advance(0.1f, 0, nullptr), 5);
    EXPECT_FLOAT_EQ(world->InverseStepTime(), 40.0f);
}

TEST(RbWorld, ReportAveragesTotalsBelowOneHundred) {
    RbPerformanceReport report;
    report.Finish(0.010f);
    EXPECT_FLOAT_EQ(report.result, 0.010f);
    report.Finish(0.020f);
    EXPECT_FLOAT_EQ(report.result, 0.015f);
    report.Begin();
    report.Finish(150.0f);
    EXPECT_EQ(report.result, 0.0f);
    EXPECT_EQ(report.sampleCount, 2);
    EXPECT_FLOAT_EQ(report.runningSum, 0.030f);
    report.mode = 1;
    report.Finish(150.0f);
    EXPECT_EQ(report.result, 150.0f);

    RbWorldPtr world = MakeWorld();
    RbPerformanceReport measured;
    world->Advance(0.1f, 4, &measured);
    EXPECT_EQ(measured.sampleCount, 1);
    EXPECT_GE(measured.result, 0.0f);
}

TEST(RbWorld, ExhaustedPoolsReportAndReturnNull) {
    RbSizeInfo sizes;
    sizes.rigidBodiesCount = 2;
    sizes.rigidParticleCount = 0;
    sizes.animatedBodiesCount = 0;
    sizes.geometriesCount = 1;
    sizes.sensorsCount = 0;
    sizes.controllersCount = 0;
    RbWorldPtr world = MakeWorld(sizes);
    RbLogCapture log;
    log.Attach(*world);

    RbRigidBody* a = world->CreateRigidBody();
    RbRigidBody* b = world->CreateRigidBody();
    ASSERT_TRUE(a && b);
    EXPECT_EQ(world->CreateRigidBody(), nullptr);
    EXPECT_EQ(world->CreateRigidParticle(), nullptr);
    EXPECT_EQ(world->CreateAnimatedBody(), nullptr);
    ASSERT_NE(a->AddGeometry(), nullptr);
    EXPECT_EQ(b->AddGeometry(), nullptr);
    EXPECT_EQ(b->AddSensor(), nullptr);
    EXPECT_EQ(b->AddController(nullptr, 0), nullptr);
    EXPECT_EQ(log.messages, (std::vector<std::string>{
                                "Run out of RigidBodies. Increase 'rigidBodiesCount'.\n",
                                "Run out of RigidBodies. Increase 'rigidParticleCount'.\n",
                                "Run out of Geometries. Increase 'geometriesCount'.\n",
                                "Run out of Sensors. Increase 'sensorsCount'.\n",
                                "Run out of Controllers. Increase 'controllersCount'.\n",
                            }));

    world->FreeBody(a);
    RbRigidBody* again = world->CreateRigidBody();
    EXPECT_EQ(again, a);
    EXPECT_EQ(again->geometries.count, 0);
    EXPECT_NE(b->AddGeometry(), nullptr); // a's geometry went back to the pool
}

TEST(RbWorld, InvalidFreesAreReportedAndChangeNothing) {
    RbWorldPtr world = MakeWorld();
    RbWorldPtr other = MakeWorld();
    RbLogCapture log;
    log.Attach(*world);
    RbRigidBody* body = world->CreateRigidBody();
    RbAnimatedBody* animated = world->CreateAnimatedBody();
    RbRigidBody* particle = world->CreateRigidParticle();
    world->FreeBody(body);
    world->FreeBody(body);
    world->FreeBody(animated);
    world->FreeBody(animated);
    world->FreeBody(other->CreateRigidParticle());
    world->FreeBody(nullptr);
    EXPECT_EQ(log.messages, (std::vector<std::string>{
                                "Trying to Free invalid RigidBody.\n",
                                "Trying to Free invalid AnimatedBody.\n",
                                "Trying to Free invalid RigidParticle.\n",
                            }));
    EXPECT_EQ(world->RigidBodies().active.count, 0);
    EXPECT_EQ(world->RigidParticles().active.head, particle);
}

TEST(RbWorld, MessagesNeedACallbackAndALogLevel) {
    RbSizeInfo sizes;
    sizes.rigidBodiesCount = 0;
    RbWorldPtr world = MakeWorld(sizes);
    RbLogCapture log;
    world->SetLogCallback(&RbLogCapture::Receive, &log);
    EXPECT_EQ(world->CreateRigidBody(), nullptr);
    EXPECT_TRUE(log.messages.empty()); // level 0 at creation
    world->SetLogLevel(1);
    EXPECT_EQ(world->CreateRigidBody(), nullptr);
    EXPECT_EQ(log.messages.size(), 1u);
}

// Fails every allocation from a given one on and checks that every block is
// given back.
class FailingAllocator : public RbAllocator {
public:
    explicit FailingAllocator(int allowed) : remaining(allowed) {}
    void* Allocate(std::size_t size, int) override {
        if (remaining-- <= 0)
            return nullptr;
        ++live;
        return std::malloc(size);
    }
    void Free(void* block) override {
        --live;
        std::free(block);
    }
    int remaining;
    int live = 0;
};

// Counts the blocks requested through the world's allocator.
class CountingAllocator : public RbAllocator {
public:
    void* Allocate(std::size_t size, int) override {
        ++requests;
        return std::malloc(size);
    }
    void Free(void* block) override { std::free(block); }
    int requests = 0;
};

TEST(RbWorld, SteppingAllocatesNothing) {
    CountingAllocator allocator;
    RbVector gravity(0, 0, -9.8f);
    RbSimulator* world = RbSimulator::Create({}, &allocator, &gravity);
    ASSERT_NE(world, nullptr);
    for (int i = 0; i < 40; ++i) {
        RbRigidBody* body = world->CreateRigidBody();
        body->AddGeometry();
        body->UpdateBoundingInfo();
        body->SetPosition({0.3f * (i % 7), 0.25f * (i / 7), 0});
    }
    world->Advance(1.0f / 60, 2, nullptr);
    EXPECT_GT(world->Region().ActivePairs().count, 0);
    // Only the row buffers and work lists may grow, while the contacts build
    // up; after that a step allocates nothing.
    for (int i = 0; i < 20; ++i)
        world->Advance(1.0f / 60, 2, nullptr);
    int afterWarmUp = allocator.requests;
    for (int i = 0; i < 100; ++i)
        world->Advance(1.0f / 60, 2, nullptr);
    EXPECT_EQ(allocator.requests, afterWarmUp);
    RbSimulator::Destroy(world);
}

TEST(RbWorld, CreationFailsCleanly) {
    RbSizeInfo negative;
    negative.geometriesCount = -1;
    EXPECT_EQ(RbSimulator::Create(negative, nullptr, nullptr), nullptr);
    RbSizeInfo huge;
    huge.rigidBodiesCount = 1 << 30;
    EXPECT_EQ(RbSimulator::Create(huge, nullptr, nullptr), nullptr);

    int needed = -1;
    for (int allowed = 0; allowed < 40 && needed < 0; ++allowed) {
        FailingAllocator allocator(allowed);
        RbSimulator* world = RbSimulator::Create({}, &allocator, nullptr);
        if (world) {
            needed = allowed;
            EXPECT_NE(world->CreateRigidBody(), nullptr);
            RbSimulator::Destroy(world);
        }
        EXPECT_EQ(allocator.live, 0) << "after " << allowed << " allocations";
    }
    EXPECT_GT(needed, 5);
}

} // namespace
