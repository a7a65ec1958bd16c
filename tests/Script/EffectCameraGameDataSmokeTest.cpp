#include "LuaRunner.h"

#include "Game/PCamera.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Support/TempGameRoot.h"
#include "Vehicles/PPlayer.h"
#include "Vehicles/PShotSpawner.h"

#include <gtest/gtest.h>

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

TEST_F(EffectCameraGameDataSmokeTest, HostileArgumentsWithGameDataAndLevel) {
    CPGameData data;
    auto camera = std::make_unique<CPCamera>();
    CPLevel level;
    level.camera = CPRefPtr<CPCamera>(camera.get());
    CallEverything(lua);
    level.camera = nullptr;
}

} // namespace
