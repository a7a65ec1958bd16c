#include "Core/PSettings.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PMeshManager.h"
#include "Game/PhysicsConnections.h"
#include "Physics/PPhysics.h"
#include "Physics/PhysicsServices.h"
#include "Vehicles/AI_Task.h"
#include "Vehicles/CarConnections.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PPlayer.h"
#include "leveltool/LevelBuild.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

// The demo level as the build made it, loaded with the real mesh manager and
// physics from the built Data tree.
TEST(DemoLevel, LevelOneLoadsWithItsCarsAndTrack) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(KV_BUILD_DATA).parent_path());
    const PhysicsServices saved = g_PhysicsServices;
    ConnectPhysicsToGameObjects();
    ConnectPhysicsToCars();
    g_WeightDiv = 1;
    {
        CPPhysics physics;
        AI_Task drivers;
        CPGameData data;
        data.playerName = "buggy";
        CPMeshManager meshes;
        CPLevel level;
        ASSERT_TRUE(level.Load("level1", false, false));
        ASSERT_TRUE(level.player);
        EXPECT_TRUE(level.player->GetCar()->GetBody());
        ASSERT_EQ(level.cars.size(), 3u);
        for (const CPRefPtr<CPPlayer>& car : level.cars)
            EXPECT_TRUE(car->GetCar() && car->GetCar()->GetBody()) << car->carModelName;
        EXPECT_EQ(level.carModels, (std::list<std::string>{"roadster1", "roadster2", "roadster3"}));
        const int pieces = CountPieces(level.GetSpline()->firstLine);
        EXPECT_GT(pieces, 90);
        EXPECT_LT(pieces, 110);
        EXPECT_EQ(level.checkpoints.size(), 2u);
        EXPECT_EQ(level.refillPads.size(), 2u);
        // The drawn road: scenery whose bounds, taken from its vertices,
        // span the stadium and its bends.
        const auto road = std::find_if(
            level.looseObjects.begin(), level.looseObjects.end(),
            [](const CPRefPtr<CPGameObject>& object) { return object->modelName == "level1_road.rdf"; });
        ASSERT_NE(road, level.looseObjects.end());
        ASSERT_TRUE((*road)->GetRenderObject());
        EXPECT_LT((*road)->bounds.min.x, -250.0f);
        EXPECT_GT((*road)->bounds.max.x, 250.0f);
        EXPECT_LT((*road)->bounds.min.y, -75.0f);
        EXPECT_GT((*road)->bounds.max.y, 75.0f);
        EXPECT_NEAR(level.startLine.y, -20.0f, 1e-4f);
        EXPECT_FLOAT_EQ(level.startPoint.z, 1.0f);
        level.Start();
        level.Stop();
    }
    g_WeightDiv = 0;
    g_PhysicsServices = saved;
    std::filesystem::current_path(previous);
}
