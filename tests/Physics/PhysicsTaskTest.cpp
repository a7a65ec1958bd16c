#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Physics/PPhysics.h"
#include "Physics/Simulator/RbSimulator.h"
#include "Platform/Win32Messages.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class PhysicsTaskTest : public ::testing::Test {
protected:
    void TearDown() override { g_FrameTime = 0.0f; }

    // Runs one update with the frame time and returns the steps taken.
    int StepsFor(float frameTime) {
        g_FrameTime = frameTime;
        int before = physics.GetSimulator()->StepCounter();
        physics.Update();
        return physics.GetSimulator()->StepCounter() - before;
    }

    CPPhysics physics;
};

TEST_F(PhysicsTaskTest, TheWorldRunsAtTwiceTheFrameClockInFixedSteps) {
    ASSERT_TRUE(physics.CreateWorld());
    struct Case {
        float frameTime;
        int steps;
    } cases[] = {
        {0.1f, 6},                                  // limited to 0.05 s, doubled
        {0.05f, 6}, {1.0f / 120.0f, 1}, {0.04f, 4}, // 0.08 s: four steps and 0.0133 s owed
        {0.0f, 0},  {0.002f, 1},                    // the owed time completes a step
    };
    for (const Case& c : cases)
        EXPECT_EQ(StepsFor(c.frameTime), c.steps) << c.frameTime;
}

TEST_F(PhysicsTaskTest, WorldHasTheLevelsMaterialsAndReportsCarContacts) {
    g_PhysicsFriction = 0.7f;
    g_PhysicsRestitution = 0.25f;
    ASSERT_TRUE(physics.CreateWorld());
    g_PhysicsFriction = 0.2f;
    g_PhysicsRestitution = 0.0f;
    RbSimulator* world = physics.GetSimulator();
    for (int material : {0, 1}) {
        float friction, restitution, density;
        ASSERT_TRUE(world->GetMaterial(material, friction, restitution, density));
        EXPECT_FLOAT_EQ(friction, 0.7f);
        EXPECT_FLOAT_EQ(restitution, 0.25f);
    }
    EXPECT_EQ(world->GetCollisionTable().Get(0, -1), 3);
    EXPECT_EQ(world->GetCollisionTable().Get(0, 0), 3);
    EXPECT_EQ(world->GetCollisionTable().Get(1, 1), 1);
    EXPECT_FLOAT_EQ(world->GetGravity().z, -9.8f);
    EXPECT_EQ(world->SizeInfo().rigidBodiesCount, 500);
    EXPECT_EQ(world->SizeInfo().geometriesCount, 5000);
    EXPECT_EQ(physics.GetCategory(), TASK_LEVEL);
}

TEST_F(PhysicsTaskTest, WithoutAWorldNothingRunsAndTheGroundIsFlat) {
    g_FrameTime = 0.05f;
    physics.Update();
    EXPECT_FLOAT_EQ(physics.GetGroundHeight({1, 2, 3}), 0.0f);
    physics.DestroyWorld();
    physics.Stop();
    EXPECT_EQ(physics.GetSimulator(), nullptr);
}

// The world gets the grid's triangle boxes when it is made, and the new ones
// when the grid is built again under it.
TEST_F(PhysicsTaskTest, TheWorldHoldsTheBoxesOfTheGridsTriangles) {
    TerrainMesh ground;
    ground.positions = {{0, 0, 1}, {10, 0, 1}, {0, 10, 3}};
    ground.indices = {0, 1, 2};
    ASSERT_TRUE(physics.BuildTerrainGrid(ground));
    ASSERT_TRUE(physics.CreateWorld());
    const RbSimulator& world = *physics.GetSimulator();
    int count = 0;
    const RbTriangleBounds* bounds = world.GetTerrainTriangleBounds(count);
    ASSERT_NE(bounds, nullptr);
    EXPECT_EQ(count, 1);
    EXPECT_FLOAT_EQ(bounds[0].high.z, 3.0f);

    ground.positions.push_back({5, 5, 8});
    ground.indices.insert(ground.indices.end(), {1, 3, 2});
    ASSERT_TRUE(physics.BuildTerrainGrid(ground));
    bounds = world.GetTerrainTriangleBounds(count);
    ASSERT_NE(bounds, nullptr);
    EXPECT_EQ(count, 2);
    EXPECT_FLOAT_EQ(bounds[1].high.z, 8.0f);
    EXPECT_FLOAT_EQ(bounds[1].low.x, 0.0f);
}

// A task that runs an action on its first update, then removes itself.
class OnceTask : public CPTask {
public:
    explicit OnceTask(std::function<void()> action) : action(std::move(action)) {}
    void Update() override {
        action();
        killFlag = true;
    }
    int GetCategory() const override { return TASK_LEVEL; }
    size_t GetSize() const override { return sizeof(OnceTask); }
    std::string GetClassName() const override { return "OnceTask"; }
    std::function<void()> action;
};

TEST_F(PhysicsTaskTest, ALevelLoadedInThePassThatStoppedTheLastOneKeepsItsWorld) {
    PlatResetMessageQueue();
    TerrainMesh ground;
    ground.positions = {{0, 0, 1}, {10, 0, 1}, {0, 10, 1}};
    ground.indices = {0, 1, 2};
    ASSERT_TRUE(physics.BuildTerrainGrid(ground));
    ASSERT_TRUE(physics.CreateWorld());
    RbSimulator* next = nullptr;
    // The script stops the level, whose stop stops the physics, and loads the
    // next level before the kernel reaches the physics task.
    OnceTask script([&] {
        physics.Stop();
        EXPECT_EQ(physics.GetSimulator(), nullptr);
        EXPECT_FLOAT_EQ(physics.GetGroundHeight({1, 1, 1}), 0.0f);
        ASSERT_TRUE(physics.BuildTerrainGrid(ground));
        ASSERT_TRUE(physics.CreateWorld());
        next = physics.GetSimulator();
    });
    script.priority = PRIORITY_MAIN_SCRIPT;
    physics.priority = PRIORITY_PHYSICS;
    {
        CPTaskManager kernel;
        ASSERT_TRUE(kernel.AddTask(&script));
        ASSERT_TRUE(kernel.AddTask(&physics));
        EXPECT_EQ(kernel.Run(), 0);
    }
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(physics.GetSimulator(), next);
    EXPECT_FLOAT_EQ(physics.GetGroundHeight({1, 1, 0}), 1.0f);
    EXPECT_EQ(StepsFor(0.05f), 6);
}

} // namespace
