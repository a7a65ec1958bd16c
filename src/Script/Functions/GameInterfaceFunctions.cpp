#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Interface/PInterface.h"
#include "Script/Functions/GameInterfaceDisplay.h"
#include "Script/Functions/RaceAccess.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptCall.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PPlayer.h"

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

// The mine counter shows the mine kind's third whole number scaled by the
// car's nitro reserve.
float MineCount(const CPPlayer& player) {
    const CPCar* car = player.GetCar();
    return static_cast<float>(player.mineRecord.number4) * (car ? car->nitroReserve : 0.0f);
}

PlayerDisplay DisplayOf(const CPPlayer& player) {
    PlayerDisplay display;
    display.currentSlot = player.weaponSlot;
    display.life = player.life;
    display.ammunitionFraction = player.GetAmmoFraction();
    display.hasMines = player.hasMines;
    display.mineCount = MineCount(player);
    display.mineIcon = player.mineIconName;
    display.ammunitionCursor = AmmunitionCursor(player.weaponKind);
    return display;
}

// The weapons and the clock are read from the running level and the car
// its camera follows; without either the display keeps what it shows.
int UpdateGameInterface(lua_State* L) {
    CPInterface* page = Page(L);
    const CPPlayer* player = PlayerCar();
    if (page && player && g_GameData)
        ShowWeapons(*page, g_GameData->realCarInfo, DisplayOf(*player));
    return 0;
}

int UpdateTime(lua_State* L) {
    CPInterface* page = Page(L);
    const CPPlayer* player = PlayerCar();
    if (page && player && g_GameData)
        ShowClock(*page, g_Level->countdown, player->engineTemperature, g_GameData->kills);
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
