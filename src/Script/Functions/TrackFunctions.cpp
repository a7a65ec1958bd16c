// The track line, the level's ray tests and the radar.
#include "Core/PSettings.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PLine.h"
#include "Render/PPerspectiveCamera.h"
#include "Script/Functions/RaceAccess.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptCall.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kTwoPi = 6.2831855f;
// Line centres within this distance in the ground plane count as near.
constexpr float kLineRadius = 20.0f;
constexpr float kInterfaceRayLength = 100000.0f;
// The impulse that pushes a dark-side car away from a point.
constexpr float kRepelImpulse = 72.0f;
constexpr int kFirstCars = 5;

// The line GetPlayerSplineAngle searches from, with the spline it belongs
// to.
struct KeptLine {
    const CPSpline* spline = nullptr;
    CPLine* line = nullptr;
};
KeptLine g_KeptLine;

CPSpline* LevelSpline() {
    return g_Level ? g_Level->GetSpline().Get() : nullptr;
}

bool OwnsLine(const CPSpline& spline, const CPLine* line) {
    return std::any_of(spline.lines.begin(), spline.lines.end(),
                       [line](const std::unique_ptr<CPLine>& owned) { return owned.get() == line; });
}

// The line `count` links on from `line` along `link`; null when the links
// end.
CPLine* FollowLinks(CPLine* line, CPLine* CPLine::*link, std::uint64_t count) {
    for (; line && count > 0; --count)
        line = line->*link;
    return line;
}

// The line n links on from `line`: along `next` for n > 0, along `prev` for
// n < 0; null when the links end. Links join the spline's lines only, so
// past that many links the walk goes round a ring, whose whole laps are
// skipped: any n takes at most three walks over the lines.
CPLine* StepLines(const CPSpline& spline, CPLine* line, std::int64_t n) {
    CPLine* CPLine::*link = n > 0 ? &CPLine::next : &CPLine::prev;
    const std::uint64_t count = n > 0 ? static_cast<std::uint64_t>(n) : 0 - static_cast<std::uint64_t>(n);
    const std::uint64_t lineCount = spline.lines.size();
    if (count <= lineCount)
        return FollowLinks(line, link, count);
    line = FollowLinks(line, link, lineCount);
    if (!line)
        return nullptr;
    std::uint64_t ring = 1;
    const CPLine* at = line->*link;
    for (; at && at != line && ring <= lineCount; at = at->*link)
        ++ring;
    const std::uint64_t left = count - lineCount;
    return FollowLinks(line, link, at == line ? left % ring : left);
}

int GetPlayerPosition(lua_State* L) {
    const CPPlayer* car = PlayerCar();
    return PushVector(L, car ? car->GetPosition() : D3DXVECTOR3(0, 0, 0));
}

int GetSplineLineCount(lua_State* L) {
    return PushNumber(L, 1);
}

int GetSplineLinePoint(lua_State* L) {
    const CPSpline* spline = LevelSpline();
    const CPLine* line =
        spline ? StepLines(*spline, spline->firstLine, std::max(ScriptCall(L).Int(1), 0)) : nullptr;
    return line ? PushVector(L, line->centre) : 0;
}

// The first line after the spline's first one whose centre lies within 20
// units of (x, y); null after a whole lap or at the end of the links.
CPLine* FirstLineNear(const CPSpline& spline, float x, float y) {
    const CPLine* first = spline.firstLine;
    for (CPLine* line = first ? first->next : nullptr; line && line != first; line = line->next) {
        const float dx = line->centre.x - x, dy = line->centre.y - y;
        if (dx * dx + dy * dy < kLineRadius * kLineRadius)
            return line;
    }
    return nullptr;
}

// The centre of the line `steps` back (forward when negative) from the first
// line near the point, and the line's heading turned a quarter back.
int GetClosestLineCenter(lua_State* L) {
    ScriptCall call(L);
    CPSpline* spline = LevelSpline();
    CPLine* near = spline ? FirstLineNear(*spline, call.Float(1), call.Float(2)) : nullptr;
    CPLine* line = near ? StepLines(*spline, near, -static_cast<std::int64_t>(call.Int(4))) : nullptr;
    if (!line)
        return 0;
    float radius = kLineRadius;
    CPLine* start = line;
    const float angle = spline->FindClosestLine(line->centre, radius, 0, start);
    call.PushNumber(line->centre.x);
    call.PushNumber(line->centre.y);
    call.PushNumber(0.5);
    call.PushNumber(angle - kHalfPi);
    return call.Results();
}

