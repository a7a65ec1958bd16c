// The race level's life cycle, its modes and the frame clock.
#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Particles/PParticlesManager.h"
#include "Script/Functions/RaceAccess.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptCall.h"

#include <array>

namespace {

void StopCurrentLevel() {
    if (g_ParticlesManager)
        g_ParticlesManager->ClearAll();
    g_Level->Stop();
}

// A started level keeps its update task; it leaves the kernel before the
// level goes.
void DeleteCurrentLevel() {
    if (g_Level->updaterTask)
        StopCurrentLevel();
    delete g_Level;
    ForgetKeptSplineLine();
}

// A level over the current one would leave the old one's tasks in the kernel:
// the old level is stopped and deleted first. True when the level loaded; a
// level that failed to load is deleted (it has no track or cars to race),
// so the script can go back to its menu.
int InitLevel(lua_State* L) {
    ScriptCall call(L);
    const std::string name = call.LooseText(1);
    const bool single = call.Bool(2), time = call.Bool(3);
    if (g_Level) {
        GetLog().Print(0, "InitLevel: the level still loaded is stopped and deleted first\n");
        DeleteCurrentLevel();
    }
    auto* level = new CPLevel();
    const bool loaded = level->Load(name, single, time);
    if (!loaded) {
        GetLog().Print(0, "InitLevel: level %s could not be loaded\n", name.c_str());
        DeleteCurrentLevel();
    }
    call.PushBool(loaded);
    return call.Results();
}

int StartLevel(lua_State*) {
    if (g_Level)
        g_Level->Start();
    return 0;
}

int StopLevel(lua_State*) {
    if (g_Level)
        StopCurrentLevel();
    return 0;
}

int DeleteLevel(lua_State*) {
    if (g_Level)
        DeleteCurrentLevel();
    return 0;
}

int SetLevelTransportCount(lua_State* L) {
    if (g_GameData)
        g_GameData->extraCarCount = ScriptCall(L).Int(1);
    return 0;
}

int SetReversed(lua_State* L) {
    if (g_Level)
        g_Level->reverse = ScriptCall(L).Bool(1);
    return 0;
}

int SetUpdateTime(lua_State* L) {
    if (g_Level)
        g_Level->laps.lapTiming = ScriptCall(L).Bool(1);
    return 0;
}

// A level flag as a result; no result without a level.
int PushLevelFlag(lua_State* L, bool (*flag)(const CPLevel& level)) {
    ScriptCall call(L);
    if (g_Level)
        call.PushBool(flag(*g_Level));
    return call.Results();
}

int IsRaceStarted(lua_State* L) {
    return PushLevelFlag(L, [](const CPLevel& level) { return level.laps.lapTiming; });
}

int IsSingleMode(lua_State* L) {
    return PushLevelFlag(L, [](const CPLevel& level) { return level.singleMode; });
}

int IsTimeMode(lua_State* L) {
    return PushLevelFlag(L, [](const CPLevel& level) { return level.timeMode; });
}

int SetLevelStarted(lua_State* L) {
    if (g_GameData)
        g_GameData->levelStarted = ScriptCall(L).Bool(1);
    return 0;
}

int IsLevelStarted(lua_State* L) {
    ScriptCall call(L);
    if (g_GameData)
        call.PushBool(g_GameData->levelStarted);
    return call.Results();
}

int IsWeather(lua_State* L) {
    ScriptCall call(L);
    call.PushBool(g_Weather != 0);
    return call.Results();
}

int GetLevelSize(lua_State* L) {
    ScriptCall call(L);
    if (g_Level) {
        call.PushNumber(g_Level->grid.extentX);
        call.PushNumber(g_Level->grid.extentY);
    }
    return call.Results();
}

int SetPlaceToFinish(lua_State* L) {
    if (g_Level)
        g_Level->placeToFinish = ScriptCall(L).Int(1);
    return 0;
}

int ShowCheckPoint(lua_State*) {
    if (g_Level)
        g_Level->ShowCurrentCheckpoint();
    return 0;
}

int ChangeCheckpointPosition(lua_State* L) {
    const ScriptCall call(L);
    if (!g_Level || !g_Level->shownCheckpoint)
        return 0;
    CPGameObject& checkpoint = *g_Level->shownCheckpoint;
    checkpoint.SetPosition({call.Float(1), call.Float(2), 0});
    checkpoint.UpdateHierarchy();
    return 0;
}

// Tasks later in this pass see no time pass.
int ClearTimer(lua_State*) {
    g_FrameTime = 0;
    return 0;
}

// The kernel drops the timer at its next turn; until it runs again no time
// passes.
int StopGlobalTimer(lua_State*) {
    if (g_GlobalTimer)
        g_GlobalTimer->Stop();
    g_FrameTime = 0;
    return 0;
}

// A timer stopped in this pass is still listed: the kernel starts it again
// in place rather than listing it twice.
int StartGlobalTimer(lua_State*) {
    if (!g_GlobalTimer || !g_TaskManager || g_GlobalTimer->running)
        return 0;
    g_TaskManager->AddTask(g_GlobalTimer);
    return 0;
}

constexpr std::array kLevelFunctions = std::to_array<ScriptFunction>({
    {"InitLevel", InitLevel},
    {"StartLevel", StartLevel},
    {"StopLevel", StopLevel},
    {"DeleteLevel", DeleteLevel},
    {"SetLevelTransportCount", SetLevelTransportCount},
    {"SetReversed", SetReversed},
    {"SetUpdateTime", SetUpdateTime},
    {"IsRaceStarted", IsRaceStarted},
    {"SetLevelStarted", SetLevelStarted},
    {"IsLevelStarted", IsLevelStarted},
    {"IsSingleMode", IsSingleMode},
    {"IsTimeMode", IsTimeMode},
    {"IsWeather", IsWeather},
    {"GetLevelSize", GetLevelSize},
    {"SetPlaceToFinish", SetPlaceToFinish},
    {"ShowCheckPoint", ShowCheckPoint},
    {"ChangeCheckpointPosition", ChangeCheckpointPosition},
    {"ClearTimer", ClearTimer},
    {"ClearGlobalTimer", ClearTimer},
    {"StopGlobalTimer", StopGlobalTimer},
    {"StartGlobalTimer", StartGlobalTimer},
});

} // namespace

ScriptFunctionTable LevelFunctions() {
    return kLevelFunctions;
}
