#include "RaceScene.h"

#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Core/PObjUpdater.h"
#include "Game/PLine.h"
#include "Platform/Random.h"
#include "Render/PPerspectiveCamera.h"
#include "Vehicles/PShotSpawner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using RaceLevelFunctions = RaceScene;

// The kernel's entries of the class; with `running`, only those not stopped.
int CountTasks(const CPTaskManager& kernel, const std::string& className, bool running = true) {
    const auto& tasks = kernel.GetActiveTasks();
    return static_cast<int>(std::count_if(tasks.begin(), tasks.end(), [&](const CPRefPtr<CPTask>& task) {
        return task->GetClassName() == className && !(running && task->killFlag);
    }));
}

// Numbers of the results rounded to four digits, for results in single
// precision.
constexpr const char* kRounded =
    "function R(...) local t = {...} for i = 1, select('#', ...) do if type(t[i]) == 'number' then "
    "t[i] = string.format('%.4g', t[i]) end end return unpack(t, 1, select('#', ...)) end";

} // namespace

// A script's bolt flown into a computer car ends there and names the car;
// the car stays in the race.
TEST_F(RaceLevelFunctions, UpdateTrasserNamesTheCarTheBoltHits) {
    CPLevel& level = InitRing();
    CPShotSpawner spawner;
    g_FrameTime = 0.5f;
    const D3DXVECTOR3 at = Car(0).GetPosition();
    lua.SetHandle("car", &Car(0));
    lua.Run("bolt = StartLighting('bolt', " + std::to_string(at.x) + ", " + std::to_string(at.y - 12) + ", " +
            std::to_string(at.z) + ", 0, 1, 0)");
    EXPECT_EQ(lua.Values("(function() local r, hit repeat r, hit = UpdateTrasser(bolt) until r ~= 1 "
                         "return r, hit == car end)()"),
              "0,true");
    EXPECT_EQ(spawner.ScriptBoltCount(), 0u);
    EXPECT_EQ(level.cars.size(), 2u);
    g_FrameTime = 0;
}