// The heading of the race camera's target and the angle of the track line
// nearest the player's car, searched from the line found last time.
int GetPlayerSplineAngle(lua_State* L) {
    ScriptCall call(L);
    CPSpline* spline = LevelSpline();
    const CPPlayer* car = PlayerCar();
    if (!spline || !car)
        return 0;
    if (call.Bool(1) || g_KeptLine.spline != spline || !OwnsLine(*spline, g_KeptLine.line))
        g_KeptLine = {spline, spline->currentLine};
    float radius = kLineRadius;
    float angle = spline->FindClosestLine(car->GetPosition(), radius, 0, g_KeptLine.line);
    while (angle > kTwoPi)
        angle -= kTwoPi;
    while (angle < 0)
        angle += kTwoPi;
    call.PushNumber(g_Level->targetHeading);
    call.PushNumber(angle);
    return call.Results();
}

void PushPoint(ScriptCall& call, const D3DXVECTOR3& v) {
    call.PushNumber(v.x);
    call.PushNumber(v.y);
    call.PushNumber(v.z);
}

// Whether the segment from the origin along the vector is free of the
// level's objects, and the vector (free) or its direction (blocked). A zero
// vector is free.
int CrossPlayerRay(lua_State* L) {
    ScriptCall call(L);
    const D3DXVECTOR3 origin(call.Float(1), call.Float(2), call.Float(3));
    const D3DXVECTOR3 vector(call.Float(4), call.Float(5), call.Float(6));
    const float length = D3DXVec3Length(&vector);
    if (!(length > 0) || !std::isfinite(length)) {
        call.PushBool(true);
        PushPoint(call, {0, 0, 0});
        return call.Results();
    }
    RayQuery query;
    query.origin = origin;
    query.direction = vector / length;
    query.length = length;
    const bool hit = g_Level && g_Level->CrossPlayerRay(query);
    call.PushBool(g_Level && !hit);
    PushPoint(call, g_Level && !hit ? query.direction * query.length : query.direction);
    return call.Results();
}

// The ray from the eye through the screen point: what it hits first and
// where it meets the ground plane (below the eye when it runs level).
int CrossInterfaceRay(lua_State* L) {
    ScriptCall call(L);
    const CPRefPtr<CPPerspectiveCamera> view =
        g_Level && g_Level->GetCamera() ? g_Level->GetCamera()->GetMainCamera() : nullptr;
    D3DXVECTOR4 farPoint;
    const D3DXVECTOR4 clip(2 * call.Float(1) - 1, 1 - 2 * call.Float(2), 1, 1);
    if (view)
        D3DXVec4Transform(&farPoint, &clip, &view->inverseViewProjection);
    if (!view || !std::isnormal(farPoint.w)) {
        call.PushBool(false);
        call.PushObject(nullptr);
        PushPoint(call, {0, 0, 0});
        return call.Results();
    }
    const D3DXVECTOR3 eye = view->eye;
    D3DXVECTOR3 direction = D3DXVECTOR3(farPoint.x, farPoint.y, farPoint.z) / farPoint.w - eye;
    D3DXVec3Normalize(&direction, &direction);
    RayQuery query;
    query.origin = eye;
    query.direction = direction;
    query.length = kInterfaceRayLength;
    call.PushBool(g_Level->CrossRay(query));
    call.PushObject(query.hitObject.Get());
    const bool level = std::fabs(direction.z) < 1e-6f;
    call.PushNumber(level ? eye.x : eye.x - direction.x * eye.z / direction.z);
    call.PushNumber(level ? eye.y : eye.y - direction.y * eye.z / direction.z);
    call.PushNumber(0);
    return call.Results();
}

// The player's car, then the first cars of the level.
std::vector<CPPlayer*> RaceCars(int firstCars) {
    std::vector<CPPlayer*> cars;
    if (CPPlayer* player = PlayerCar())
        cars.push_back(player);
    for (const CPRefPtr<CPPlayer>& car : g_Level->cars) {
        if (firstCars-- <= 0)
            break;
        cars.push_back(car.Get());
    }
    return cars;
}

// Pushes every dark-side car within the radius of (x, y) against its motion.
int CheckIntersection(lua_State* L) {
    const ScriptCall call(L);
    if (!g_Level)
        return 0;
    const float x = call.Float(1), y = call.Float(2), radius = call.Float(4);
    for (CPPlayer* car : RaceCars(kFirstCars)) {
        const D3DXVECTOR3 position = car->GetPosition();
        const float dx = position.x - x, dy = position.y - y;
        if (!(car->GetFlags() & PLAYER_UMBRINE) || dx * dx + dy * dy > radius * radius)
            continue;
        float v[4];
        car->GetCarVelocity(v);
        D3DXVECTOR3 away(v[0], v[1], v[2]);
        const float speedSq = D3DXVec3LengthSq(&away);
        away = speedSq < 0.000001f ? D3DXVECTOR3(0, 0, 0) : away / std::sqrt(speedSq);
        car->ApplyImpulse(position, away * -kRepelImpulse);
    }
    return 0;
}

int SetWeaponPos(lua_State* L) {
    const ScriptCall call(L);
    if (g_Level)
        g_Level->SetWeaponPos({call.Float(1), call.Float(2), call.Float(3)}, call.ObjectAs<CPGameObject>(4));
    return 0;
}

