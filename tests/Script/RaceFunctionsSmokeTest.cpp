#include "RaceScene.h"

#include "Core/PGlobalTimer.h"
#include "Interface/PInterface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

const std::vector<ScriptFunctionTable> kRaceTables = {
    LevelFunctions(),      RaceClockFunctions(), TrackFunctions(),    EnemyFunctions(),
    CarControlFunctions(), CarQueryFunctions(),  CarStateFunctions(), CarWeaponFunctions(),
};

// The functions whose text argument is required: only they may raise.
const std::set<std::string> kRequiredText = {"GetEnemyData", "SetCurrentWeapon"};

// They make, start, stop and delete the level: the sweep calls them on its
// own terms.
const std::set<std::string> kLifeCycle = {"InitLevel", "StartLevel", "StopLevel", "DeleteLevel"};

// The names each table registers, in order.
std::vector<std::string> Names(ScriptFunctionTable table) {
    std::vector<std::string> names;
    for (const ScriptFunction& function : table)
        names.emplace_back(function.name);
    return names;
}

class RaceFunctionsSmoke : public RaceScene {
protected:
    // Every function but the life cycle with every argument list; none may
    // crash, and only the required-text rows may raise.
    void Sweep(const std::string& state) {
        SCOPED_TRACE(state);
        const std::vector<std::string> argumentLists = {
            "",
            "nil, nil, nil, nil, nil, nil, nil",
            "gone, 1, 2, 3, 4, 5, 6",
            "page, true, 'x', 1, 2",
            "script, 'a', 0/0, 1e300, -1e300, 7, 8",
            "{}, {}, {}, {}, {}, {}, {}",
            "old, 'limo_i745', -5, 1/0, 3, true, 'fixed'",
        };
        for (ScriptFunctionTable table : kRaceTables) {
            for (const ScriptFunction& function : table) {
                if (kLifeCycle.contains(function.name))
                    continue;
                for (const std::string& arguments : argumentLists) {
                    const std::string call = std::string(function.name) + "(" + arguments + ")";
                    const std::string error = lua.Run(call);
                    if (!kRequiredText.contains(function.name)) {
                        EXPECT_EQ(error, "") << call;
                    }
                }
            }
        }
        g_TimeScale = 1;
    }
};

} // namespace

