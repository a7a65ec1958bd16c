#include "LuaRunner.h"

#include "Game/PCamera.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Interface/InterfacePages.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/PScriptManager.h"
#include "Support/TempGameRoot.h"
#include "Vehicles/PPlayer.h"
#include "Vehicles/PShotSpawner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

namespace {

// The functions whose text argument is required: only they may raise.
const std::set<std::string> kRequiredText = {"Shot", "FindObject"};

const std::vector<std::string> kArgumentLists = {
    "",
    "nil",
    "bolt, 'a', 1, 2, 3, 4, 5, 6",
    "car, 'a', 1, 2, 3, 4, 5, 6",
    "livecar, 'a', true, 2, 3, 4, 5, 6",
    "{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}",
    "'x', 1e300, -1e300, 0/0, true, -5, 0/0, 1e300, 'y', 'z', 'w', 1, 2, 3, 4",
};

// Calls every effect, camera, shop, profile and save function with every
// argument list; none may crash, and only the required-text rows may raise.
std::size_t CallEverything(LuaRunner& lua) {
    std::size_t functions = 0;
    for (const ScriptFunctionTable& table :
         {EffectFunctions(), CameraFunctions(), ShopFunctions(), ProfileFunctions(), SaveGameFunctions()}) {
        for (const ScriptFunction& function : table) {
            ++functions;
            for (const std::string& arguments : kArgumentLists) {
                const std::string call = std::string(function.name) + "(" + arguments + ")";
                const std::string error = lua.Run(call);
                if (!kRequiredText.contains(function.name)) {
                    EXPECT_EQ(error, "") << call;
                }
            }
        }
    }
    return functions;
}

class EffectCameraGameDataSmokeTest : public ::testing::Test {
protected:
    EffectCameraGameDataSmokeTest() {
        // A bolt the stopped race took away, and a deleted car. The bolts
        // started later go with the spawner.
        lua.Run("bolt = StartLighting('bolt', 0, 0, 0, 1, 0, 0)");
        spawner.StopTask();
        auto gone = std::make_unique<CPPlayer>();
        lua.SetHandle("car", gone.get());
        gone.reset();
        lua.SetHandle("livecar", &liveCar);
    }

    TempGameRoot root;
    CPShotSpawner spawner;
    CPPlayer liveCar;
    LuaRunner lua;
};

TEST_F(EffectCameraGameDataSmokeTest, HostileArgumentsWithoutGameDataOrLevel) {
    EXPECT_EQ(CallEverything(lua), 89u);
}

// With game data and a level every function acts on them: none may leave a
// number that is not finite in the camera or the player's data, and what
// they make (the lens flare) goes with the script manager.
TEST_F(EffectCameraGameDataSmokeTest, HostileArgumentsWithGameDataAndLevel) {
    const std::size_t pages = g_InterfacePages.size();
    {
        CPScriptManager scripts;
        CPGameData data;
        auto camera = std::make_unique<CPCamera>();
        CPLevel level;
        level.camera = CPRefPtr<CPCamera>(camera.get());
        EXPECT_EQ(CallEverything(lua), 89u);
        EXPECT_EQ(level.camera.Get(), camera.get());
        for (float value : {camera->distance, camera->targetDistance, camera->heading, camera->pitchBase,
                            camera->fov, camera->targetFov, camera->speed, camera->tilt, camera->targetTilt})
            EXPECT_TRUE(std::isfinite(value)) << value;
        EXPECT_TRUE(std::isfinite(data.money)) << data.money;
        for (float coefficient : data.coefficients)
            EXPECT_TRUE(std::isfinite(coefficient)) << coefficient;
        EXPECT_NE(level.lensFlare.Get(), nullptr) << "SetLensFlare made a flare for the level";
        level.camera = nullptr;
    }
    EXPECT_EQ(g_InterfacePages.size(), pages) << "the flare outlived the script manager";
}

} // namespace
