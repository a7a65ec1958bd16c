#include "Core/CallRecorder.h"
#include "Core/PObjUpdater.h"
#include "Core/PTaskManager.h"
#include "Game/CallTask.h"
#include "Game/LevelTestSupport.h"
#include "Game/PCamera.h"
#include "Particles/PParticlesManager.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Support/TestScripts.h"
#include "Vehicles/PPlayer.h"

#include <functional>
#include <list>

namespace {

std::vector<LevelRecord> RaceLevel() {
    return {Record("player", {97, 0, 0}),           Record("enemy1", {103, 8, 0}),
            Record("enemy2", {103, 16, 0}),         Record("tree", {130, 0, 0}),
            Record("chk1_arrow", {0, 0, 0}),        Record("stolb_start_left", {108, 0, 1}),
            Record("stolb_start_right", {92, 0, 1})};
}

class LevelRun : public LevelScene {
protected:
    void SetUp() override {
        LevelScene::SetUp();
        SetCallRecorder([this](const std::string& call) { calls.push_back(call); });
        data.money = 12.5f;
        data.lapCount = 3;
        data.racerStats["roadster1"].lapTimes.assign(20, 7.0f);
        WriteLevel("race", RaceLevel());
    }
    void TearDown() override {
        LevelScene::TearDown();
        SetCallRecorder({});
    }

    // The tasks of the kernel by class and priority, in pass order.
    std::vector<std::pair<std::string, int>> Kernel() const {
        std::vector<std::pair<std::string, int>> tasks;
        for (const CPRefPtr<CPTask>& task : kernel.GetActiveTasks())
            tasks.emplace_back(task->GetClassName(), task->priority);
        return tasks;
    }

    CPTaskManager kernel;
    CPRender render;
    CPParticlesManager particles;
    TestScripts scripts{{"gamemenu"}};
    std::vector<std::string> calls;
};

using Tasks = std::vector<std::pair<std::string, int>>;

} // namespace

TEST_F(LevelRun, StartPutsTheRaceIntoTheKernelAndStopTakesItOut) {
    ASSERT_TRUE(Load("race"));
    scripts["gamemenu"].Start();
    level->Start();

    EXPECT_EQ(Kernel(), (Tasks{{"AI_Task", 100}, {"CPPhysics", 400}, {"CPObjUpdater", 500}}));
    EXPECT_EQ(scripts.Received(scripts["gamemenu"]),
              (std::vector<std::string>{"set_money(12.50)", "init_game_interface()"}));
    const CPCamera& camera = *level->GetCamera();
    EXPECT_EQ(render.levels[16].camera.Get(), camera.GetMainCamera().Get());
    EXPECT_EQ(render.levels[120].camera.Get(), camera.GetSecondCamera().Get());
    EXPECT_TRUE(render.levels[17].hasWorld);
    EXPECT_FLOAT_EQ(render.levels[16].world._33, 0.0f) << "the shadow flattens onto z = 0";
    EXPECT_EQ(render.levelCamera.Get(), camera.GetSecondCamera().Get());
    EXPECT_TRUE(level->player->active);
    EXPECT_FLOAT_EQ(level->countdown, 600.0f);
    EXPECT_EQ(level->currentCheckpoint, level->checkpointSequence.begin());
    EXPECT_FLOAT_EQ(data.lapTimes[0], 0.0f);
    EXPECT_FLOAT_EQ(data.racerStats["roadster1"].lapTimes[4], 0.0f);
    EXPECT_FLOAT_EQ(data.racerStats["roadster1"].lapTimes[5], 7.0f);
    EXPECT_FALSE(level->shotsBlocked);

    calls.clear();
    data.checkpointMode = true;
    level->Stop();
    EXPECT_EQ(calls, (std::vector<std::string>{"AI_Task::ReleaseVehicles", "AI_Vehicle::ReleaseCar",
                                               "AI_Vehicle::ReleaseCar", "AI_Vehicle::ReleaseCar",
                                               "AI_Vehicle::ReleaseCar", "AI_Vehicle::ReleaseCar"}));
    EXPECT_TRUE(particles.liveObjects.empty());
    for (const CPRefPtr<CPTask>& task : kernel.GetActiveTasks())
        EXPECT_TRUE(task->killFlag) << task->GetClassName();
    EXPECT_TRUE(drivers.mainDrivers.empty());
    EXPECT_FALSE(physics.GetSimulator()) << "the world is destroyed";
    EXPECT_TRUE(level->cars.empty());
    EXPECT_TRUE(level->looseObjects.empty());
    EXPECT_FALSE(level->player);
    EXPECT_FALSE(level->grid.cells);
    EXPECT_TRUE(level->shotsBlocked);
    EXPECT_FALSE(data.checkpointMode);
    EXPECT_FALSE(render.levelCamera);
    EXPECT_TRUE(level->GetSpline()) << "the lines stay until the level goes";

    std::vector<CPRefPtr<CPGameObject>> found;
    level->QuerySphere({0, 0, 0}, 50, found);
    EXPECT_TRUE(found.empty());
}

TEST_F(LevelRun, StopAndDeleteInOnePassLeaveNoTaskBehind) {
    for (int cycle = 0; cycle < 2; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_TRUE(Load("race"));
        level->Start();
        // As the game's script does: stop and delete the level in one update,
        // ahead of the level's own task in the same pass. The pass then
        // stops the drivers' and the physics task and must not reach the
        // level's deleted one; the next pass removes the script.
        CallTask script([&] {
            level->Stop();
            level.reset();
            script.Stop();
        });
        script.priority = PRIORITY_MAIN_SCRIPT;
        kernel.AddTask(&script);
        EXPECT_EQ(kernel.Run(), 0);
        EXPECT_FALSE(level);
    }
}

TEST_F(LevelRun, StartRefusesALevelWithoutPlayerCar) {
    meshes.missing = {"buggy.rdf"};
    EXPECT_FALSE(Load("race"));
    level->Start();
    EXPECT_TRUE(kernel.GetActiveTasks().empty());
}
