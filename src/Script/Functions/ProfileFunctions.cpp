#include "Core/PSettings.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptCall.h"
#include "Vehicles/PPlayer.h"

#include <array>
#include <cstdio>
#include <map>

namespace {

// The computer cars' ids in the ranking panel, then the player's.
constexpr std::array<const char*, 5> kRacerIds = {"0", "1", "2", "3", "4"};
constexpr const char* kPlayerId = "10";

int SetPlayerName(lua_State* L) {
    const std::string name = ScriptCall(L).LooseText(1);
    if (g_GameData)
        g_GameData->playerName = CPGameData::CapName(name);
    return 0;
}

// With an argument, the name of the car it names ("" for anything else);
// without, the player's name.
int GetPlayerName(lua_State* L) {
    ScriptCall call(L);
    if (lua_gettop(L) >= 1) {
        const CPPlayer* car = call.ObjectAs<CPPlayer>(1);
        call.PushText(car ? car->GetName() : std::string());
    } else {
        call.PushText(g_GameData ? g_GameData->playerName : std::string());
    }
    return call.Results();
}

int SetProfileName(lua_State* L) {
    const std::string name = ScriptCall(L).LooseText(1);
    if (g_GameData)
        g_GameData->ChangeProfile(name);
    return 0;
}

int GetProfileName(lua_State* L) {
    ScriptCall call(L);
    call.PushText(g_GameData ? g_GameData->profileName : std::string());
    return call.Results();
}

int SetCurrentMission(lua_State* L) {
    const int mission = ScriptCall(L).Int(1);
    if (g_GameData)
        g_GameData->currentMission = mission;
    return 0;
}

int GetCurrentMission(lua_State* L) {
    ScriptCall call(L);
    call.PushNumber(g_GameData ? g_GameData->currentMission : 0);
    return call.Results();
}

int SetNumRacesPassed(lua_State* L) {
    const int races = ScriptCall(L).Int(1);
    if (g_GameData)
        g_GameData->racesPassed = races;
    return 0;
}

int LoadMissionInfo(lua_State* L) {
    const std::string name = ScriptCall(L).LooseText(1);
    if (g_GameData)
        g_GameData->LoadMissionInfo(name);
    return 0;
}

int ClearGameData(lua_State*) {
    if (g_GameData)
        g_GameData->Clear();
    return 0;
}

// The camera-speed setting doubles as the difficulty switch.
int SetDifficulty(lua_State* L) {
    g_CamSpeed = ScriptCall(L).Int(1);
    return 0;
}

int GetDifficulty(lua_State* L) {
    ScriptCall call(L);
    call.PushBool(g_CamSpeed != 0);
    return call.Results();
}

int SetDifficult(lua_State* L) {
    const bool difficult = ScriptCall(L).Bool(1);
    if (!g_GameData)
        return 0;
    g_GameData->difficultFlag = difficult;
    g_GameData->LoadCoefficients();
    return 0;
}

int GetDifficult(lua_State* L) {
    ScriptCall call(L);
    call.PushNumber(g_GameData && g_GameData->difficultFlag ? 1 : 0);
    return call.Results();
}

int GetCurrentResolution(lua_State* L) {
    ScriptCall call(L);
    call.PushNumber(g_ScreenWidth);
    return call.Results();
}

// The lines of record table 1 to 6 as {name, "mm:ss:hh"}; an empty table for
// other numbers.
int GetRecords(lua_State* L) {
    ScriptCall call(L);
    const int table = call.Int(1);
    call.PushTextTable({});
    if (!g_GameData || table < 1 || table > kScoreTableCount)
        return call.Results();
    int index = 1;
    for (const ScoreLine& line : g_GameData->scoreTables[static_cast<std::size_t>(table - 1)]) {
        char result[48] = "";
        if (!line.name.empty())
            std::snprintf(result, sizeof(result), "%02d:%02d:%02d", line.a, line.b, line.c);
        luaL_checkstack(L, 3, "too many results");
        lua_createtable(L, 2, 0);
        lua_pushlstring(L, line.name.data(), line.name.size());
        lua_rawseti(L, -2, 1);
        lua_pushstring(L, result);
        lua_rawseti(L, -2, 2);
        lua_rawseti(L, -2, index++);
    }
    return call.Results();
}

ScoreLine LapLine(const std::string& name, float seconds) {
    const ScriptClock clock = ToScriptClock(seconds);
    return ScoreLine{name, clock.minutes, clock.seconds, clock.hundredths};
}

// Offers the player's best lap of the race to the record table; among equal
// laps the earlier one counts.
int CheckPlayerRecords(lua_State* L) {
    ScriptCall call(L);
    const int table = call.Int(1);
    bool taken = false;
    if (g_GameData && !g_GameData->lapTimes.empty()) {
        CPGameData& data = *g_GameData;
        const std::size_t laps =
            std::min(data.lapTimes.size(), static_cast<std::size_t>(std::max(data.roundCount, 1)));
        ScoreLine best = LapLine(data.profileName, data.lapTimes[0]);
        for (std::size_t lap = 1; lap < laps; ++lap) {
            const ScoreLine line = LapLine(data.profileName, data.lapTimes[lap]);
            if (line.Beats(best))
                best = line;
        }
        taken = data.CheckRecord(table, best);
    }
    call.PushBool(taken);
    return call.Results();
}

int SaveScore(lua_State*) {
    if (g_GameData)
        g_GameData->SaveScores();
    return 0;
}

int GetScore(lua_State* L) {
    ScriptCall call(L);
    call.PushNumber(g_GameData ? g_GameData->kills : 0);
    return call.Results();
}

int AddScore(lua_State* L) {
    lua_settop(L, 1);
    return 1;
}

int IsInTable(lua_State* L) {
    ScriptCall call(L);
    call.PushBool(false);
    return call.Results();
}

int SetScoreLine(lua_State*) {
    return 0;
}

int GetScoreLine(lua_State* L) {
    ScriptCall call(L);
    call.PushText("");
    call.PushNumber(0);
    return call.Results();
}

// The race's ids from the best score (laps times progress) to the worst;
// among equal scores the later in the order "0" to "4", "10" comes first.
int SetPlayersPanel(lua_State* L) {
    if (!g_Level || !g_GameData)
        return 0;
    CPGameData& data = *g_GameData;
    std::multimap<long long, std::string> ranking;
    for (const char* id : kRacerIds) {
        const RacerRecord& racer = data.racerStats[id];
        ranking.emplace(static_cast<long long>(racer.lapCount) * racer.progress, id);
    }
    ranking.emplace(static_cast<long long>(data.lapCount) * data.progress, kPlayerId);
    std::vector<std::string> ids;
    for (auto entry = ranking.rbegin(); entry != ranking.rend(); ++entry)
        ids.push_back(entry->second);
    ScriptCall call(L);
    call.PushTextTable(ids);
    return call.Results();
}

constexpr std::array kProfileFunctions = std::to_array<ScriptFunction>({
    {"SetPlayerName", SetPlayerName},
    {"GetPlayerName", GetPlayerName},
    {"SetProfileName", SetProfileName},
    {"GetProfileName", GetProfileName},
    {"SetCurrentMission", SetCurrentMission},
    {"SetCurrentRace", SetCurrentMission},
    {"GetCurrentMission", GetCurrentMission},
    {"GetCurrentRace", GetCurrentMission},
    {"SetNumRacesPassed", SetNumRacesPassed},
    {"LoadMissionInfo", LoadMissionInfo},
    {"ClearGameData", ClearGameData},
    {"SetDifficulty", SetDifficulty},
    {"GetDifficulty", GetDifficulty},
    {"SetDifficult", SetDifficult},
    {"GetDifficult", GetDifficult},
    {"GetCurrentResolution", GetCurrentResolution},
    {"GetRecords", GetRecords},
    {"CheckPlayerRecords", CheckPlayerRecords},
    {"SaveScore", SaveScore},
    {"GetScore", GetScore},
    {"AddScore", AddScore},
    {"IsInTable", IsInTable},
    {"SetScoreLine", SetScoreLine},
    {"GetScoreLine", GetScoreLine},
    {"SetPlayersPanel", SetPlayersPanel},
});

} // namespace

ScriptFunctionTable ProfileFunctions() {
    return kProfileFunctions;
}