// 1 when one of the first cars of the level is of the side and not wrecked.
int PushSideLeft(lua_State* L, int side) {
    ScriptCall call(L);
    bool left = false;
    int counted = 0;
    for (const CPRefPtr<CPPlayer>& car : LevelCars()) {
        if (counted++ >= kFirstCars)
            break;
        left = left || ((car->GetFlags() & side) && car->damage < 100);
    }
    call.PushNumber(left ? 1 : 0);
    return call.Results();
}

int IsDarkLeft(lua_State* L) {
    return PushSideLeft(L, PLAYER_UMBRINE);
}

int IsLightLeft(lua_State* L) {
    return PushSideLeft(L, PLAYER_AURINE);
}

bool IsAlly(const CPPlayer& player, const std::string& name) {
    const auto among = [&name](std::initializer_list<const char*> names) {
        return std::any_of(names.begin(), names.end(), [&name](const char* ally) { return name == ally; });
    };
    return ((player.GetFlags() & PLAYER_AURINE) && among({"sedan_3110_main", "scout", "truck_130_"})) ||
           ((player.GetFlags() & PLAYER_UMBRINE) && among({"coupe_tt", "limo", "suv_touring"}));
}

// The model of the racer of a position entry: the entries are keyed by the
// car's index in the level's list; a key that names no car is taken as it
// stands.
std::string RacerModel(const std::string& key) {
    int index = -1;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), index);
    if (error != std::errc() || end != key.data() + key.size() || index < 0)
        return key;
    for (const CPRefPtr<CPPlayer>& car : LevelCars()) {
        if (index-- == 0)
            return car->carModelName;
    }
    return key;
}

// The radar's screen point of a car at (x, y) seen from the player's car,
// turned with the camera; off the screen when outside the radar.
D3DXVECTOR2 RadarPoint(const D3DXVECTOR3& player, float x, float y, float scale) {
    D3DXMATRIX turn;
    D3DXMatrixRotationZ(&turn, g_Level->GetCamera()->heading - kHalfPi);
    const D3DXVECTOR3 offset(x - player.x, -(y - player.y), 0);
    D3DXVECTOR3 turned;
    D3DXVec3TransformCoord(&turned, &offset, &turn);
    const auto width = static_cast<float>(g_ScreenWidth);
    D3DXVECTOR2 point(width - 109 + turned.x / scale * 500, turned.y / scale * 500 + 100);
    if (point.x < width - 205 || point.y > 200)
        point.x = width + 50;
    return point;
}

// Three values per racer of the game data's position table: the radar's
// screen x and y and whether the racer is on the player's side.
int GetAIPositions(lua_State* L) {
    ScriptCall call(L);
    const CPPlayer* player = PlayerCar();
    const float scale = g_Level ? std::max(g_Level->grid.extentX, g_Level->grid.extentY) : 0.0f;
    if (!player || !g_GameData || !g_Level->GetCamera() || !(scale > 0))
        return 0;
    call.PushNumber(3.0 * static_cast<double>(g_GameData->racerTable.Size()));
    lua_newtable(L);
    int index = 1;
    g_GameData->racerTable.ForEach([&](const std::string& name, const RacerRecord& racer) {
        const D3DXVECTOR2 point = RadarPoint(player->GetPosition(), racer.x, racer.y, scale);
        lua_pushnumber(L, point.x);
        lua_rawseti(L, -2, index++);
        lua_pushnumber(L, point.y);
        lua_rawseti(L, -2, index++);
        lua_pushboolean(L, IsAlly(*player, RacerModel(name)));
        lua_rawseti(L, -2, index++);
    });
    return 2;
}

// The number of computer cars of the level; 0 without one.
int GetAICount(lua_State* L) {
    return PushNumber(L, static_cast<double>(LevelCars().size()));
}

constexpr std::array kTrackFunctions = std::to_array<ScriptFunction>({
    {"GetPlayerPosition", GetPlayerPosition},
    {"GetSplineLineCount", GetSplineLineCount},
    {"GetSplineLinePoint", GetSplineLinePoint},
    {"GetClosestLineCenter", GetClosestLineCenter},
    {"GetPlayerSplineAngle", GetPlayerSplineAngle},
    {"CrossPlayerRay", CrossPlayerRay},
    {"CrossInterfaceRay", CrossInterfaceRay},
    {"CheckIntersection", CheckIntersection},
    {"SetWeaponPos", SetWeaponPos},
    {"IsDarkLeft", IsDarkLeft},
    {"IsLightLeft", IsLightLeft},
    {"GetAIPositions", GetAIPositions},
    {"GetAICount", GetAICount},
});

} // namespace

void ForgetKeptSplineLine() {
    g_KeptLine = {};
}

ScriptFunctionTable TrackFunctions() {
    return kTrackFunctions;
}
