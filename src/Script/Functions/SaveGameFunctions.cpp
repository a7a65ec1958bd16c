#include "Game/PGameData.h"
#include "Game/SaveSlot.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptCall.h"

#include <array>

namespace {

int SaveGame(lua_State*) {
    if (g_GameData)
        g_GameData->SaveGameChooseSlot();
    return 0;
}

int LoadGame(lua_State* L) {
    const std::string name = ScriptCall(L).LooseText(1);
    if (g_GameData)
        g_GameData->LoadGame(name);
    return 0;
}

int DeleteSave(lua_State* L) {
    const std::string name = ScriptCall(L).LooseText(1);
    if (g_GameData)
        g_GameData->DeleteSave(name);
    return 0;
}

// The number of slots and a table of the profile names they hold.
int GetSaves(lua_State* L) {
    ScriptCall call(L);
    const std::vector<std::string> profiles =
        g_GameData ? g_GameData->GetSaveProfiles() : std::vector<std::string>(SaveSlot::kSlotCount);
    call.PushNumber(static_cast<double>(profiles.size()));
    call.PushTextTable(profiles);
    return call.Results();
}

// Names the player and writes the first slot, whichever slot is current.
int NewPlayer(lua_State* L) {
    const std::string name = ScriptCall(L).LooseText(1);
    if (!g_GameData)
        return 0;
    g_GameData->playerName = CPGameData::CapName(name);
    g_GameData->SaveGameWrite("save0.sav");
    return 0;
}

constexpr std::array kSaveGameFunctions = std::to_array<ScriptFunction>({
    {"SaveGame", SaveGame},
    {"LoadGame", LoadGame},
    {"DeleteSave", DeleteSave},
    {"GetSaves", GetSaves},
    {"NewPlayer", NewPlayer},
});

} // namespace

ScriptFunctionTable SaveGameFunctions() {
    return kSaveGameFunctions;
}
