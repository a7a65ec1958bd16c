// What the scripts ask about cars: speed, direction, mass, nitro, the
// nearest car of a side, the health bar's place on the screen and copies of
// objects.
#include "Core/PSettings.h"
#include "Game/PCamera.h"
#include "Game/PLevel.h"
#include "Game/PMeshManager.h"
#include "Physics/PPhysicData.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Render/PPerspectiveCamera.h"
#include "Script/Functions/RaceAccess.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/PScriptManager.h"
#include "Script/ScriptCall.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

// Nothing farther counts as near.
constexpr float kNoCarNearer = 10000.0f;
// The cars of the list the nearest-car searches look at.
constexpr int kNearCars = 5;
constexpr int kWideNearCars = 20;
// The health bar's length per point of health left.
constexpr float kBarPerHealth = 0.47001317f;

D3DXVECTOR3 Normalised(const D3DXVECTOR3& v) {
    D3DXVECTOR3 unit;
    D3DXVec3Normalize(&unit, &v);
    return unit;
}

// The angle between two directions, from the clamped cosine.
float AngleBetween(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    const D3DXVECTOR3 ua = Normalised(a), ub = Normalised(b);
    return std::acos(std::clamp(D3DXVec3Dot(&ua, &ub), -1.0f, 1.0f));
}

CPPerspectiveCamera* MainView() {
    CPCamera* camera = g_Level ? g_Level->GetCamera().Get() : nullptr;
    return camera ? camera->GetMainCamera().Get() : nullptr;
}

int GetObjectSpeed(lua_State* L) {
    const CPGameObject* object = ScriptCall(L).ObjectAs<CPGameObject>(1);
    const RbRigidBody* body = object && object->physicData ? object->physicData->rigidBody : nullptr;
    const RbVector velocity = body ? body->GetVelocity() : RbVector();
    const float speedSq = velocity.x * velocity.x + velocity.y * velocity.y + velocity.z * velocity.z;
    return PushNumber(L, speedSq < 0.000001f ? 0.0 : std::sqrt(speedSq));
}

int GetPlayerSpeed(lua_State* L) {
    return PushNumber(L, g_Level ? g_Level->targetSpeed : 0.0f);
}

int GetPlayerSpeedAI(lua_State* L) {
    const CPPlayer* vehicle = VehicleArgument(ScriptCall(L), 1);
    const CPCar* car = vehicle ? vehicle->GetCar() : nullptr;
    return PushNumber(L, car ? car->speed : 0.0f);
}

int GetPlayerSlide(lua_State* L) {
    return PushNumber(L, 1);
}

int GetPlayerDirection(lua_State* L) {
    const CPPlayer* car = PlayerCar();
    return car ? PushVector(L, ForwardOf(*car)) : 0;
}

int GetPlayerDirectionAI(lua_State* L) {
    const CPPlayer* vehicle = VehicleArgument(ScriptCall(L), 1);
    return vehicle ? PushVector(L, ForwardOf(*vehicle)) : 0;
}

float MassOf(const CPGameObject* object) {
    return object && object->physicData ? object->physicData->mass : 0.0f;
}

// The player car's mass, or with an argument that object's (0 for anything
// without a physics description).
int GetPlayerMass(lua_State* L) {
    const ScriptCall call(L);
    if (!g_Level)
        return 0;
    if (lua_gettop(L) >= 1)
        return PushNumber(L, MassOf(call.ObjectAs<CPGameObject>(1)));
    return PushNumber(L, MassOf(PlayerCar()));
}

// Whether the player's car moves the way the camera looks.
int IsPlayerMoveForward(lua_State* L) {
    const CPPlayer* car = PlayerCar();
    const CPPerspectiveCamera* view = MainView();
    if (!car || !view)
        return 0;
    const CPCamera& camera = *g_Level->GetCamera();
    const D3DXVECTOR3 looking = (camera.fixedMode ? camera.fixedTarget : camera.focus) - view->eye;
    float v[4];
    car->GetCarVelocity(v);
    return PushBool(L, AngleBetween({v[0], v[1], v[2]}, looking) <= std::numbers::pi_v<float> / 2);
}

int IsPlayerMovingBackwards(lua_State* L) {
    return g_Level ? PushBool(L, g_Level->IsPlayerMovingBackwards()) : 0;
}

const CPCar* PlayerCarPhysics() {
    const CPPlayer* car = PlayerCar();
    return car ? car->GetCar() : nullptr;
}

// 0 without a player car.
int GetNitro(lua_State* L) {
    const CPCar* car = PlayerCarPhysics();
    return PushNumber(L, car ? car->nitroReserve : 0.0f);
}

int IsNitro(lua_State* L) {
    const CPCar* car = PlayerCarPhysics();
    return PushBool(L, car && car->nitroReserve > 0 && car->nitroDemand > 0);
}

struct NearestCar {
    CPPlayer* car = nullptr;
    float distance = kNoCarNearer;
};

float DistanceTo(const CPPlayer& car, const D3DXVECTOR3& point) {
    const D3DXVECTOR3 offset = car.GetPosition() - point;
    return D3DXVec3Length(&offset);
}

