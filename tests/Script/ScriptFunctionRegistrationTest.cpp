#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptFunctionRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

// Every name the scripts of the game may call, by subsystem.
const std::set<std::string> kGameFunctionNames = {
    // Objects, commands and tasks
    "GetDeltaTime", "AddRef", "DumpObjects", "Release", "SendCommandByName", "SendCommandByObject",
    "SendCommandByCategory", "SetNextCommand", "GetCurrentCommand", "GetCurrentParams", "PointerToString",
    "StringToPointer", "SetPTransformation", "CheckString", "GetChildObject", "SetVisible", "SetCollision",
    "SplitString", "LoadRenderObject", "DrawDynamicObject", "SetAnimation", "GetParentObject",
    "ActivateObject", "DeactivateObject", "SetFade", "LockButton", "UnlockButton", "KillAllTasks", "ToInt",
    "PlayMusic",
    // The race level
    "InitLevel", "StartLevel", "StopLevel", "DeleteLevel", "SetLevelTransportCount", "SetReversed",
    "SetUpdateTime", "IsRaceStarted", "SetLevelStarted", "IsLevelStarted", "IsSingleMode", "IsTimeMode",
    "IsWeather", "GetLevelSize", "SetPlaceToFinish", "ShowCheckPoint", "ChangeCheckpointPosition",
    "SetNumRounds", "GetRoundsNumber", "GetCurrentRound", "UpdateRoundsTime", "SetRoundTime", "GetRoundTime",
    "SetLevelTime", "GetTime", "GetTimeAttack", "GetTimeBest", "GetBestTimeAttack", "GetCheckpointTime",
    "GetFullTime", "GetPoints", "SetPoints", "GetNumRacesPassed", "ClearLevelTimers", "SetTimeBonus",
    "ClearTimer", "ClearGlobalTimer", "StopGlobalTimer", "StartGlobalTimer", "GetCheckPointsCount",
    "GetCheckPointInfo", "AddBonus", "EraseBonus", "GetBonusesCount", "ClearBonuses", "GetBonusList",
    "GetPlayerPosition", "GetSplineLineCount", "GetSplineLinePoint", "GetClosestLineCenter",
    "GetPlayerSplineAngle", "CrossPlayerRay", "CrossInterfaceRay", "CheckIntersection", "SetWeaponPos",
    "IsDarkLeft", "IsLightLeft", "GetAIPositions", "GetAICount", "AddEnemy", "GetEnemyData",
    "IsEnemySourceNear", "GetEnemyType", "GetPositionForEnemy", "ArmEnemy", "EnemyAttack",
    // The player's and computer cars
    "SetCarParams", "PlayerNitro", "PlayerNitroAI", "PlayerApplyImpulse", "ApplyImpulse", "Jump",
    "ThrowPlayer", "StopPlayerCar", "SetBrake", "LockPlayer", "LockPlayers", "EngineState", "SetPosition",
    "SetRotation", "GetPosition", "GetBBoxInfo", "GetObjectSpeed", "GetPlayerSpeed", "GetPlayerSpeedAI",
    "GetPlayerSlide", "GetPlayerDirection", "GetPlayerDirectionAI", "GetPlayerMass", "IsPlayerMoveForward",
    "IsPlayerMovingBackwards", "GetNitro", "IsNitro", "GetNearestAurinePlayer", "GetNearestUmbrinePlayer",
    "GetHelthBarCoord", "IsInVelm", "Clone", "DamagePlayer", "KillPlayer", "IsDead", "IsPlayerDead",
    "GetPlayerDamage", "GetAIDamage", "IsDamageMsg", "ActivateAbilities", "ActivateAbilitiesAI",
    "SetAbilitiesCount", "SetAbilitiesCountAI", "SetMaxAbilityCount", "GetPlayerMana", "SetPlayerMana",
    "SetKills", "SetPlayerType", "SetTemp", "GetTemp", "PlayerShot", "SetCurrentWeapon", "SetPrevWeapon",
    "SetNextWeapon", "SetShot", "SetWeaponPosAI", "SetMineShot", "GetRealCarInfo", "GetActiveCar",
    "InitWarning", "Pup", "Pdown", "Pleft", "Pright",
    // Effects and world objects
    "Shot", "Explosion", "DirectionalExplosion", "SetBonus", "SmartBomb", "StartLighting", "UpdateTrasser",
    "DrawLine", "Spawn", "FindObject", "SetObjectVisible", "StartAnimation", "IsRigid",
    // Camera and visual settings
    "SetDefaultCamera", "SetCameraPos", "SetCameraZAngle", "GetCameraZAngle", "GetCameraPositions",
    "SetCamera", "ChangeGameCamera", "SetCameraPlayer", "GetCameraPlayer", "SetFOV", "GetFov1", "GetFov2",
    "CheckVisible", "SetLight", "GetLight", "SetLensFlare", "SetMotionBlur", "SetRadialBlur", "SetLightCoeff",
    "GetBrightness", "SetBrightness", "DumpAIInfo", "CreateArrow", "DrawArrow",
    // Game data, shop, profile and scores
    "GetWeaponInfo", "GetMineInfo", "GetSuperWeaponInfo", "GetBumperInfo", "GetEquipmentInfo", "GetArmorInfo",
    "GetEngineInfo", "GetWeaponNames", "GetMineNames", "GetSuperWeaponNames", "GetBumperNames",
    "GetEquipmentNames", "GetArmorNames", "GetEngineNames", "IsValidGameDataName", "GetCarInfo", "SetCarInfo",
    "CommitCarSettings", "AutoSetting", "InitPlayer", "GetMoney", "SetMoney", "SetPlayerName",
    "GetPlayerName", "SetProfileName", "GetProfileName", "SetCurrentMission", "SetCurrentRace",
    "GetCurrentMission", "GetCurrentRace", "SetNumRacesPassed", "LoadMissionInfo", "ClearGameData",
    "SetDifficulty", "GetDifficulty", "SetDifficult", "GetDifficult", "GetCurrentResolution", "GetRecords",
    "CheckPlayerRecords", "SaveScore", "GetScore", "AddScore", "IsInTable", "SetScoreLine", "GetScoreLine",
    "SetPlayersPanel",
    // Save games
    "SaveGame", "LoadGame", "DeleteSave", "GetSaves", "NewPlayer",
    // Interface pages
    "CreateInterface", "ActivateInterface", "SilentActivateInterface", "DeactivateInterface",
    "UpdateInterface", "UpdateInterfaceBuffers", "IMenuRight", "IMenuLeft", "DeselectCurrentButton",
    "SetWindowVisible", "SetWindowPosition", "SetWindowPositionShop", "GetWindowPosition", "SetWindowSize",
    "SetCursor", "GetCursor", "SetText", "SetTextString", "SetTextPosition", "GetTextPosition", "SetFont",
    "SetFontString", "SetEditBoxText", "EditBoxProcessKey", "EditBoxTextLength", "GetEditBoxText",
    // The race display
    "InitGameInterface", "UpdateGameInterface", "UpdateTime", "UpdateScore",
    // Sound, music, video, bindings and system
    "PlaySpecialSound", "PlaySpecialSound3D", "StopSpecialSound", "IsSpecialSoundPlaying",
    "UpdateSoundPosition", "StopSounds", "GetSoundVolume", "SetSoundVolume", "GetMusicVolume",
    "SetMusicVolume", "PlayMusicNoLoop", "StopPlayingMusic", "GetMusicName", "PlayVideo", "PlayVideoNoSound",
    "PlayVideo1", "StopVideo", "StopVideo1", "SetActions", "SaveActions", "UpdateActions", "LoadActions",
    "GetActionNames", "SetAssignKey", "SetAction", "GetMouse", "SetMouse", "StopScript", "SaveLog",
    "IsFileExists", "GetTextureSize", "GoURL", "GoURLlink"};

