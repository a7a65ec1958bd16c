#include "Script/Functions/RaceAccess.h"

#include "Game/PLevel.h"
#include "Script/ScriptCall.h"
#include "Vehicles/PPlayer.h"

#include <array>
#include <utility>

namespace {

using NamePair = std::pair<const char*, const char*>;

// Model name, display name.
constexpr std::array kCarNames = std::to_array<NamePair>({
    {"truck_130_", "truck_130"},
    {"scout", "scout_469"},
    {"sedan_3110_main", "sedan_z110"},
    {"coupe_tt", "coupe_tt"},
    {"limo", "limo_i745"},
    {"suv_touring", "suv_t"},
});

} // namespace

CPPlayer* PlayerCar() {
    return g_Level ? g_Level->cameraTarget : nullptr;
}

const std::list<CPRefPtr<CPPlayer>>& LevelCars() {
    static const std::list<CPRefPtr<CPPlayer>> none;
    return g_Level ? g_Level->cars : none;
}

CPPlayer* VehicleArgument(const ScriptCall& call, int index) {
    return call.ObjectAs<CPPlayer>(index);
}

D3DXVECTOR3 ForwardOf(const CPGameObject& object) {
    D3DXMATRIX turn;
    D3DXMatrixRotationQuaternion(&turn, &object.GetOrientation());
    const D3DXVECTOR3 ahead(0, -1, 0);
    D3DXVECTOR3 forward;
    D3DXVec3TransformNormal(&forward, &ahead, &turn);
    D3DXVec3Normalize(&forward, &forward);
    return forward;
}

std::string DisplayNameOf(const std::string& modelName) {
    for (const auto& [model, display] : kCarNames) {
        if (modelName == model)
            return display;
    }
    return modelName;
}

std::string ModelNameOf(const std::string& displayName) {
    for (const auto& [model, display] : kCarNames) {
        if (displayName == display)
            return model;
    }
    return displayName;
}

int PushNumber(lua_State* L, double value) {
    ScriptCall call(L);
    call.PushNumber(value);
    return call.Results();
}

int PushBool(lua_State* L, bool value) {
    ScriptCall call(L);
    call.PushBool(value);
    return call.Results();
}

int PushVector(lua_State* L, const D3DXVECTOR3& v) {
    ScriptCall call(L);
    call.PushNumber(v.x);
    call.PushNumber(v.y);
    call.PushNumber(v.z);
    return call.Results();
}
