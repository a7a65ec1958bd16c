// Laps, clocks and points of the race, the missions and the bonus list.
#include "Core/PGlobalTimer.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Script/Functions/RaceAccess.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptCall.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <array>

namespace {

// Lap times the scripts read as a table.
constexpr int kShownLaps = 10;
// The best lap is searched from here down.
constexpr float kNoBestTime = 100000.0f;

// Entry `index` of the lap list; an entry the list lacks reads as 0.
float LapTime(int index) {
    if (!g_GameData || index < 0 || index >= static_cast<int>(g_GameData->lapTimes.size()))
        return 0;
    return g_GameData->lapTimes[static_cast<std::size_t>(index)];
}

int PushClock(lua_State* L, float seconds) {
    ScriptCall call(L);
    call.PushClock(seconds);
    return call.Results();
}

int SetNumRounds(lua_State* L) {
    if (g_GameData)
        g_GameData->roundCount = ScriptCall(L).Int(1);
    return 0;
}

int GetRoundsNumber(lua_State* L) {
    return g_GameData ? PushNumber(L, g_GameData->roundCount) : 0;
}

int GetCurrentRound(lua_State* L) {
    return g_GameData ? PushNumber(L, g_GameData->lapCount) : 0;
}

// 40 and a table of the first ten laps: minutes, seconds, hundredths and
// whether the player has reached the lap. The table is filled at the top of
// the stack, whatever the script passed.
int UpdateRoundsTime(lua_State* L) {
    ScriptCall call(L);
    call.PushNumber(4 * kShownLaps);
    lua_createtable(L, 4 * kShownLaps, 0);
    const int lapCount = g_GameData ? g_GameData->lapCount : 0;
    for (int lap = 1; lap <= kShownLaps; ++lap) {
        const ScriptClock clock = ToScriptClock(LapTime(lap - 1));
        const int values[3] = {clock.minutes, clock.seconds, clock.hundredths};
        for (int part = 0; part < 3; ++part) {
            lua_pushnumber(L, values[part]);
            lua_rawseti(L, -2, 4 * lap - 3 + part);
        }
        lua_pushboolean(L, lapCount >= lap);
        lua_rawseti(L, -2, 4 * lap);
    }
    return 2;
}

int SetRoundTime(lua_State* L) {
    if (g_GameData)
        g_GameData->roundTime = ScriptCall(L).Float(1);
    return 0;
}

int GetRoundTime(lua_State* L) {
    return g_GameData ? PushNumber(L, g_GameData->roundTime) : 0;
}

int SetLevelTime(lua_State* L) {
    if (g_Level && g_GameData)
        g_Level->countdown = ScriptCall(L).Float(1) * g_GameData->coefficients[3];
    return 0;
}

int GetTime(lua_State* L) {
    return PushClock(L, LapTime(g_GameData ? g_GameData->lapCount - 1 : -1));
}

int GetTimeAttack(lua_State* L) {
    return PushClock(L, LapTime(0));
}

// The quickest lap driven so far; 0 when none has a time.
int GetTimeBest(lua_State* L) {
    float best = kNoBestTime;
    for (int lap = 0; g_GameData && lap < g_GameData->lapCount; ++lap) {
        const float time = LapTime(lap);
        if (time > 0 && time < best)
            best = time;
    }
    return PushClock(L, best == kNoBestTime ? 0.0f : best);
}

int GetBestTimeAttack(lua_State* L) {
    const RaceProgress* progress =
        g_GameData && g_Level ? g_GameData->GetRaceProgress(g_Level->GetLevelNumber()) : nullptr;
    return PushClock(L, progress ? progress->bestTime : 0.0f);
}

int GetCheckpointTime(lua_State* L) {
    return PushClock(L, g_Level ? g_Level->clock.checkpointTimer : 0.0f);
}

int GetFullTime(lua_State* L) {
    return PushNumber(L, g_GameTime);
}

int GetPoints(lua_State* L) {
    return g_GameData ? PushNumber(L, g_GameData->points) : 0;
}

int SetPoints(lua_State* L) {
    if (g_GameData)
        g_GameData->points = ScriptCall(L).Int(1);
    return 0;
}

int GetNumRacesPassed(lua_State* L) {
    return g_GameData ? PushNumber(L, g_GameData->racesPassed) : 0;
}

int ClearLevelTimers(lua_State*) {
    if (g_Level && g_GameData)
        g_GameData->ClearLevelTimer();
    return 0;
}

int SetTimeBonus(lua_State* L) {
    if (CPPlayer* vehicle = VehicleArgument(ScriptCall(L), 1))
        vehicle->SetBonusTimer(4.0f);
    return 0;
}

int GetCheckPointsCount(lua_State* L) {
    return g_GameData ? PushNumber(L, static_cast<double>(g_GameData->missions.size())) : 0;
}

// No results for an index outside the mission list.
int GetCheckPointInfo(lua_State* L) {
    ScriptCall call(L);
    const int index = call.Int(1);
    if (!g_GameData || index < 0 || index >= static_cast<int>(g_GameData->missions.size()))
        return 0;
    const MissionInfo& mission = g_GameData->missions[static_cast<std::size_t>(index)];
    call.PushNumber(mission.value2);
    call.PushNumber(mission.value3);
    call.PushNumber(mission.value4);
    call.PushNumber(mission.value1);
    return call.Results();
}

int AddBonus(lua_State* L) {
    const ScriptCall call(L);
    CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    if (object && g_GameData)
        g_GameData->heldObjects.push_back({object, call.Int(2)});
    return 0;
}

int EraseBonus(lua_State* L) {
    CPGameObject* object = ScriptCall(L).ObjectAs<CPGameObject>(1);
    if (!object || !g_GameData)
        return 0;
    std::vector<HeldObject>& held = g_GameData->heldObjects;
    const auto found = std::find_if(
        held.begin(), held.end(), [object](const HeldObject& entry) { return entry.object.Get() == object; });
    if (found != held.end())
        held.erase(found);
    return 0;
}

int GetBonusesCount(lua_State* L) {
    return g_GameData ? PushNumber(L, static_cast<double>(g_GameData->heldObjects.size())) : 0;
}

int ClearBonuses(lua_State*) {
    if (g_GameData)
        g_GameData->heldObjects.clear();
    return 0;
}

// {object, number} for each entry, from 1, in list order.
int GetBonusList(lua_State* L) {
    lua_newtable(L);
    if (!g_GameData)
        return 1;
    int index = 1;
    for (const HeldObject& entry : g_GameData->heldObjects) {
        lua_createtable(L, 2, 0);
        lua_pushlightuserdata(L, entry.object.Get());
        lua_rawseti(L, -2, 1);
        lua_pushnumber(L, entry.number);
        lua_rawseti(L, -2, 2);
        lua_rawseti(L, -2, index++);
    }
    return 1;
}

constexpr std::array kRaceClockFunctions = std::to_array<ScriptFunction>({
    {"SetNumRounds", SetNumRounds},
    {"GetRoundsNumber", GetRoundsNumber},
    {"GetCurrentRound", GetCurrentRound},
    {"UpdateRoundsTime", UpdateRoundsTime},
    {"SetRoundTime", SetRoundTime},
    {"GetRoundTime", GetRoundTime},
    {"SetLevelTime", SetLevelTime},
    {"GetTime", GetTime},
    {"GetTimeAttack", GetTimeAttack},
    {"GetTimeBest", GetTimeBest},
    {"GetBestTimeAttack", GetBestTimeAttack},
    {"GetCheckpointTime", GetCheckpointTime},
    {"GetFullTime", GetFullTime},
    {"GetPoints", GetPoints},
    {"SetPoints", SetPoints},
    {"GetNumRacesPassed", GetNumRacesPassed},
    {"ClearLevelTimers", ClearLevelTimers},
    {"SetTimeBonus", SetTimeBonus},
    {"GetCheckPointsCount", GetCheckPointsCount},
    {"GetCheckPointInfo", GetCheckPointInfo},
    {"AddBonus", AddBonus},
    {"EraseBonus", EraseBonus},
    {"GetBonusesCount", GetBonusesCount},
    {"ClearBonuses", ClearBonuses},
    {"GetBonusList", GetBonusList},
});

} // namespace

ScriptFunctionTable RaceClockFunctions() {
    return kRaceClockFunctions;
}