// The nearest candidate of the level's first cars (a later car at equal
// distance wins), then the player's car of the side when strictly nearer.
int PushNearestCar(lua_State* L, int side, bool wide) {
    ScriptCall call(L);
    CPPlayer* player = PlayerCar();
    if (!g_Level)
        return 0;
    const D3DXVECTOR3 point(call.Float(1), call.Float(2), call.Float(3));
    NearestCar nearest;
    int looked = 0;
    for (const CPRefPtr<CPPlayer>& car : g_Level->cars) {
        if (looked++ >= (wide ? kWideNearCars : kNearCars))
            break;
        const bool onSide = side == PLAYER_AURINE ? (car->GetFlags() & side) && car->damage < 100
                                                  : (car->GetFlags() & side) != 0;
        const bool candidate = onSide || (wide && (car->GetFlags() & PLAYER_ALL_SIDES));
        if (candidate && DistanceTo(*car, point) <= nearest.distance)
            nearest = {car.Get(), DistanceTo(*car, point)};
    }
    if (player && (player->GetFlags() & side) && DistanceTo(*player, point) < nearest.distance)
        nearest = {player, DistanceTo(*player, point)};
    if (!nearest.car)
        return 0;
    const D3DXVECTOR3 at = nearest.car->GetPosition();
    call.PushNumber(at.x);
    call.PushNumber(at.y);
    call.PushNumber(at.z);
    call.PushObject(nearest.car);
    call.PushNumber(nearest.distance);
    return call.Results();
}

int GetNearestAurinePlayer(lua_State* L) {
    return PushNearestCar(L, PLAYER_AURINE, ScriptCall(L).Bool(4));
}

int GetNearestUmbrinePlayer(lua_State* L) {
    return PushNearestCar(L, PLAYER_UMBRINE, false);
}

// The top left corner, in clip coordinates with y down, of the car's box
// corners in front of the eye; none when no corner is.
bool BoxTopLeft(const CPPlayer& car, const CPPerspectiveCamera& view, D3DXVECTOR2& topLeft) {
    bool any = false;
    topLeft = {1e30f, 1e30f};
    for (const D3DXVECTOR3& corner : car.boundingBox.corners) {
        D3DXVECTOR4 clip;
        const D3DXVECTOR4 world(corner.x, corner.y, corner.z, 1);
        D3DXVec4Transform(&clip, &world, &view.viewProjection);
        if (clip.w <= 1e-6f)
            continue;
        any = true;
        topLeft.x = std::min(topLeft.x, clip.x / clip.w);
        topLeft.y = std::min(topLeft.y, -clip.y / clip.w);
    }
    return any;
}

// The screen point and length of the car's health bar; -100, -100, 0 when
// the car is out of view. The car's box is read, never changed.
int GetHelthBarCoord(lua_State* L) {
    ScriptCall call(L);
    const CPPerspectiveCamera* view = MainView();
    if (!g_Level)
        return 0;
    const CPPlayer* vehicle = VehicleArgument(call, 1);
    D3DXVECTOR2 topLeft;
    const bool inView =
        vehicle && view &&
        AngleBetween(view->target - view->eye, vehicle->GetPosition() - view->eye) <= view->fov &&
        BoxTopLeft(*vehicle, *view, topLeft);
    if (!inView) {
        call.PushNumber(-100);
        call.PushNumber(-100);
        call.PushNumber(0);
        return call.Results();
    }
    call.PushNumber((topLeft.x + 1) * static_cast<float>(g_ScreenWidth) * 0.5f);
    call.PushNumber((topLeft.y + 1) * static_cast<float>(g_ScreenHeight) * 0.5f);
    call.PushNumber((100 - vehicle->damage) * kBarPerHealth);
    return call.Results();
}

int IsInVelm(lua_State* L) {
    const CPPlayer* vehicle = VehicleArgument(ScriptCall(L), 1);
    return PushBool(L, vehicle && vehicle->inShadowWorld);
}

// A copy of the object, not activated; the script manager deletes it at
// the end of the game.
int Clone(lua_State* L) {
    ScriptCall call(L);
    CPGameObject* source = call.ObjectAs<CPGameObject>(1);
    CPGameObject* copy = nullptr;
    if (source && g_ScriptManager) {
        copy = new CPGameObject(source->GetName());
        copy->CopyFrom(source);
        copy->AddRef();
        g_ScriptManager->KeepModel([copy] { CPMeshManager::DeleteModel(copy); });
    }
    call.PushObject(copy);
    return call.Results();
}

constexpr std::array kCarQueryFunctions = std::to_array<ScriptFunction>({
    {"GetObjectSpeed", GetObjectSpeed},
    {"GetPlayerSpeed", GetPlayerSpeed},
    {"GetPlayerSpeedAI", GetPlayerSpeedAI},
    {"GetPlayerSlide", GetPlayerSlide},
    {"GetPlayerDirection", GetPlayerDirection},
    {"GetPlayerDirectionAI", GetPlayerDirectionAI},
    {"GetPlayerMass", GetPlayerMass},
    {"IsPlayerMoveForward", IsPlayerMoveForward},
    {"IsPlayerMovingBackwards", IsPlayerMovingBackwards},
    {"GetNitro", GetNitro},
    {"IsNitro", IsNitro},
    {"GetNearestAurinePlayer", GetNearestAurinePlayer},
    {"GetNearestUmbrinePlayer", GetNearestUmbrinePlayer},
    {"GetHelthBarCoord", GetHelthBarCoord},
    {"IsInVelm", IsInVelm},
    {"Clone", Clone},
});

} // namespace

ScriptFunctionTable CarQueryFunctions() {
    return kCarQueryFunctions;
}
