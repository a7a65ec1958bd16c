#pragma once

#include "Core/PSettings.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PMeshManager.h"
#include "Game/PhysicsConnections.h"
#include "Physics/PPhysics.h"
#include "Physics/PhysicsServices.h"
#include "Support/TestScripts.h"
#include "Vehicles/AI_Task.h"
#include "Vehicles/CarConnections.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

// The demo level as the build made it, loaded with the real mesh manager and
// physics from the built Data tree, with the scripts "game_interface" and
// "jeep" running.
class DemoLevel : public ::testing::Test {
protected:
    void SetUp() override {
        scripts["game_interface"].Start();
        scripts["jeep"].Start();
        std::filesystem::current_path(std::filesystem::path(KV_BUILD_DATA).parent_path());
        ConnectPhysicsToGameObjects();
        ConnectPhysicsToCars();
        g_WeightDiv = 1;
        physics = std::make_unique<CPPhysics>();
        data.playerName = "buggy";
    }
    void TearDown() override {
        physics.reset();
        g_WeightDiv = 0;
        g_PhysicsServices = saved;
        std::filesystem::current_path(previous);
    }

    TestScripts scripts{{"game_interface", "jeep"}};
    const std::filesystem::path previous = std::filesystem::current_path();
    const PhysicsServices saved = g_PhysicsServices;
    std::unique_ptr<CPPhysics> physics;
    AI_Task drivers;
    CPGameData data;
    CPMeshManager meshes;
};
