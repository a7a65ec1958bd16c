// Driving, pushing and locking cars, and placing objects.
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Interface/PInterface.h"
#include "Interface/PWindow.h"
#include "Physics/PPhysicData.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Script/Functions/RaceAccess.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptCall.h"
#include "Vehicles/PPlayer.h"

#include <array>

namespace {

// Upward throws behind the centre that tip a light-side car forward: the
// truck is thrown half as hard, twice as far back.
constexpr float kTruckThrow = 31.25f;
constexpr float kCarThrow = 62.5f;
// How hard StopPlayerCar brakes the player's car against its motion.
constexpr float kStopImpulse = 4.0f;

D3DXVECTOR3 VectorAt(const ScriptCall& call, int first) {
    return {call.Float(first), call.Float(first + 1), call.Float(first + 2)};
}

D3DXVECTOR3 CarVelocity(const CPPlayer& car) {
    float v[4];
    car.GetCarVelocity(v);
    return {v[0], v[1], v[2]};
}

float MassOf(const CPGameObject& object) {
    return object.physicData ? object.physicData->mass : 0.0f;
}

int SetCarParams(lua_State* L) {
    const ScriptCall call(L);
    if (CPPlayer* vehicle = VehicleArgument(call, 1))
        vehicle->SetControls(call.Float(2), call.Float(3));
    return 0;
}

// No nitro once the race's result has been sent.
int PlayerNitro(lua_State* L) {
    CPPlayer* car = PlayerCar();
    if (car && !g_Level->resultSent)
        car->SetNitro(ScriptCall(L).Float(1));
    return 0;
}

// The vehicle alone stops its nitro; with more arguments its throttle is cut.
int PlayerNitroAI(lua_State* L) {
    const ScriptCall call(L);
    CPPlayer* vehicle = VehicleArgument(call, 1);
    if (!vehicle)
        return 0;
    if (lua_gettop(L) >= 2)
        vehicle->DisableThrottle(call.Float(2), call.Float(3));
    else
        vehicle->SetNitro(0);
    return 0;
}

// At the given point with four or more arguments, else at the car.
int PlayerApplyImpulse(lua_State* L) {
    const ScriptCall call(L);
    CPPlayer* car = PlayerCar();
    if (!car)
        return 0;
    if (lua_gettop(L) >= 4)
        car->ApplyImpulse(VectorAt(call, 1), VectorAt(call, 4));
    else
        car->ApplyImpulse(car->GetPosition(), VectorAt(call, 1));
    return 0;
}

int ApplyImpulse(lua_State* L) {
    const ScriptCall call(L);
    if (CPPlayer* vehicle = VehicleArgument(call, 1))
        vehicle->ApplyImpulse(vehicle->GetPosition(), VectorAt(call, 2));
    return 0;
}

// Straight onto the object's rigid body, car or not.
int Jump(lua_State* L) {
    const ScriptCall call(L);
    CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    RbRigidBody* body = object && object->physicData ? object->physicData->rigidBody : nullptr;
    if (!body)
        return 0;
    const D3DXVECTOR3 impulse = VectorAt(call, 2), at = object->GetPosition();
    body->ApplyImpulse({impulse.x, impulse.y, impulse.z}, {at.x, at.y, at.z});
    return 0;
}

int ThrowPlayer(lua_State* L) {
    CPPlayer* vehicle = VehicleArgument(ScriptCall(L), 1);
    if (!vehicle || !(vehicle->GetFlags() & PLAYER_AURINE))
        return 0;
    const D3DXVECTOR3 forward = ForwardOf(*vehicle);
    const bool truck = vehicle->carModelName == "truck_130_";
    const D3DXVECTOR3 point = vehicle->GetPosition() - forward * (truck ? 2.0f : 1.0f);
    vehicle->ApplyImpulse(point, {0, 0, MassOf(*vehicle) * (truck ? kTruckThrow : kCarThrow)});
    return 0;
}

int StopPlayerCar(lua_State*) {
    if (CPPlayer* car = PlayerCar())
        car->ApplyImpulse(car->GetPosition(), CarVelocity(*car) * -kStopImpulse);
    return 0;
}

int SetBrake(lua_State* L) {
    const ScriptCall call(L);
    if (CPPlayer* vehicle = VehicleArgument(call, 1))
        vehicle->SetBrake(call.Bool(2));
    return 0;
}

int LockPlayer(lua_State* L) {
    if (CPPlayer* car = PlayerCar())
        car->Lock(ScriptCall(L).Bool(1));
    return 0;
}

int LockPlayers(lua_State* L) {
    const bool lock = ScriptCall(L).Bool(1);
    if (CPPlayer* car = PlayerCar())
        car->Lock(lock);
    for (const CPRefPtr<CPPlayer>& car : LevelCars())
        car->Lock(lock);
    return 0;
}

// Shows or hides the page's window named after the fitted engine.
int EngineState(lua_State* L) {
    const ScriptCall call(L);
    CPInterface* page = call.ObjectAs<CPInterface>(1);
    if (!page || !g_GameData || g_GameData->realCarInfo.engine.empty())
        return 0;
    if (CPWindow* window = page->FindWindow(g_GameData->realCarInfo.engine))
        window->SetVisible(call.Bool(2));
    return 0;
}

// The object and its subtree are placed at once.
int SetPosition(lua_State* L) {
    const ScriptCall call(L);
    CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    if (!object)
        return 0;
    object->SetPosition(VectorAt(call, 2));
    object->UpdateHierarchy();
    return 0;
}

// Turns about x, then y, then z (radians), and updates the subtree at once.
int SetRotation(lua_State* L) {
    const ScriptCall call(L);
    CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    if (!object)
        return 0;
    D3DXMATRIX aboutX, aboutY, aboutZ, turn;
    D3DXMatrixRotationX(&aboutX, call.Float(2));
    D3DXMatrixRotationY(&aboutY, call.Float(3));
    D3DXMatrixRotationZ(&aboutZ, call.Float(4));
    D3DXMatrixMultiply(&turn, &aboutX, &aboutY);
    D3DXMatrixMultiply(&turn, &turn, &aboutZ);
    D3DXQUATERNION orientation;
    D3DXQuaternionRotationMatrix(&orientation, &turn);
    object->SetOrientation(orientation);
    object->UpdateHierarchy();
    return 0;
}

int PushVectors(lua_State* L, std::initializer_list<D3DXVECTOR3> vectors) {
    ScriptCall call(L);
    for (const D3DXVECTOR3& v : vectors) {
        call.PushNumber(v.x);
        call.PushNumber(v.y);
        call.PushNumber(v.z);
    }
    return call.Results();
}

// As many nils as the results of an object.
int PushNils(lua_State* L, int count) {
    for (int i = 0; i < count; ++i)
        lua_pushnil(L);
    return count;
}

int GetPosition(lua_State* L) {
    const CPGameObject* object = ScriptCall(L).ObjectAs<CPGameObject>(1);
    return object ? PushVectors(L, {object->GetPosition()}) : PushNils(L, 3);
}

int GetBBoxInfo(lua_State* L) {
    const CPGameObject* object = ScriptCall(L).ObjectAs<CPGameObject>(1);
    if (!object)
        return PushNils(L, 9);
    const AxisAlignedBox& box = object->GetWorldBox();
    return PushVectors(L, {box.center, box.min, box.max});
}

constexpr std::array kCarControlFunctions = std::to_array<ScriptFunction>({
    {"SetCarParams", SetCarParams},
    {"PlayerNitro", PlayerNitro},
    {"PlayerNitroAI", PlayerNitroAI},
    {"PlayerApplyImpulse", PlayerApplyImpulse},
    {"ApplyImpulse", ApplyImpulse},
    {"Jump", Jump},
    {"ThrowPlayer", ThrowPlayer},
    {"StopPlayerCar", StopPlayerCar},
    {"SetBrake", SetBrake},
    {"LockPlayer", LockPlayer},
    {"LockPlayers", LockPlayers},
    {"EngineState", EngineState},
    {"SetPosition", SetPosition},
    {"SetRotation", SetRotation},
    {"GetPosition", GetPosition},
    {"GetBBoxInfo", GetBBoxInfo},
});

} // namespace

ScriptFunctionTable CarControlFunctions() {
    return kCarControlFunctions;
}