// A state holding nothing but the registered script functions.
class RegisteredState {
public:
    RegisteredState() {
        AddScriptFunctionTables();
        RegisterScriptFunctions(L);
    }
    ~RegisteredState() { lua_close(L); }
    RegisteredState(const RegisteredState&) = delete;
    RegisteredState& operator=(const RegisteredState&) = delete;

    std::set<std::string> GlobalNames() const {
        std::set<std::string> names;
        lua_pushnil(L);
        while (lua_next(L, LUA_GLOBALSINDEX) != 0) {
            EXPECT_TRUE(lua_iscfunction(L, -1)) << lua_tostring(L, -2);
            names.insert(lua_tostring(L, -2));
            lua_pop(L, 1);
        }
        return names;
    }
    lua_CFunction Global(const char* name) const {
        lua_getglobal(L, name);
        const lua_CFunction function = lua_tocfunction(L, -1);
        lua_pop(L, 1);
        return function;
    }

    lua_State* L = luaL_newstate();
};

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += " " + name;
    return text;
}

lua_CFunction TableEntry(ScriptFunctionTable table, const std::string& name) {
    const auto entry =
        std::find_if(table.begin(), table.end(), [&](const ScriptFunction& f) { return f.name == name; });
    return entry == table.end() ? nullptr : entry->function;
}

} // namespace

TEST(ScriptFunctionRegistration, TheGlobalsAreExactlyTheGamesFunctionNames) {
    ASSERT_EQ(kGameFunctionNames.size(), 312u) << "the expected list itself";
    const std::set<std::string> registered = RegisteredState().GlobalNames();
    std::vector<std::string> missing;
    std::vector<std::string> extra;
    std::set_difference(kGameFunctionNames.begin(), kGameFunctionNames.end(), registered.begin(),
                        registered.end(), std::back_inserter(missing));
    std::set_difference(registered.begin(), registered.end(), kGameFunctionNames.begin(),
                        kGameFunctionNames.end(), std::back_inserter(extra));
    EXPECT_TRUE(missing.empty()) << "missing:" << Joined(missing);
    EXPECT_TRUE(extra.empty()) << "extra:" << Joined(extra);
}

TEST(ScriptFunctionRegistration, AliasesShareOneFunctionAndThePageVersionsWin) {
    const RegisteredState state;
    const std::vector<std::vector<const char*>> aliases = {
        {"DeactivateObject", "DeactivateInterface"},
        {"ClearTimer", "ClearGlobalTimer"},
        {"GetCurrentMission", "GetCurrentRace"},
        {"SetCurrentMission", "SetCurrentRace"},
        {"SetBrightness", "DumpAIInfo", "CreateArrow", "DrawArrow"},
    };
    for (const std::vector<const char*>& names : aliases) {
        ASSERT_NE(state.Global(names[0]), nullptr) << names[0];
        for (const char* name : names)
            EXPECT_EQ(state.Global(name), state.Global(names[0])) << name << " is not " << names[0];
    }
    for (const char* name : {"GetWindowPosition", "SetCursor"}) {
        ASSERT_NE(TableEntry(InterfaceFunctions(), name), nullptr) << name;
        EXPECT_EQ(state.Global(name), TableEntry(InterfaceFunctions(), name)) << name;
    }
}
