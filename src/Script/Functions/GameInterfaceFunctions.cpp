#include "Game/PGameData.h"
#include "Interface/PInterface.h"
#include "Script/Functions/GameInterfaceDisplay.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptCall.h"

#include <array>

namespace {

CPInterface* Page(lua_State* L) {
    return ScriptCall(L).ObjectAs<CPInterface>(1);
}

int InitGameInterface(lua_State* L) {
    CPInterface* page = Page(L);
    if (page && g_GameData)
        ShowEquipment(*page, g_GameData->realCarInfo);
    return 0;
}

// The weapons and the clock are read from the running level and its player
// car; the game has no level yet, so the display keeps what it shows.
int UpdateGameInterface(lua_State*) {
    return 0;
}

int UpdateTime(lua_State*) {
    return 0;
}

int UpdateScore(lua_State* L) {
    const ScriptCall call(L);
    if (CPInterface* page = call.ObjectAs<CPInterface>(1))
        ShowScore(*page, call.Number(2));
    return 0;
}

constexpr std::array kGameInterfaceFunctions = std::to_array<ScriptFunction>({
    {"InitGameInterface", InitGameInterface},
    {"UpdateGameInterface", UpdateGameInterface},
    {"UpdateTime", UpdateTime},
    {"UpdateScore", UpdateScore},
});

} // namespace

ScriptFunctionTable GameInterfaceFunctions() {
    return kGameInterfaceFunctions;
}
