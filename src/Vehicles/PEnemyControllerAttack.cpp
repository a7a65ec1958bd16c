// The enemy's attacks at the report points of its animations: melee blows
// along a short ray toward the player's car, and shots by weapon kind.
#include "Vehicles/PEnemyController.h"

#include "Game/PGameObject.h"
#include "Game/PLevel.h"
#include "Game/RayQuery.h"
#include "Platform/Random.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
// Height of the melee ray above the ground.
constexpr float kMeleeRayHeight = 1.5f;
// The enemies aim this much above the car's centre.
constexpr float kAimHeight = 0.3f;
constexpr float kHeavyGunSpread = 0.1f;
constexpr float kShotgunSpread = 0.4f;
constexpr int kShotgunPellets = 8;
constexpr int kRocketCycle = 3;

D3DXVECTOR3 Turned(const D3DXVECTOR3& v, const D3DXMATRIX& turn) {
    D3DXVECTOR3 out;
    D3DXVec3TransformNormal(&out, &v, &turn);
    return out;
}

D3DXVECTOR3 Normalized(const D3DXVECTOR3& v) {
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    return out;
}

// The rotation that turns (0, 1, 0) onto the unit direction: about the axis
// (a.z, 0, -a.x) by acos(a.y). Straight along +y it is no turn, straight
// along -y half a turn about z, where that axis vanishes.
D3DXMATRIX AimRotation(const D3DXVECTOR3& aim) {
    D3DXMATRIX rotation;
    const D3DXVECTOR3 axis(aim.z, 0, -aim.x);
    if (D3DXVec3LengthSq(&axis) < 1e-12f) {
        if (aim.y >= 0)
            D3DXMatrixIdentity(&rotation);
        else
            D3DXMatrixRotationZ(&rotation, kPi);
        return rotation;
    }
    D3DXMatrixRotationAxis(&rotation, &axis, std::acos(std::clamp(aim.y, -1.0f, 1.0f)));
    return rotation;
}

CPPlayer* TargetCar() {
    return g_Level ? g_Level->player.Get() : nullptr;
}

} // namespace

CPEnemyController::Stance CPEnemyController::GetStance() const {
    const CPGameObject& source = body ? *body : *owner;
    const D3DXMATRIX& world = source.GetWorldMatrix();
    const D3DXVECTOR3 facing = Normalized(D3DXVECTOR3(-world._21, -world._22, 0));
    const float dot = D3DXVec3Dot(&facing, &referenceDirection);
    float angle = std::fabs(dot) >= 0.0001f ? std::acos(std::clamp(dot, -1.0f, 1.0f)) : 0.0f;
    if (referenceDirection.x * facing.y - referenceDirection.y * facing.x < 0)
        angle = -angle;
    Stance stance;
    stance.position = source.GetPosition();
    D3DXMatrixRotationZ(&stance.turn, angle);
    return stance;
}

void CPEnemyController::Update() {
    CPPlayer* car = TargetCar();
    if (!car)
        return;
    const Stance stance = GetStance();
    const D3DXVECTOR3& target = car->GetPosition();
    if (currentAnimation == "melee1")
        Strike(stance, target, melee1, "hit1", true);
    else if (currentAnimation == "melee2")
        Strike(stance, target, melee2, "hit2", false);
    else if (currentAnimation == "fire")
        Fire(stance, target);
}

void CPEnemyController::Strike(const Stance& stance, const D3DXVECTOR3& target, const MeleeBlow& blow,
                               const char* hitKey, bool canExplode) {
    const D3DXVECTOR3 toTarget = Normalized(target - stance.position);
    RayQuery query;
    query.ignore = owner;
    query.origin = D3DXVECTOR3(stance.position.x, stance.position.y, kMeleeRayHeight);
    query.direction = Normalized(D3DXVECTOR3(toTarget.x, toTarget.y, 0));
    query.length = D3DXVec3Length(&blow.offset);
    // A target straight above gives no direction to strike along.
    const bool aimed = D3DXVec3LengthSq(&query.direction) > 0;
    if (aimed)
        g_Level->CrossRay(query);
    const D3DXVECTOR3 strikePoint = stance.position + Turned(blow.offset, stance.turn);
    if (canExplode && weaponKind == "explosion") {
        Launch("rocket_exp2", strikePoint, toTarget);
        SelectState(kDeathState);
        ReportDeath();
        return;
    }
    CPPlayer* car = g_Level->player.Get();
    if (!aimed || (query.hitObject.Get() != car && query.hitOwner.Get() != car))
        return;
    PlayHitSound(hitKey);
    car->ApplyImpulse(strikePoint, blow.pushForce * Turned(blow.pushDirection, stance.turn));
    car->TakeDamage(strikePoint, toTarget, blow.damage, 0, false);
}

void CPEnemyController::PlayHitSound(const char* hitKey) const {
    const auto entry = soundNames.find(hitKey);
    if (entry != soundNames.end() && g_Audio)
        PlayFromStart(g_Audio->FindSound(entry->second));
}

void CPEnemyController::Fire(const Stance& stance, const D3DXVECTOR3& target) {
    const D3DXVECTOR3 muzzle = stance.position + Turned(fireOffset, stance.turn);
    const D3DXVECTOR3 aim = Normalized(target + D3DXVECTOR3(0, 0, kAimHeight) - muzzle);
    const D3DXMATRIX aimRotation = AimRotation(aim);
    const auto spread = [&aimRotation](float size) {
        const float yaw = 2 * kPi * RandomFraction();
        const float roll = size * RandomFraction();
        D3DXMATRIX rotation;
        D3DXMatrixRotationYawPitchRoll(&rotation, yaw, 0, roll);
        D3DXMatrixMultiply(&rotation, &rotation, &aimRotation);
        return Turned(D3DXVECTOR3(0, 1, 0), rotation);
    };
    if (weaponKind == "hmgun") {
        Launch("trasser22", muzzle, spread(kHeavyGunSpread));
    } else if (weaponKind == "mgun" || weaponKind == "lgun") {
        Launch("trasser21", muzzle, aim);
    } else if (weaponKind == "shotgun") {
        for (int i = 0; i < kShotgunPellets; ++i)
            Launch("trasser23", muzzle, spread(kShotgunSpread));
    } else if (weaponKind == "plasma") {
        Launch("plazma_shot2", muzzle, aim);
    } else if (weaponKind == "rocket") {
        Launch(NextRocketShot(), muzzle, aim);
    }
}

const char* CPEnemyController::NextRocketShot() {
    if (++rocketCounter < kRocketCycle)
        return "plazma_shot2";
    rocketCounter = 0;
    return PlatRand() % 2 == 0 ? "srocket2" : "plazma_shot2";
}