TEST_F(RaceLevelFunctions, LapClocksReadTheLapList) {
    struct Case {
        std::vector<float> times;
        int lapCount;
        std::string best;
        std::string current;
    };
    const std::vector<Case> cases = {
        {{}, 2, "0,0,0", "0,0,0"},
        {{75.5f, 61.25f}, 2, "1,1,25", "1,1,25"},
        {{75.5f, 61.25f, 10.0f}, 2, "1,1,25", "1,1,25"},
        {{75.5f}, 0, "0,0,0", "0,0,0"},
        {{75.5f, 0, 59.999f}, 3, "0,59,99", "0,59,99"},
        {{30, 20}, 40, "0,20,0", "0,0,0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.best + " at lap " + std::to_string(c.lapCount));
        data.lapTimes.assign(20, 0.0f);
        std::copy(c.times.begin(), c.times.end(), data.lapTimes.begin());
        data.lapCount = c.lapCount;
        EXPECT_EQ(lua.Values("GetTimeBest()"), c.best);
        EXPECT_EQ(lua.Values("GetTime()"), c.current);
    }
    data.lapTimes[0] = 75.5f;
    EXPECT_EQ(lua.Values("GetTimeAttack()"), "1,15,50");
}

TEST_F(RaceLevelFunctions, RoundsTimeFillsItsOwnTableWhateverTheArguments) {
    data.lapTimes[0] = 75.5f;
    data.lapTimes[9] = 60.0f;
    data.lapCount = 2;
    ASSERT_EQ(lua.Run("n, t = UpdateRoundsTime('an argument', {})"), "");
    EXPECT_EQ(lua.Values("n, #t, t[1], t[2], t[3], t[4], t[8], t[12], t[37], t[40]"),
              "40,40,1,15,50,true,true,false,1,false");
}

TEST_F(RaceLevelFunctions, InitLevelOverALevelStopsAndDeletesItFirst) {
    std::string log;
    GetLog().SetSink([&log](std::string_view text) { log += text; });
    InitRing();
    ASSERT_EQ(lua.Run("StartLevel()"), "");
    EXPECT_EQ(CountTasks(kernel, "CPObjUpdater"), 1);
    InitRing();
    GetLog().SetSink({});
    EXPECT_EQ(CountTasks(kernel, "CPObjUpdater"), 0) << "the old level's task left the kernel";
    EXPECT_NE(log.find("stopped and deleted first"), std::string::npos) << log;
    EXPECT_NE(g_Level->player, nullptr) << "the new level is loaded";
    ASSERT_EQ(lua.Run("StartLevel()"), "");
    EXPECT_EQ(CountTasks(kernel, "CPObjUpdater"), 1);
}

// A script that goes on with a level that failed to load would race on a
// level without track or cars: it is told, and there is no level.
TEST_F(RaceLevelFunctions, InitLevelTellsTheScriptWhetherTheLevelLoaded) {
    TempGameRoot::WriteFile("Data/Levels/cut.lvl", "KV");
    const struct {
        const char* name;
        const char* result;
        bool level;
    } cases[] = {{"ring", "true", true}, {"missing", "false", false}, {"cut", "false", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(lua.Eval("InitLevel('" + std::string(c.name) + "')"), c.result) << c.name;
        EXPECT_EQ(g_Level != nullptr, c.level) << c.name;
        EXPECT_EQ(lua.Run("StartLevel()"), "") << c.name;
        EXPECT_EQ(CountTasks(kernel, "CPObjUpdater"), c.level ? 1 : 0) << c.name;
    }
}

// As the game's main script ends a race: stop and delete the level in one
// update at priority 20, ahead of the level's own task in the same pass.
TEST_F(RaceLevelFunctions, StopAndDeleteInOnePassFromAScript) {
    for (int cycle = 0; cycle < 2; ++cycle) {
        SCOPED_TRACE(cycle);
        InitRing();
        ASSERT_EQ(lua.Run("StartLevel()"), "");
        PassTask script(PRIORITY_MAIN_SCRIPT, 1,
                        [&](int) { EXPECT_EQ(lua.Run("StopLevel() DeleteLevel()"), ""); });
        kernel.AddTask(&script);
        EXPECT_EQ(kernel.Run(), 0);
        EXPECT_EQ(g_Level, nullptr);
    }
    EXPECT_EQ(lua.Run("DeleteLevel() StopLevel() StartLevel()"), "") << "nothing to do without a level";
}

TEST_F(RaceLevelFunctions, DeleteLevelStopsAStartedLevelFirst) {
    InitRing();
    ASSERT_EQ(lua.Run("StartLevel()"), "");
    ASSERT_EQ(lua.Run("DeleteLevel()"), "");
    EXPECT_EQ(g_Level, nullptr);
    EXPECT_EQ(CountTasks(kernel, "CPObjUpdater"), 0);
    EXPECT_EQ(CountTasks(kernel, "CPPhysics"), 0) << "the race's tasks were stopped";
}

TEST_F(RaceLevelFunctions, ClearTimerZeroesTheFrameForLaterTasks) {
    std::vector<float> seen;
    PassTask clock(PRIORITY_TIMER, 1, [](int) { g_FrameTime = 0.25f; });
    PassTask before(15, 1, [&](int) { seen.push_back(g_FrameTime); });
    PassTask script(PRIORITY_MAIN_SCRIPT, 1, [&](int) { lua.Run("ClearGlobalTimer()"); });
    PassTask after(30, 1, [&](int) { seen.push_back(g_FrameTime); });
    for (CPTask* task : std::initializer_list<CPTask*>{&clock, &before, &script, &after})
        kernel.AddTask(task);
    kernel.Run();
    EXPECT_EQ(seen, (std::vector<float>{0.25f, 0.0f}));
}

// The script stops the clock in pass 2 and starts it in pass 5; in pass 7 it
// stops and starts it at once.
TEST_F(RaceLevelFunctions, StoppedGlobalTimerFreezesTheFrameUntilStarted) {
    CPGlobalTimer timer;
    timer.priority = PRIORITY_TIMER;
    kernel.AddTask(&timer);
    std::vector<float> frames;
    std::vector<int> listed;
    PassTask script(PRIORITY_MAIN_SCRIPT, 9, [&](int pass) {
        const char* calls[] = {"",
                               "",
                               "StopGlobalTimer()",
                               "",
                               "",
                               "StartGlobalTimer()",
                               "",
                               "StopGlobalTimer() StartGlobalTimer()",
                               "",
                               ""};
        EXPECT_EQ(lua.Run(calls[pass]), "");
        // A pass takes some time, so a running clock shows it.
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(2)) {
        }
    });
    PassTask reader(30, 9, [&](int) {
        frames.push_back(g_FrameTime);
        listed.push_back(CountTasks(kernel, "CPGlobalTimer", false));
    });
    PassTask ender(40, 9, [&](int pass) {
        if (pass == 9)
            kernel.KillAllTasks();
    });
    for (CPTask* task : std::initializer_list<CPTask*>{&script, &reader, &ender})
        kernel.AddTask(task);
    kernel.Run();
    ASSERT_EQ(frames.size(), 9u);
    EXPECT_GT(frames[0], 0.0f);
    for (int pass : {2, 3, 4, 5, 7})
        EXPECT_EQ(frames[static_cast<std::size_t>(pass - 1)], 0.0f) << pass;
    EXPECT_GT(frames[5], 0.0f) << "running again";
    EXPECT_GT(frames[7], 0.0f) << "running after the stop and start";
    EXPECT_EQ(listed, (std::vector<int>{1, 1, 0, 0, 1, 1, 1, 1, 1})) << "listed once, never twice";
}

TEST_F(RaceLevelFunctions, TrackLineQueries) {
    InitRing();
    EXPECT_EQ(lua.Values("GetClosestLineCenter(500, 500, 0, 0)"), "") << "far from every line";
    ASSERT_EQ(lua.Run("x, y, h, a = GetClosestLineCenter(100, 0, 0, 0)"), "");
    EXPECT_EQ(lua.Eval("h"), "0.5");
    EXPECT_LT(std::stod(lua.Eval("(x - 100)^2 + y^2")), 400.0);
    ASSERT_EQ(lua.Run("px, py = GetClosestLineCenter(100, 0, 0, 1)"), "");
    const CPLine* first = g_Level->GetSpline()->firstLine;
    EXPECT_EQ(lua.Values("GetSplineLinePoint(-3)"), lua.Values("GetSplineLinePoint(0)"));
    EXPECT_NEAR(std::stod(lua.Eval("select(1, GetSplineLinePoint(1))")), first->next->centre.x, 1e-4);
    EXPECT_EQ(lua.Values("GetSplineLineCount()"), "1");
}

// A count past the ring's length goes round it: any int count, and any
// number read as one, names the line that many links on, found without
// walking every lap.
TEST_F(RaceLevelFunctions, LineCountsBeyondTheRingGoRoundIt) {
    InitRing();
    const CPLine* first = g_Level->GetSpline()->firstLine;
    long long ring = 1;
    for (const CPLine* line = first->next; line != first; line = line->next)
        ++ring;
    const long long intMax = 2147483647LL;
    const auto wrapped = [ring](long long n) { return std::to_string(((n % ring) + ring) % ring); };
    const struct {
        const char* function;
        std::string count;
        std::string same;
    } cases[] = {
        {"GetSplineLinePoint(%s)", std::to_string(ring), "0"},
        {"GetSplineLinePoint(%s)", std::to_string(ring + 3), "3"},
        {"GetSplineLinePoint(%s)", "1e9", wrapped(1000000000)},
        {"GetSplineLinePoint(%s)", "2^31 - 1", wrapped(intMax)},
        {"GetSplineLinePoint(%s)", "1e300", wrapped(intMax)},
        {"GetClosestLineCenter(100, 0, 0, %s)", std::to_string(ring + 2), "2"},
        {"GetClosestLineCenter(100, 0, 0, %s)", std::to_string(-ring - 2), "-2"},
        {"GetClosestLineCenter(100, 0, 0, %s)", "-2^31", "-" + wrapped(intMax + 1)},
        {"GetClosestLineCenter(100, 0, 0, %s)", "-1e300", "-" + wrapped(intMax + 1)},
        {"GetClosestLineCenter(100, 0, 0, %s)", "1e300", wrapped(intMax)},
    };
    const auto call = [](const char* function, const std::string& count) {
        std::string text = function;
        return text.replace(text.find("%s"), 2, count);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(call(c.function, c.count));
        const std::string expected = lua.Values(call(c.function, c.same));
        ASSERT_NE(expected, "");
        EXPECT_EQ(lua.Values(call(c.function, c.count)), expected);
    }
}

// The angle is that of the line nearest the player's car, found again from
// the kept line, from the current one when asked and in a new level.
TEST_F(RaceLevelFunctions, PlayerSplineAngleFollowsTheCarAcrossLevels) {
    const auto expected = [] {
        CPLine* start = nullptr;
        float radius = 20;
        float angle =
            g_Level->GetSpline()->FindClosestLine(g_Level->cameraTarget->GetPosition(), radius, 0, start);
        return std::fmod(angle + 2 * std::numbers::pi_v<float>, 2 * std::numbers::pi_v<float>);
    };
    InitRing();
    g_Level->targetHeading = 1.5f;
    ASSERT_EQ(lua.Run("heading, angle = GetPlayerSplineAngle()"), "");
    EXPECT_EQ(lua.Eval("heading"), "1.5");
    EXPECT_NEAR(std::stod(lua.Eval("angle")), expected(), 1e-5);
    Player().SetPosition({0, 100, 0});
    EXPECT_NEAR(std::stod(lua.Eval("select(2, GetPlayerSplineAngle(true))")), expected(), 1e-5);
    InitRing();
    EXPECT_NEAR(std::stod(lua.Eval("select(2, GetPlayerSplineAngle())")), expected(), 1e-5)
        << "the old level's line is never used";
    ASSERT_EQ(lua.Run("DeleteLevel()"), "");
    EXPECT_EQ(lua.Values("GetPlayerSplineAngle()"), "");
}

TEST_F(RaceLevelFunctions, PlayerRayIsFreeOnTheRoadAndBlockedAtAnObstacle) {
    ASSERT_EQ(lua.Run(kRounded), "");
    EXPECT_EQ(lua.Values("R(CrossPlayerRay(0, 0, 1, 0, 3, 4))"), "false,0,0.6,0.8") << "no level";
    InitRing();
    struct Case {
        const char* call;
        const char* results;
    };
    for (const Case& c : {Case{"CrossPlayerRay(130, 0, 5, 0, 0, -10)", "false,0,0,-1"},
                          Case{"CrossPlayerRay(0, 0, 5, 0, 10, 0)", "true,0,10,0"},
                          Case{"CrossPlayerRay(1, 2, 3, 0, 0, 0)", "true,0,0,0"}}) {
        EXPECT_EQ(lua.Values(std::string("R(") + c.call + ")"), c.results) << c.call;
    }
}

TEST_F(RaceLevelFunctions, InterfaceRayMeetsTheGroundUnderTheScreenPoint) {
    EXPECT_EQ(lua.Values("CrossInterfaceRay(0.5, 0.5)"), "false,userdata: (nil),0,0,0");
    InitRing();
    CPPerspectiveCamera& view = *g_Level->GetCamera()->GetMainCamera();
    AimMainCamera(view, {0, -10, 10}, {0, 0, 0});
    ASSERT_EQ(lua.Run("hit, object, x, y, z = CrossInterfaceRay(0.5, 0.5)"), "");
    EXPECT_EQ(lua.Values("hit, z"), "false,0");
    EXPECT_NEAR(std::stod(lua.Eval("x")), 0.0, 1e-3);
    EXPECT_NEAR(std::stod(lua.Eval("y")), 0.0, 1e-3);
    // The bottom edge looks 45 degrees further down: straight down at (0, -10).
    ASSERT_EQ(lua.Run("hit, object, x, y = CrossInterfaceRay(0.5, 1)"), "");
    EXPECT_NEAR(std::stod(lua.Eval("y")), -10.0, 1e-3);
    // Looking level, the ray never meets the ground: the point under the eye.
    AimMainCamera(view, {3, -10, 10}, {3, 0, 10});
    ASSERT_EQ(lua.Run("hit, object, x, y = CrossInterfaceRay(0.5, 0.5)"), "");
    EXPECT_EQ(lua.Values("x, y"), "3,-10");
}

TEST_F(RaceLevelFunctions, RadarPlacesRacersAroundThePlayer) {
    EXPECT_EQ(lua.Values("GetAIPositions()"), "");
    InitRing();
    g_ScreenWidth = 1024;
    g_Level->grid.extentX = 1000;
    g_Level->grid.extentY = 500;
    Player().SetPosition({97, 0, 0});
    Player().SetFlags(PLAYER_UMBRINE);
    // Positions are kept by the car's index: the first car is the dark
    // side's coupe, the second the light side's scout, the sixth missing.
    Car(0).SetModelName("coupe_tt");
    Car(1).SetModelName("scout");
    data.racerTable["0"] = {.x = 197, .y = 0};
    data.racerTable["1"] = {.x = 97, .y = 50};
    data.racerTable["5"] = {.x = -203, .y = 0};
    const auto radar = [&] {
        EXPECT_EQ(lua.Run("n, t = GetAIPositions('x')"), "");
        std::vector<std::string> entries;
        for (int i = 1; i <= 9; i += 3)
            entries.push_back(lua.Values("t[" + std::to_string(i) + "], t[" + std::to_string(i + 1) +
                                         "], t[" + std::to_string(i + 2) + "]"));
        std::sort(entries.begin(), entries.end());
        EXPECT_EQ(lua.Eval("n"), "9");
        return entries;
    };
    // Heading a quarter turn: the offsets as they are, y flipped.
    g_Level->GetCamera()->heading = std::numbers::pi_v<float> / 2;
    EXPECT_EQ(radar(), (std::vector<std::string>{"1074,100,false", "915,75,false", "965,100,true"}));
    // Heading a half turn: turned a further quarter.
    g_Level->GetCamera()->heading = std::numbers::pi_v<float>;
    EXPECT_EQ(radar(), (std::vector<std::string>{"915,-50,false", "915,150,true", "940,100,false"}));
    g_Level->grid.extentX = g_Level->grid.extentY = 0;
    EXPECT_EQ(lua.Values("GetAIPositions()"), "") << "no radar scale";
}

TEST_F(RaceLevelFunctions, SpawnPointsStayNearThePlayerInsideTheLevel) {
    InitRing();
    g_Level->grid.extentX = g_Level->grid.extentY = 400;
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        PlatSRand(seed);
        g_Level->targetSpeed = seed % 2 ? 5.0f : 0.0f;
        ASSERT_EQ(lua.Run("ok, x, y = GetPositionForEnemy('e', 1, nil, 0, 0)"), "");
        const double x = std::stod(lua.Eval("x")), y = std::stod(lua.Eval("y"));
        EXPECT_LE(std::hypot(x - 97, y), 45.0) << seed;
        EXPECT_EQ(lua.Eval("ok"), (std::fabs(x) <= 180 && std::fabs(y) <= 180) ? "true" : "false") << seed;
        ASSERT_EQ(lua.Run("fixed = {GetPositionForEnemy('e', 1, 'fixed', 10, 20)}"), "");
        EXPECT_EQ(lua.Values("fixed[1], fixed[2], fixed[3]"), "true,12,22") << seed;
    }
}

