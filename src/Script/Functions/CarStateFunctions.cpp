// Damage and defeat of cars, abilities, mana, kills, the player's type and
// the game speed.
#include "Core/PGlobalTimer.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Physics/PPhysicData.h"
#include "Physics/PPhysics.h"
#include "Script/Functions/RaceAccess.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/PScriptManager.h"
#include "Script/ScriptCall.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <array>

namespace {

// Life at or below this is critical.
constexpr float kCriticalLife = 20.0f;
// Damage at or above this means defeated.
constexpr float kDefeated = 100.0f;

void Send(const char* script, const char* command) {
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByName(script, command, "");
}

// Takes the amount (scaled by the difficulty's damage coefficient) off the
// vehicle's life; false once the life is gone. The main script hears when
// the life turns critical and, once, when it is gone.
bool Damage(CPPlayer& vehicle, float amount) {
    const float taken = amount * (g_GameData ? g_GameData->coefficients[2] : 1.0f);
    if (vehicle.life > kCriticalLife && vehicle.life - taken <= kCriticalLife)
        Send("main", "say_critical");
    vehicle.life -= taken;
    if (vehicle.life >= 0) {
        Send("gamemenu", "update_game_interface");
        return true;
    }
    vehicle.life = 0;
    Send("gamemenu", "update_game_interface");
    if (!vehicle.deathReported) {
        if (g_ScriptManager)
            g_ScriptManager->SendCommandByCategory("main", "player_dead", "");
        vehicle.deathReported = true;
    }
    return false;
}

int DamagePlayer(lua_State* L) {
    const ScriptCall call(L);
    CPPlayer* vehicle = VehicleArgument(call, 1);
    return PushBool(L, !vehicle || Damage(*vehicle, call.Float(2)));
}

// The object disappears and leaves the physics; a second call, or an object
// without a physics description, only clears the flags again.
int KillPlayer(lua_State* L) {
    CPGameObject* object = ScriptCall(L).ObjectAs<CPGameObject>(1);
    if (!object)
        return 0;
    object->SetVisible(false);
    object->collision = false;
    if (object->physicData)
        object->physicData->RemoveBody();
    if (g_Physics)
        g_Physics->UnregisterObject(object);
    return 0;
}

int IsDead(lua_State* L) {
    const CPPlayer* car = PlayerCar();
    return PushBool(L, !car || car->defeated);
}

bool IsWrecked(const CPPlayer& car) {
    return car.damage >= kDefeated;
}

// The first computer car of the model; null when none is.
const CPPlayer* CarOfModel(const std::string& model) {
    for (const CPRefPtr<CPPlayer>& car : LevelCars()) {
        if (car->carModelName == model)
            return car.Get();
    }
    return nullptr;
}

// The player's car, or the car shown under the name.
int IsPlayerDead(lua_State* L) {
    const ScriptCall call(L);
    const CPPlayer* player = PlayerCar();
    if (!g_Level)
        return 0;
    if (lua_gettop(L) == 0)
        return player ? PushBool(L, IsWrecked(*player)) : 0;
    const std::string model = ModelNameOf(call.LooseText(1));
    if (const CPPlayer* car = CarOfModel(model))
        return PushBool(L, IsWrecked(*car));
    return PushBool(L, player && player->carModelName == model && IsWrecked(*player));
}

int GetPlayerDamage(lua_State* L) {
    const CPPlayer* car = PlayerCar();
    return car ? PushNumber(L, car->damage) : 0;
}

int GetAIDamage(lua_State* L) {
    if (!g_Level)
        return 0;
    const CPPlayer* car = CarOfModel(ModelNameOf(ScriptCall(L).LooseText(1)));
    return PushNumber(L, car ? car->damage : 0.0f);
}

int IsDamageMsg(lua_State* L) {
    return PushBool(L,
                    g_Level && (g_Level->resultSent || (g_Level->player && g_Level->player->gameOverSent)));
}

int ActivateAbilities(lua_State* L) {
    ScriptCall call(L);
    const CPPlayer* car = PlayerCar();
    if (!car)
        return 0;
    call.PushNumber(car->abilities);
    call.PushNumber(g_GameData ? g_GameData->maxAbilityCount : 0);
    return call.Results();
}

int ActivateAbilitiesAI(lua_State* L) {
    const CPPlayer* vehicle = VehicleArgument(ScriptCall(L), 1);
    return PushNumber(L, vehicle ? vehicle->abilities : 0);
}

int SetAbilitiesCount(lua_State* L) {
    if (CPPlayer* car = PlayerCar())
        car->abilities = ScriptCall(L).Int(1);
    return 0;
}

int SetAbilitiesCountAI(lua_State* L) {
    const ScriptCall call(L);
    if (CPPlayer* vehicle = VehicleArgument(call, 1))
        vehicle->abilities = call.Int(2);
    return 0;
}

// Sets a whole-number field of the game data from argument 1.
int SetGameDataInt(lua_State* L, int CPGameData::*field) {
    if (g_GameData)
        g_GameData->*field = ScriptCall(L).Int(1);
    return 0;
}

int SetMaxAbilityCount(lua_State* L) {
    return SetGameDataInt(L, &CPGameData::maxAbilityCount);
}

int GetPlayerMana(lua_State* L) {
    return g_GameData ? PushNumber(L, g_GameData->playerMana) : 0;
}

int SetPlayerMana(lua_State* L) {
    return SetGameDataInt(L, &CPGameData::playerMana);
}

int SetKills(lua_State* L) {
    return SetGameDataInt(L, &CPGameData::kills);
}

// 9 for the light side, 10 for the dark side.
int SetPlayerType(lua_State* L) {
    if (g_GameData)
        g_GameData->playerType = 9 + (ScriptCall(L).Bool(1) ? 1 : 0);
    return 0;
}

// Later frame times are multiplied by the factor. Time never runs backwards:
// a negative factor stops it, and a factor that is not a finite number is
// refused.
int SetTemp(lua_State* L) {
    g_TimeScale = std::max(ScriptCall(L).Float(1), 0.0f);
    return 0;
}

int GetTemp(lua_State* L) {
    return PushNumber(L, g_TimeScale);
}

constexpr std::array kCarStateFunctions = std::to_array<ScriptFunction>({
    {"DamagePlayer", DamagePlayer},
    {"KillPlayer", KillPlayer},
    {"IsDead", IsDead},
    {"IsPlayerDead", IsPlayerDead},
    {"GetPlayerDamage", GetPlayerDamage},
    {"GetAIDamage", GetAIDamage},
    {"IsDamageMsg", IsDamageMsg},
    {"ActivateAbilities", ActivateAbilities},
    {"ActivateAbilitiesAI", ActivateAbilitiesAI},
    {"SetAbilitiesCount", SetAbilitiesCount},
    {"SetAbilitiesCountAI", SetAbilitiesCountAI},
    {"SetMaxAbilityCount", SetMaxAbilityCount},
    {"GetPlayerMana", GetPlayerMana},
    {"SetPlayerMana", SetPlayerMana},
    {"SetKills", SetKills},
    {"SetPlayerType", SetPlayerType},
    {"SetTemp", SetTemp},
    {"GetTemp", GetTemp},
});

} // namespace

ScriptFunctionTable CarStateFunctions() {
    return kCarStateFunctions;
}