TEST(RaceFunctionsRegistration, TheTablesHoldEveryRaceAndCarName) {
    const std::vector<std::vector<std::string>> expected = {
        {"InitLevel",
         "StartLevel",
         "StopLevel",
         "DeleteLevel",
         "SetLevelTransportCount",
         "SetReversed",
         "SetUpdateTime",
         "IsRaceStarted",
         "SetLevelStarted",
         "IsLevelStarted",
         "IsSingleMode",
         "IsTimeMode",
         "IsWeather",
         "GetLevelSize",
         "SetPlaceToFinish",
         "ShowCheckPoint",
         "ChangeCheckpointPosition",
         "ClearTimer",
         "ClearGlobalTimer",
         "StopGlobalTimer",
         "StartGlobalTimer"},
        {"SetNumRounds",     "GetRoundsNumber", "GetCurrentRound",     "UpdateRoundsTime",
         "SetRoundTime",     "GetRoundTime",    "SetLevelTime",        "GetTime",
         "GetTimeAttack",    "GetTimeBest",     "GetBestTimeAttack",   "GetCheckpointTime",
         "GetFullTime",      "GetPoints",       "SetPoints",           "GetNumRacesPassed",
         "ClearLevelTimers", "SetTimeBonus",    "GetCheckPointsCount", "GetCheckPointInfo",
         "AddBonus",         "EraseBonus",      "GetBonusesCount",     "ClearBonuses",
         "GetBonusList"},
        {"GetPlayerPosition", "GetSplineLineCount", "GetSplineLinePoint", "GetClosestLineCenter",
         "GetPlayerSplineAngle", "CrossPlayerRay", "CrossInterfaceRay", "CheckIntersection", "SetWeaponPos",
         "IsDarkLeft", "IsLightLeft", "GetAIPositions", "GetAICount"},
        {"AddEnemy", "GetEnemyData", "IsEnemySourceNear", "GetEnemyType", "GetPositionForEnemy", "ArmEnemy",
         "EnemyAttack"},
        {"SetCarParams", "PlayerNitro", "PlayerNitroAI", "PlayerApplyImpulse", "ApplyImpulse", "Jump",
         "ThrowPlayer", "StopPlayerCar", "SetBrake", "LockPlayer", "LockPlayers", "EngineState",
         "SetPosition", "SetRotation", "GetPosition", "GetBBoxInfo"},
        {"GetObjectSpeed", "GetPlayerSpeed", "GetPlayerSpeedAI", "GetPlayerSlide", "GetPlayerDirection",
         "GetPlayerDirectionAI", "GetPlayerMass", "IsPlayerMoveForward", "IsPlayerMovingBackwards",
         "GetNitro", "IsNitro", "GetNearestAurinePlayer", "GetNearestUmbrinePlayer", "GetHelthBarCoord",
         "IsInVelm", "Clone"},
        {"DamagePlayer", "KillPlayer", "IsDead", "IsPlayerDead", "GetPlayerDamage", "GetAIDamage",
         "IsDamageMsg", "ActivateAbilities", "ActivateAbilitiesAI", "SetAbilitiesCount",
         "SetAbilitiesCountAI", "SetMaxAbilityCount", "GetPlayerMana", "SetPlayerMana", "SetKills",
         "SetPlayerType", "SetTemp", "GetTemp"},
        {"PlayerShot", "SetCurrentWeapon", "SetPrevWeapon", "SetNextWeapon", "SetShot", "SetWeaponPosAI",
         "SetMineShot", "GetRealCarInfo", "GetActiveCar", "InitWarning", "Pup", "Pdown", "Pleft", "Pright"},
    };
    std::set<std::string> all;
    ASSERT_EQ(kRaceTables.size(), expected.size());
    for (std::size_t table = 0; table < expected.size(); ++table) {
        EXPECT_EQ(Names(kRaceTables[table]), expected[table]) << table;
        for (const std::string& name : expected[table])
            all.insert(name);
    }
    EXPECT_EQ(all.size(), 130u);
    const ScriptFunctionTable level = LevelFunctions();
    const auto find = [&level](const char* name) {
        return std::find_if(level.begin(), level.end(),
                            [name](const ScriptFunction& f) { return std::string(f.name) == name; })
            ->function;
    };
    EXPECT_EQ(find("ClearTimer"), find("ClearGlobalTimer"));

    // Every name reaches the scripts.
    LuaRunner lua;
    for (const std::string& name : all)
        EXPECT_EQ(lua.Eval("type(" + name + ")"), "function") << name;
}

// Hostile arguments with no level, a loaded, a started, a stopped and a
// deleted one: cars of a deleted level, a page and a script in the place of
// a vehicle.
TEST_F(RaceFunctionsSmoke, HostileArgumentsInEveryStateOfTheLevel) {
    CPInterface page;
    lua.SetHandle("page", &page);
    lua.SetHandle("script", &scripts["main"]);
    lua.SetHandle("gone", nullptr);
    lua.SetHandle("old", nullptr);
    Sweep("no level");
    InitRing();
    lua.SetHandle("gone", &Player());
    lua.SetHandle("old", &Car(0));
    Sweep("loaded");
    ASSERT_EQ(lua.Run("StartLevel()"), "");
    Sweep("started");
    ASSERT_EQ(lua.Run("StopLevel()"), "");
    Sweep("stopped");
    ASSERT_EQ(lua.Run("DeleteLevel()"), "");
    Sweep("deleted");
    for (const char* call : {"InitLevel()", "InitLevel({}, {}, {})", "StartLevel(1)", "StopLevel('x')",
                             "StopLevel()", "DeleteLevel({})", "DeleteLevel()"})
        EXPECT_EQ(lua.Run(call), "") << call;
}