TEST_F(RaceLevelFunctions, EnemySourcesAroundThePlayer) {
    InitRing();
    data.sources["north"] = {{.position = {97, 30, 0}, .side = true, .names = {{"raider", 0, 100}}},
                             {.position = {97, 10, 0}, .side = true, .names = {{"close", 0, 100}}},
                             {.position = {127, 0, 0}, .side = false, .names = {{"other", 0, 100}}}};
    EXPECT_EQ(lua.Values("IsEnemySourceNear(true, 'north'), IsEnemySourceNear(false, 'south')"),
              "true,false");
    EXPECT_EQ(lua.Values("GetEnemyType('north', true)"), "raider,true,97,30");
    EXPECT_EQ(lua.Values("GetEnemyType('north', false)"), "other,true,127,0");
    EXPECT_EQ(lua.Values("GetEnemyType(3, true)"), "") << "no mission 3";
    data.missions.resize(1);
    data.missions[0].enemies = {{"scout", 0, 100}};
    EXPECT_EQ(lua.Values("GetEnemyType(1, true)"), "scout,false,97,0");
    EXPECT_EQ(lua.Values("GetEnemyData('ghost')"), "0,,0,,");
}

// The bonus list never names an object that a deleted level took with it,
// whatever the script does next.
TEST_F(RaceLevelFunctions, BonusEntriesLeaveWithTheObjectsOfADeletedLevel) {
    const std::vector<std::string> afterwards = {
        "ClearBonuses()",
        "ClearGameData()",
        "InitLevel('ring') StartLevel()",
        "",
    };
    for (const std::string& next : afterwards) {
        SCOPED_TRACE(next);
        CPLevel& level = InitRing();
        ASSERT_FALSE(level.looseObjects.empty());
        lua.SetHandle("car", &Player());
        lua.SetHandle("scenery", level.looseObjects.front().Get());
        ASSERT_EQ(lua.Run("AddBonus(car, 1) AddBonus(scenery, 2) StartLevel()"), "");
        ASSERT_EQ(lua.Values("GetBonusesCount()"), "2");
        ASSERT_EQ(lua.Run("StopLevel() DeleteLevel()"), "");
        EXPECT_EQ(lua.Values("GetBonusesCount()"), "0");
        EXPECT_EQ(lua.Run(next), "");
        EXPECT_EQ(lua.Values("GetBonusesCount(), #GetBonusList()"), "0,0");
        EXPECT_EQ(lua.Run("StopLevel() DeleteLevel()"), "");
    }
}
