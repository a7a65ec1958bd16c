// Where and what enemies appear: the enemy records of the scripts, the
// level's enemy sources around the player and spawn points near the player;
// and the armed enemies the scripts place, with their attacks.
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Platform/Random.h"
#include "Script/Functions/RaceAccess.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptCall.h"
#include "Vehicles/PEnemyController.h"
#include "Vehicles/PPlayer.h"

#include <array>
#include <cstdint>
#include <map>

namespace {

// Sources count when they lie within this ring around the player.
constexpr float kSourceNear = 25.0f;
constexpr float kSourceFar = 40.0f;
// The spread of a spawn point around the player, with and without a fixed
// point; without one the points fall about 30 units off, within the same
// ring as the sources.
constexpr float kFixedSpread = 2.0f;
constexpr float kFreeSpread = 60.0f;
// Spawn points stay this far inside the level's edges.
constexpr float kEdgeMargin = 20.0f;

// What the scripts keep about an enemy by name.
struct EnemyRecord {
    float a = 0;
    float b = 0;
    std::string c;
    std::string d;
    std::string e;
};

std::map<std::string, EnemyRecord>& EnemyData() {
    static std::map<std::string, EnemyRecord> records;
    return records;
}

bool InSourceRing(const SourceInfo& source, const D3DXVECTOR3& player) {
    const D3DXVECTOR3 offset = source.position - player;
    const float distance = D3DXVec3Length(&offset);
    return distance > kSourceNear && distance < kSourceFar;
}

// The sources of the group on the side that lie in the ring around the
// player.
std::vector<const SourceInfo*> SourcesNear(const std::string& group, bool side, const D3DXVECTOR3& player) {
    std::vector<const SourceInfo*> near;
    const std::vector<SourceInfo>* sources = g_GameData ? g_GameData->sources.Find(group) : nullptr;
    if (!sources)
        return near;
    for (const SourceInfo& source : *sources) {
        if (source.side == side && InSourceRing(source, player))
            near.push_back(&source);
    }
    return near;
}

std::string DrawName(const std::vector<WeightedName>& list, int draw) {
    const WeightedName* drawn = DrawWeightedName(list, draw);
    return drawn ? drawn->name : std::string();
}

// Kept for the scripts that call it; enemies are placed by the other
// functions.
int AddEnemy(lua_State*) {
    return 0;
}

// The record of the name, made empty for a new name: a, d, b, c, e.
int GetEnemyData(lua_State* L) {
    ScriptCall call(L);
    const EnemyRecord& record = EnemyData()[call.StrictText(1)];
    call.PushNumber(record.a);
    call.PushText(record.d);
    call.PushNumber(record.b);
    call.PushText(record.c);
    call.PushText(record.e);
    return call.Results();
}

int IsEnemySourceNear(lua_State* L) {
    ScriptCall call(L);
    const CPPlayer* player = PlayerCar();
    const bool side = call.Bool(1);
    call.PushBool(player && !SourcesNear(call.LooseText(2), side, player->GetPosition()).empty());
    return call.Results();
}

// A source of the group near the player and a name drawn from it; else a
// name drawn from the enemies of the mission, at the player. No results for
// a mission the list lacks or without a player car.
int GetEnemyType(lua_State* L) {
    ScriptCall call(L);
    // In a wider type: the lowest int would overflow.
    const int64_t mission = static_cast<int64_t>(call.Int(1)) - 1;
    const std::string group = call.LooseText(1);
    const CPPlayer* player = PlayerCar();
    if (!player)
        return 0;
    const std::vector<const SourceInfo*> near = SourcesNear(group, call.Bool(2), player->GetPosition());
    if (!near.empty()) {
        const int pick = PlatRand(), draw = PlatRand();
        const SourceInfo& source = *near[static_cast<std::size_t>(pick) % near.size()];
        call.PushText(DrawName(source.names, draw % 100));
        call.PushBool(true);
        call.PushNumber(source.position.x);
        call.PushNumber(source.position.y);
        return call.Results();
    }
    if (!g_GameData || mission < 0 || mission >= static_cast<int64_t>(g_GameData->missions.size()))
        return 0;
    call.PushText(
        DrawName(g_GameData->missions[static_cast<std::size_t>(mission)].enemies, PlatRand() % 100));
    call.PushBool(false);
    call.PushNumber(player->GetPosition().x);
    call.PushNumber(player->GetPosition().y);
    return call.Results();
}

// A point ahead of the moving player, half the spread away, turned with the
// car; a modulus below 1 gives no sideways offset.
D3DXVECTOR3 OffsetAhead(const CPPlayer& player, float spread) {
    const int across = static_cast<int>(spread * 0.25f);
    const float side = (across >= 1 ? static_cast<float>(PlatRand() % across) : 0.0f) - spread * 0.125f;
    D3DXMATRIX turn;
    D3DXMatrixRotationQuaternion(&turn, &player.GetOrientation());
    const D3DXVECTOR3 ahead(side, -spread * 0.5f, 0);
    D3DXVECTOR3 offset;
    D3DXVec3TransformNormal(&offset, &ahead, &turn);
    D3DXVec3Normalize(&offset, &offset);
    return offset * (spread * 0.5f);
}

// A point on the border of the square of side `spread` around the player.
D3DXVECTOR3 OffsetOnSquare(float spread) {
    const float along = static_cast<float>(PlatRand() % static_cast<int>(spread)) - spread / 2;
    const bool onX = PlatRand() % 2 == 0;
    const float edge = PlatRand() % 2 == 0 ? spread / 2 : -spread / 2;
    return onX ? D3DXVECTOR3(along, edge, 0) : D3DXVECTOR3(edge, along, 0);
}

D3DXVECTOR3 SpawnOffset(const CPPlayer& player, float spread) {
    if (g_Level->targetSpeed > 2.0f && PlatRand() % 5 > 0)
        return OffsetAhead(player, spread);
    return OffsetOnSquare(spread);
}

// A spawn point for an enemy: near the player, or beside the given point
// when argument 3 is given; two tries to land inside the level's edges.
int GetPositionForEnemy(lua_State* L) {
    ScriptCall call(L);
    const bool fixed = lua_isstring(L, 3) != 0;
    const float spread = fixed ? kFixedSpread : kFreeSpread;
    const float x = call.Float(4), y = call.Float(5);
    const CPPlayer* player = PlayerCar();
    bool inside = false;
    D3DXVECTOR3 candidate(x, y, 0);
    for (int attempt = 0; player && attempt < 2 && !inside; ++attempt) {
        const D3DXVECTOR3 offset = SpawnOffset(*player, spread);
        candidate = fixed ? D3DXVECTOR3(x + 2, y + 2, 0) : player->GetPosition() + offset;
        const float halfX = g_Level->grid.extentX * 0.5f - kEdgeMargin,
                    halfY = g_Level->grid.extentY * 0.5f - kEdgeMargin;
        inside =
            -halfX <= candidate.x && candidate.x <= halfX && -halfY <= candidate.y && candidate.y <= halfY;
    }
    call.PushBool(inside);
    call.PushNumber(candidate.x);
    call.PushNumber(candidate.y);
    return call.Results();
}

// An armed enemy's animations report at their second frame; its melee
// swings play once each before the next is drawn.
constexpr int kReportFrame = 1;
constexpr int kMeleeSwings = 2;
// A blow pushes the car away and a little up.
constexpr float kBlowPush = 60.0f;
constexpr float kBlowLift = 0.3f;
constexpr float kEnemyReward = 100.0f;

// The controller of an armed enemy standing as the object (an animated
// model facing -y with the animations "idle", "fire_in", "fire",
// "fire_out", "melee1", "melee2" and "death1"): its name, weapon kind and
// health, the height of its muzzle one unit ahead of it, and the reach and
// damage of its blows.
std::unique_ptr<CPEnemyController> MakeEnemy(CPGameObject& object, const ScriptCall& call) {
    auto enemy = std::make_unique<CPEnemyController>(&object);
    enemy->name = call.LooseText(2);
    enemy->weaponKind = call.LooseText(3);
    enemy->health = call.Float(4);
    enemy->fireOffset = D3DXVECTOR3(0, -1, call.Float(5));
    const float reach = call.Float(6), damage = call.Float(7);
    const CPEnemyController::MeleeBlow blow{{0, -reach, 0}, {0, -1, kBlowLift}, kBlowPush, damage};
    enemy->melee1 = enemy->melee2 = blow;
    enemy->meleeCount = kMeleeSwings;
    enemy->meleeParameters.assign(kMeleeSwings, 1);
    enemy->reportFrames = {{"melee1", kReportFrame}, {"melee2", kReportFrame}, {"fire", kReportFrame}};
    enemy->states = {{CPEnemyController::kIdleState, {"idle", true, 0}},
                     {CPEnemyController::kDeathState, {"death1", false, 0}}};
    enemy->damageEffect = "sparks";
    enemy->reward = static_cast<int>(kEnemyReward);
    enemy->soundNames = {{"hit1", "slam"}, {"hit2", "slam"}};
    return enemy;
}

// ArmEnemy(object, name, weapon kind, health, muzzle height, reach, blow
// damage): the object becomes an armed enemy at rest, replacing any earlier
// controller.
int ArmEnemy(lua_State* L) {
    const ScriptCall call(L);
    CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    if (!object)
        return 0;
    object->enemyController = MakeEnemy(*object, call);
    object->enemyController->SelectState(CPEnemyController::kIdleState);
    return 0;
}

// EnemyAttack(object, "fire", "melee" or "rest"): what the armed enemy does
// next; anything else, or an object without a controller, changes nothing.
int EnemyAttack(lua_State* L) {
    const ScriptCall call(L);
    CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    const std::string mode = call.LooseText(2);
    CPEnemyController* enemy = object ? object->enemyController.get() : nullptr;
    if (!enemy)
        return 0;
    if (mode == "fire")
        enemy->OpenFire();
    else if (mode == "melee")
        enemy->StartMelee();
    else if (mode == "rest")
        enemy->Rest();
    return 0;
}

constexpr std::array kEnemyFunctions = std::to_array<ScriptFunction>({
    {"AddEnemy", AddEnemy},
    {"GetEnemyData", GetEnemyData},
    {"IsEnemySourceNear", IsEnemySourceNear},
    {"GetEnemyType", GetEnemyType},
    {"GetPositionForEnemy", GetPositionForEnemy},
    {"ArmEnemy", ArmEnemy},
    {"EnemyAttack", EnemyAttack},
});

} // namespace

ScriptFunctionTable EnemyFunctions() {
    return kEnemyFunctions;
}
