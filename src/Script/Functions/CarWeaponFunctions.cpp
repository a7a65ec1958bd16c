// The cars' weapons, the player's car model, the loading screen and the
// tuning keys of the player's car.
#include "Game/PGameData.h"
#include "Render/PRender.h"
#include "Script/Functions/RaceAccess.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptCall.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kWeaponSlots = 3;

// A car parameter the tuning keys change, and by how much per press.
struct TuningRow {
    float CPCar::*field;
    float step;
};

constexpr std::array kTuning = std::to_array<TuningRow>({
    {&CPCar::sensorSideOffset, 0.01f},
    {&CPCar::wheelHeight, 0.01f},
    {&CPCar::sensorLength, 0.01f},
    {&CPCar::wheelRadius, 0.01f},
    {&CPCar::frontTravelLimit, 0.01f},
    {&CPCar::rearTravelLimit, 0.01f},
    {&CPCar::frontSpring, 1},
    {&CPCar::rearSpring, 1},
    {&CPCar::damping, 10},
    {&CPCar::topSpeedForward, 1},
    {&CPCar::topSpeedReverse, 1},
    {&CPCar::frontFriction, 1},
    {&CPCar::rearFriction, 1},
    {&CPCar::slide, 0.05f},
    {&CPCar::forwardDrive, 1},
    {&CPCar::reverseDrive, 1},
    {&CPCar::brake, 0.1f},
    {&CPCar::yawInertia, 0.05f},
    {&CPCar::pitchInertia, 0.05f},
});

int PlayerShot(lua_State*) {
    return 0;
}

int SetMineShot(lua_State*) {
    return 0;
}

// The vehicle's part of that name becomes its weapon part (none when it has
// no such part).
int SetCurrentWeapon(lua_State* L) {
    const ScriptCall call(L);
    const std::string partName = call.StrictText(2);
    if (CPPlayer* vehicle = VehicleArgument(call, 1))
        vehicle->weaponPart = vehicle->FindChild(partName);
    return 0;
}

std::array<std::string, kWeaponSlots> WeaponNames() {
    if (!g_GameData)
        return {};
    const CarInfo& car = g_GameData->realCarInfo;
    return {car.weapon1, car.weapon2, car.weapon3};
}

void PlaySound(const char* name) {
    if (g_Audio)
        PlayFromStart(g_Audio->FindSound(name));
}

// Steps the weapon slot to the next fitted weapon either way round, with the
// sound of a change or of none; no slot when nothing is fitted.
void StepWeapon(CPPlayer& vehicle, int direction) {
    const std::array<std::string, kWeaponSlots> names = WeaponNames();
    if (std::all_of(names.begin(), names.end(), [](const std::string& name) { return name.empty(); })) {
        vehicle.weaponSlot = -1;
    } else {
        const int before = vehicle.weaponSlot;
        int slot = before;
        do {
            slot += direction;
            slot = slot < 0 ? kWeaponSlots - 1 : slot >= kWeaponSlots ? 0 : slot;
        } while (names[static_cast<std::size_t>(slot)].empty());
        vehicle.weaponSlot = slot;
        PlaySound(slot == before ? "undo_weapon" : "change_weapon");
    }
    vehicle.SelectWeapon();
}

int SetPrevWeapon(lua_State* L) {
    if (CPPlayer* vehicle = VehicleArgument(ScriptCall(L), 1))
        StepWeapon(*vehicle, -1);
    return 0;
}

int SetNextWeapon(lua_State* L) {
    if (CPPlayer* vehicle = VehicleArgument(ScriptCall(L), 1))
        StepWeapon(*vehicle, 1);
    return 0;
}

// Fires only with a loaded weapon in a slot.
int SetShot(lua_State* L) {
    const ScriptCall call(L);
    CPPlayer* vehicle = VehicleArgument(call, 1);
    if (!vehicle)
        return 0;
    vehicle->firing = vehicle->weaponSlot >= 0 && !vehicle->weaponEmpty && call.Bool(2);
    if (vehicle->firing && vehicle->weaponKind == WEAPON_FIRETHROWER)
        vehicle->flameTimer = 0;
    return 0;
}

// The computer cars' twin of SetWeaponPos: aims the vehicle's active weapon
// at the point, or at the object's body when one is given, and fires it when
// the vehicle's firing is on, from the vehicle's own ammunition.
int SetWeaponPosAI(lua_State* L) {
    const ScriptCall call(L);
    if (CPPlayer* vehicle = VehicleArgument(call, 1))
        vehicle->UpdateWeapon({call.Float(2), call.Float(3), call.Float(4)}, call.ObjectAs<CPGameObject>(5));
    return 0;
}

// The nine item names, the super-weapon count and the mines.
int GetRealCarInfo(lua_State* L) {
    ScriptCall call(L);
    if (!g_GameData)
        return 0;
    const CarInfo& car = g_GameData->realCarInfo;
    call.PushTexts({car.weapon1, car.weapon2, car.weapon3, car.equipment1, car.equipment2, car.bumper,
                    car.engine, car.armor, car.superWeapon});
    call.PushNumber(car.superWeaponCount);
    call.PushText(car.mines);
    return call.Results();
}

int GetActiveCar(lua_State* L) {
    ScriptCall call(L);
    if (g_GameData)
        call.PushText(DisplayNameOf(g_GameData->playerName));
    return call.Results();
}

int InitWarning(lua_State* L) {
    if (g_Render)
        g_Render->DrawLoadingScreen(ScriptCall(L).Int(1));
    return 0;
}

void MoveSelection(int by) {
    if (g_Render)
        g_Render->scriptSelection =
            std::clamp(g_Render->scriptSelection + by, 0, static_cast<int>(kTuning.size()) - 1);
}

int Pup(lua_State*) {
    MoveSelection(-1);
    return 0;
}

int Pdown(lua_State*) {
    MoveSelection(1);
    return 0;
}

// Changes the selected parameter of the player's car by its step.
void Tune(float sign) {
    const CPPlayer* player = PlayerCar();
    CPCar* car = player ? player->GetCar() : nullptr;
    if (!car || !g_Render)
        return;
    const int selected = std::clamp(g_Render->scriptSelection, 0, static_cast<int>(kTuning.size()) - 1);
    const TuningRow& row = kTuning[static_cast<std::size_t>(selected)];
    car->*row.field += sign * row.step;
}

int Pleft(lua_State*) {
    Tune(-1);
    return 0;
}

int Pright(lua_State*) {
    Tune(1);
    return 0;
}

constexpr std::array kCarWeaponFunctions = std::to_array<ScriptFunction>({
    {"PlayerShot", PlayerShot},
    {"SetCurrentWeapon", SetCurrentWeapon},
    {"SetPrevWeapon", SetPrevWeapon},
    {"SetNextWeapon", SetNextWeapon},
    {"SetShot", SetShot},
    {"SetWeaponPosAI", SetWeaponPosAI},
    {"SetMineShot", SetMineShot},
    {"GetRealCarInfo", GetRealCarInfo},
    {"GetActiveCar", GetActiveCar},
    {"InitWarning", InitWarning},
    {"Pup", Pup},
    {"Pdown", Pdown},
    {"Pleft", Pleft},
    {"Pright", Pright},
});

} // namespace

ScriptFunctionTable CarWeaponFunctions() {
    return kCarWeaponFunctions;
}
