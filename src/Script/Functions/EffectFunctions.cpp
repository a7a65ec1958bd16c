#include "Core/Log.h"
#include "Game/PGameData.h"
#include "Game/PGameObject.h"
#include "Game/PLevel.h"
#include "Platform/Random.h"
#include "Platform/Win32Time.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/PLuaScript.h"
#include "Script/PScriptManager.h"
#include "Script/ScriptCall.h"
#include "Vehicles/PBoltShot.h"
#include "Vehicles/PPlayer.h"
#include "Vehicles/PShotSpawner.h"

#include <array>
#include <memory>

namespace {

constexpr DWORD kDebugLineColour = 0xFFFF0000;
constexpr float kOwnSpeed = -1.0f;
const D3DXVECTOR3 kNoDirection{0, 0, 0};

D3DXVECTOR3 Point(const ScriptCall& call, int first) {
    return {call.Float(first), call.Float(first + 1), call.Float(first + 2)};
}

// The named shot or effect at the point along the direction, at its own
// speed; without a shot spawner nothing is spawned and the request is logged.
void Spawn(const std::string& name, const D3DXVECTOR3& p, const D3DXVECTOR3& d) {
    if (CPShotSpawner* spawner = GetShotSpawner()) {
        spawner->Spawn(name, p, d, kOwnSpeed, nullptr);
        return;
    }
    GetLog().Print(0, "No shot spawner: \"%s\" at (%g, %g, %g) towards (%g, %g, %g), speed %g not spawned\n",
                   name.c_str(), p.x, p.y, p.z, d.x, d.y, d.z, static_cast<double>(kOwnSpeed));
}

// The named shot at a point given in the owner's frame; nothing without an
// owner or a level, or while the level blocks shots.
int Shot(lua_State* L) {
    const ScriptCall call(L);
    const std::string name = call.StrictText(1);
    const CPGameObject* owner = call.ObjectAs<CPGameObject>(2);
    if (!owner || !g_Level || g_Level->shotsBlocked)
        return 0;
    const D3DXVECTOR3 local = Point(call, 3);
    D3DXVECTOR3 world;
    D3DXVec3TransformCoord(&world, &local, &owner->GetWorldMatrix());
    Spawn(name, world, kNoDirection);
    return 0;
}

int Explosion(lua_State* L) {
    const ScriptCall call(L);
    Spawn(call.LooseText(1), Point(call, 2), kNoDirection);
    return 0;
}

int DirectionalExplosion(lua_State* L) {
    const ScriptCall call(L);
    Spawn(call.LooseText(1), Point(call, 2), Point(call, 5));
    return 0;
}

// A chance to drop one of the mission's bonuses at the point: the mission's
// chance, scaled by the difficulty, against a draw reseeded from the clock.
int SetBonus(lua_State* L) {
    const ScriptCall call(L);
    const int index = call.Int(3);
    if (!g_GameData || index < 0 || index >= static_cast<int>(g_GameData->missions.size()))
        return 0;
    const MissionInfo& mission = g_GameData->missions[static_cast<std::size_t>(index)];
    PlatSRand(timeGetTime());
    const int chance = TruncateToInt(g_GameData->coefficients[1] * static_cast<float>(mission.bonusChance));
    if (chance < PlatRand() % 100)
        return 0;
    const WeightedName* bonus = DrawWeightedName(mission.bonuses, PlatRand() % 100);
    const D3DXVECTOR3 point{call.Float(1), call.Float(2), 0};
    if (bonus)
        Spawn(bonus->name, point, point);
    return 0;
}

// Fires one of the super weapons the race's car carries.
int SmartBomb(lua_State*) {
    if (!g_GameData || g_GameData->realCarInfo.superWeaponCount <= 0)
        return 0;
    Spawn("super", {0, 0, 0}, kNoDirection);
    --g_GameData->realCarInfo.superWeaponCount;
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByName("gamemenu", "update_game_interface", "");
    return 0;
}

// A bolt hurts the enemy side: ten points per hit, a 1.5-unit spark both
// ways, its own texture, effect, particles and sound.
const std::vector<std::string> kBoltRow = {
    "enemy", "10", "1.5", "1.5", "razlom.dds", "light_nofog.fx", "103", "sparks", "morgrave.wav,3d"};
constexpr float kBoltSpeed = 10.0f;

// A new bolt the shot spawner keeps for the script until its flight ends or
// the race stops; null (logged) without a spawner.
CPGameObject* StartBolt(const std::string& name, const D3DXVECTOR3& at, const D3DXVECTOR3& towards) {
    CPShotSpawner* spawner = GetShotSpawner();
    if (!spawner) {
        GetLog().Print(0, "No shot spawner: the bolt \"%s\" was not made\n", name.c_str());
        return nullptr;
    }
    auto bolt = std::make_unique<CPBoltShot>(kBoltRow);
    if (!bolt->Configure(kBoltRow)) {
        GetLog().Print(0, "The bolt \"%s\" was not made: its row was refused\n", name.c_str());
        return nullptr;
    }
    bolt->name = name;
    return spawner->KeepScriptBolt(std::move(bolt), at, towards, kBoltSpeed);
}

int StartLighting(lua_State* L) {
    ScriptCall call(L);
    call.PushObject(StartBolt(call.LooseText(1), Point(call, 2), Point(call, 5)));
    return call.Results();
}

// One frame of a kept bolt's flight: 1 while it flies, 0 when it hit a car
// (`hit` names it), -1 once it flew its distance or for anything else.
int FlyBolt(CPGameObject& bolt, CPGameObject*& hit) {
    CPShotSpawner* spawner = GetShotSpawner();
    if (!spawner)
        return -1;
    CPRefPtr<CPGameObject> struck;
    const int result = spawner->FlyScriptBolt(bolt, struck);
    hit = struck.Get();
    return result;
}

// Moves a script's bolt and draws it while it flies; once it hit or flew its
// distance it is deleted, and the handle gives -1 from then on.
int UpdateTrasser(lua_State* L) {
    ScriptCall call(L);
    CPGameObject* bolt = call.ObjectAs<CPGameObject>(1);
    CPGameObject* hit = nullptr;
    const int result = bolt ? FlyBolt(*bolt, hit) : -1;
    CPRenderBlock* block = g_Render ? g_Render->GetRenderBlock().Get() : nullptr;
    if (result == 1 && block)
        block->AddObject(bolt);
    call.PushNumber(result);
    if (hit)
        call.PushObject(hit);
    return call.Results();
}

int DrawLine(lua_State* L) {
    const ScriptCall call(L);
    if (g_Render)
        g_Render->AddLine(kDebugLineColour, Point(call, 1), Point(call, 4));
    return 0;
}

// Puts the car back on the racing line.
int SpawnCar(lua_State* L) {
    if (CPPlayer* car = ScriptCall(L).ObjectAs<CPPlayer>(1))
        car->Respawn(true);
    return 0;
}

// A child of that name below the object (never the object itself).
int FindObject(lua_State* L) {
    ScriptCall call(L);
    const CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    const std::string name = call.StrictText(2);
    call.PushObject(object ? object->FindChild(name).Get() : nullptr);
    return call.Results();
}

int SetObjectVisible(lua_State* L) {
    const ScriptCall call(L);
    if (CPGameObject* object = call.ObjectAs<CPGameObject>(1))
        object->SetVisible(call.Bool(2));
    return 0;
}

// Plays the named animation at normal speed, without a report frame.
int StartAnimation(lua_State* L) {
    const ScriptCall call(L);
    CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    if (!object)
        return 0;
    AnimationRequest request;
    request.name = call.LooseText(2);
    request.loopCount = call.Int(3);
    request.callback = call.ObjectAs<CPLuaScript>(4);
    object->StartAnimation(request, false);
    return 0;
}

int IsRigid(lua_State* L) {
    ScriptCall call(L);
    const CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    call.PushBool(object && object->physicData && object->physicData->rigidBody);
    return call.Results();
}

constexpr std::array kEffectFunctions = std::to_array<ScriptFunction>({
    {"Shot", Shot},
    {"Explosion", Explosion},
    {"DirectionalExplosion", DirectionalExplosion},
    {"SetBonus", SetBonus},
    {"SmartBomb", SmartBomb},
    {"StartLighting", StartLighting},
    {"UpdateTrasser", UpdateTrasser},
    {"DrawLine", DrawLine},
    {"Spawn", SpawnCar},
    {"FindObject", FindObject},
    {"SetObjectVisible", SetObjectVisible},
    {"StartAnimation", StartAnimation},
    {"IsRigid", IsRigid},
});

} // namespace

ScriptFunctionTable EffectFunctions() {
    return kEffectFunctions;
}
