#include "RaceScene.h"

#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Interface/PInterface.h"
#include "Platform/Win32Shell.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

namespace {

// The level's life cycle sets the sweep's states; the others would end the
// run, stop the scripts, wait for the next frame or open a browser.
const std::set<std::string> kNotSwept = {"InitLevel",   "StartLevel",   "StopLevel",
                                         "DeleteLevel", "KillAllTasks", "StopScript",
                                         "Update",      "GoURL",        "GoURLlink"};

// The most arguments a script function reads (SetCarInfo's eleven fields).
constexpr int kPositions = 11;

// The driver, in Lua so that a call costs no compilation: each hostile
// value in each argument position of each function in turn, the other
// positions holding `live` and ones; then every function without
// arguments, as a getter, on whatever the hostile calls left. It returns
// the errors that are not a function's own refusal of a bad argument.
constexpr const char* kDriver = R"lua(
local hostile = {n = 12, nil, {}, "text", 0/0, 1/0, -1/0, 1e300, -1e300, -2^31, -1, stale, foreign}
function Sweep(names, live, positions)
    local errors = {}
    local function call(name, ...)
        local ok, message = pcall(_G[name], ...)
        if not ok and not string.find(tostring(message), "bad argument", 1, true) then
            errors[#errors + 1] = name .. ": " .. tostring(message)
        end
    end
    for v = 1, hostile.n do
        for _, name in ipairs(names) do
            for p = 1, positions do
                local args = {live}
                for i = 2, positions do args[i] = 1 end
                args[p] = hostile[v]
                call(name, unpack(args, 1, positions))
            end
        end
        for _, name in ipairs(names) do
            call(name)
        end
    end
    return table.concat(errors, "\n")
end
)lua";

// Every script function's name but those the sweep leaves alone.
std::string SweptNames() {
    std::string names = "{";
    const ScriptFunctionTable tables[] = {
        ObjectFunctions(),    InterfaceFunctions(),  GameInterfaceFunctions(), SoundFunctions(),
        SystemFunctions(),    LevelFunctions(),      RaceClockFunctions(),     TrackFunctions(),
        EnemyFunctions(),     CarControlFunctions(), CarQueryFunctions(),      CarStateFunctions(),
        CarWeaponFunctions(), EffectFunctions(),     CameraFunctions(),        ShopFunctions(),
        ProfileFunctions(),   SaveGameFunctions()};
    for (const ScriptFunctionTable& table : tables) {
        for (const ScriptFunction& function : table) {
            if (!kNotSwept.contains(function.name))
                names += std::string("'") + function.name + "',";
        }
    }
    return names + "}";
}

// The ring race as the scripts see it, with a page for a foreign handle (a
// page where a car is expected, and the other way round) and a car deleted
// before the sweep for a stale one. The log is dropped: the sweep makes
// hundreds of thousands of refusals.
class HostileSweep : public RaceScene {
protected:
    void SetUp() override {
        RaceScene::SetUp();
        GetLog().SetSink([](std::string_view) {});
        PlatSetShellRecorder([](const std::string&, const std::string&) {});
        auto gone = std::make_unique<CPPlayer>();
        lua.SetHandle("stale", gone.get());
        gone.reset();
        lua.SetHandle("foreign", &page);
        ASSERT_EQ(lua.Run(kDriver), "");
        ASSERT_EQ(lua.Run("names = " + SweptNames()), "");
    }
    void TearDown() override {
        // SetTemp swept with hostile numbers leaves the game's speed at 0.
        g_TimeScale = 1;
        PlatSetShellRecorder({});
        GetLog().SetSink({});
        RaceScene::TearDown();
    }

    // One sweep with `live` in the first position; no call may fail but by
    // refusing an argument, and a car of the level keeps finite numbers.
    void Sweep(const std::string& state, const std::string& live) {
        SCOPED_TRACE(state);
        EXPECT_EQ(lua.Eval("Sweep(names, " + live + ", " + std::to_string(kPositions) + ")"), "");
        if (!g_Level || !g_Level->cameraTarget)
            return;
        const D3DXVECTOR3 at = Player().GetPosition();
        for (float value : {at.x, at.y, at.z})
            EXPECT_TRUE(std::isfinite(value)) << state;
    }

    CPInterface page;
};

} // namespace

TEST_F(HostileSweep, EveryValueInEveryPositionOfEveryFunctionInEveryStateOfTheLevel) {
    Sweep("no level", "foreign");
    // The sweep named cars that do not exist as the player's.
    data.playerName = "buggy";
    data.extraCarCount = 0;
    ASSERT_NE(&InitRing(), nullptr);
    lua.SetHandle("player", &Player());
    Sweep("loaded", "player");
    ASSERT_EQ(lua.Run("StartLevel() SetLevelStarted(true) SetUpdateTime(true)"), "");
    Sweep("racing", "player");
    ASSERT_EQ(lua.Run("StopLevel()"), "");
    Sweep("stopped", "player");
    ASSERT_EQ(lua.Run("DeleteLevel()"), "");
    // The deleted level's car is now a stale handle in the first position.
    Sweep("deleted", "player");
}
