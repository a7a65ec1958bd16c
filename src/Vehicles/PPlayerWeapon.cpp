// The vehicle's weapons: choosing the active one, aiming and firing it, the
// shell cases and the flame thrower's particles.
#include "Vehicles/PPlayer.h"

#include "Core/GeometryFunctions.h"
#include "Core/PGlobalTimer.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Particles/PParticlesManager.h"
#include "Particles/Particle.h"
#include "Script/PScriptManager.h"
#include "Vehicles/PShotSpawner.h"
#include "Vehicles/WeaponAim.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float kFlamePeriod = 0.2f;
constexpr float kBarrelSpin = 10.5f;
constexpr float kHeavyGunCone = 0.1f;
constexpr float kShotgunCone = 0.4f;
constexpr float kShotgunDrop = -0.2f;
constexpr float kFlameSpeed = 14.0f;
// A particle whose age is set this high dies on its next update.
constexpr float kSpentAge = 1000.0f;
// The share of a volley's cost by which the load may fall short and still
// pay for it: sums of fractions such as 1/3 do not come out exact.
constexpr float kCostTolerance = 1e-4f;
// Volley sizes beyond this are refused as broken records.
constexpr int kMaxVolley = 64;

// The world position of an object from its world matrix.
D3DXVECTOR3 WorldPosition(const CPGameObject& object) {
    return D3DXVECTOR3(object.worldMatrix._41, object.worldMatrix._42, object.worldMatrix._43);
}

D3DXQUATERNION ToQuaternion(const D3DXMATRIX& rotation) {
    D3DXQUATERNION out;
    return *D3DXQuaternionRotationMatrix(&out, &rotation);
}

// A record whose numbers would make firing divide by zero, never wait or
// spawn without bound cannot arm a weapon.
bool IsUsable(const WeaponInfo& record) {
    return record.magazine >= 1 && record.fireRate > 0 && record.volleySize >= 1 &&
           record.volleySize <= kMaxVolley;
}

const std::string& SlotWeapon(const CarInfo& car, int slot) {
    const std::string* names[] = {&car.weapon1, &car.weapon2, &car.weapon3};
    return *names[slot];
}

} // namespace

void CPPlayer::SelectWeapon() {
    if (defeated)
        return;
    if (weaponPart)
        weaponPart->SetVisible(false);
    DropTreeReferences();
    weaponKind = WEAPON_NONE;
    if (weaponSlot >= 0 && weaponSlot < 3 && g_GameData)
        ArmWeapon(SlotWeapon(g_GameData->realCarInfo, weaponSlot));
    UpdateWeapon(aimPoint, nullptr);
}

void CPPlayer::DropTreeReferences() {
    weaponPart = nullptr;
    for (CPRefPtr<CPGameObject>& flash : muzzleFlashes)
        flash = nullptr;
}

// Without a usable catalogue record the vehicle gets no weapon part.
void CPPlayer::ArmWeapon(const std::string& itemName) {
    weaponName = itemName;
    const WeaponInfo* record = g_GameData->weaponCatalogue.Find(itemName);
    if (!record || !IsUsable(*record))
        return;
    weaponRecord = *record;
    weaponPart = FindChild(itemName);
    if (weaponPart)
        weaponPart->SetVisible(true);
    const char* suffixes[] = {"", "_01", "_02", "_03"};
    for (int k = 0; k < 4; ++k) {
        muzzleFlashes[k] = FindChild("flare_" + itemName + suffixes[k]);
        if (muzzleFlashes[k])
            muzzleFlashes[k]->SetVisible(false);
    }
    flashIndex = 3;
    weaponKind = WeaponKindFromName(itemName);
    if (weaponPart && ammunition[weaponSlot] < 0)
        weaponEmpty = true;
}

void CPPlayer::UpdateWeapon(const D3DXVECTOR3& target, const CPRefPtr<CPGameObject>& targetObject) {
    if (defeated)
        return;
    aimPoint = target;
    if (!weaponPart)
        return;
    if (weaponKind == WEAPON_FIRETHROWER)
        BurnFlameTargets();
    if (weaponKind == WEAPON_HMGUN && firing)
        SpinBarrel();
    const WeaponAimState aim = AimWeapon(target, targetObject);
    refireDelay -= g_FrameTime;
    // A slot changed without selecting its weapon has no load to pay with.
    if (weaponEmpty || !firing || refireDelay >= 0 || weaponSlot < 0 || weaponSlot >= 3)
        return;
    FireVolley(aim);
    SendScriptCommand("gamemenu", "update_game_interface", "");
}

CPPlayer::WeaponAimState CPPlayer::AimWeapon(const D3DXVECTOR3& target,
                                             const CPRefPtr<CPGameObject>& targetObject) {
    D3DXVECTOR3 muzzle;
    D3DXVec3TransformCoord(&muzzle, &weaponPart->position, &worldMatrix);
    const D3DXVECTOR3 back(0, -1, 0);
    D3DXVECTOR3 forward;
    D3DXVec3TransformNormal(&forward, &back, &worldMatrix);
    const bool bodied = targetObject && targetObject->physicData && targetObject->physicData->rigidBody;
    D3DXVECTOR3 aim = target - muzzle;
    if (bodied)
        aim.z = (targetObject->partsBounds.min.z + targetObject->partsBounds.max.z) / 2 - muzzle.z;
    const float yaw = AimYaw(aim, forward);
    WeaponAimState state;
    state.elevation = RocketElevation(std::hypot(aim.x, aim.y));
    D3DXMATRIX turn;
    D3DXMatrixRotationZ(&turn, yaw);
    if (weaponKind == WEAPON_RLAUNCHER) {
        D3DXMATRIX raise, heading = turn;
        D3DXMatrixRotationX(&raise, -state.elevation);
        D3DXMatrixMultiply(&turn, &raise, &heading);
    }
    weaponPart->SetOrientation(ToQuaternion(turn));
    weaponPart->UpdateHierarchy();
    if (!bodied)
        aim.z = 0;
    D3DXVec3Normalize(&state.direction, &aim);
    return state;
}

void CPPlayer::SpinBarrel() {
    barrelAngle += g_FrameTime * kBarrelSpin;
    if (CPRefPtr<CPGameObject> barrel = weaponPart->GetPart("stvol")) {
        const D3DXVECTOR3 axis(0, 1, 0);
        D3DXQUATERNION spin;
        barrel->SetOrientation(*D3DXQuaternionRotationAxis(&spin, &axis, barrelAngle));
    }
}

// A volley is paid for when the load falls short of its cost by no more
// than the tolerance; the load never goes below 0.
void CPPlayer::FireVolley(const WeaponAimState& aim) {
    const float cost =
        static_cast<float>(weaponRecord.volleySize) / static_cast<float>(weaponRecord.magazine);
    const float slack = cost * kCostTolerance;
    float& load = ammunition[weaponSlot];
    const float before = load;
    if (before >= cost - slack && weaponKind != WEAPON_NONE) {
        const D3DXVECTOR3 muzzle = NextMuzzleFlash();
        FireByKind(muzzle, aim);
        refireDelay = 1.0f / weaponRecord.fireRate;
        load = std::max(load - cost, 0.0f);
    }
    if (before - cost < cost - slack)
        weaponEmpty = true;
}

// Shows the next muzzle flash and gives its world position; the weapon
// part's when that flash is missing.
D3DXVECTOR3 CPPlayer::NextMuzzleFlash() {
    if (muzzleFlashes[flashIndex])
        muzzleFlashes[flashIndex]->SetVisible(false);
    flashIndex = (flashIndex + 1) % 4;
    CPGameObject* flash = muzzleFlashes[flashIndex].Get();
    if (!flash)
        return WorldPosition(*weaponPart);
    flash->SetVisible(true);
    return WorldPosition(*flash);
}

void CPPlayer::FireByKind(const D3DXVECTOR3& muzzle, const WeaponAimState& aim) {
    const D3DXVECTOR3& d = aim.direction;
    switch (weaponKind) {
    case WEAPON_LGUN:
    case WEAPON_LGUN2X:
        SpawnShot("trasser11", muzzle, d, weaponPart);
        EjectShellCase(weaponPart);
        break;
    case WEAPON_HMGUN:
        SpawnShot("trasser12", muzzle, ConeDirection(d, kHeavyGunCone), weaponPart);
        EjectShellCase(weaponPart);
        break;
    case WEAPON_SSRLAUNCHER:
        SpawnShot("srocket1", muzzle, d, weaponPart);
        break;
    case WEAPON_RLAUNCHER:
        SpawnShot("rocket1", muzzle, D3DXVECTOR3(d.x, d.y, aim.elevation), weaponPart);
        break;
    case WEAPON_PLASMA:
        SpawnShot("plazma", muzzle, d, muzzleFlashes[flashIndex]);
        break;
    case WEAPON_SHOTGUN:
        FireShotgun(muzzle, d);
        break;
    case WEAPON_GAUSS:
        SpawnShot("gauss1", muzzle, d, weaponPart);
        break;
    case WEAPON_FIRETHROWER:
        EmitFlame(muzzle, d);
        break;
    case WEAPON_NONE:
        break;
    }
}

void CPPlayer::FireShotgun(const D3DXVECTOR3& muzzle, const D3DXVECTOR3& direction) {
    const D3DXVECTOR3 lowered(direction.x, direction.y, kShotgunDrop);
    for (int k = 0; k < weaponRecord.volleySize; ++k) {
        SpawnShot("trasser13", muzzle, ConeDirection(lowered, kShotgunCone), weaponPart);
        EjectShellCase(weaponPart);
    }
}

void CPPlayer::SpawnShot(const char* shotName, const D3DXVECTOR3& at, const D3DXVECTOR3& direction,
                         const CPRefPtr<CPGameObject>& owner) const {
    if (g_ShotSpawner)
        g_ShotSpawner->Spawn(shotName, at, direction, weaponRecord.shotSpeed, owner);
}

void CPPlayer::EjectShellCase(const CPRefPtr<CPGameObject>& part) {
    if (!part)
        return;
    ParticleDesc shell;
    shell.typeName = "gilze";
    shell.position = WorldPosition(*part);
    shell.lifetime = 1.0f + RandomFraction();
    const D3DXVECTOR3 kick(-1, 0, 2);
    D3DXVec3TransformNormal(&shell.velocity, &kick, &part->worldMatrix);
    shell.velocity *= 4.0f + RandomFraction();
    shell.acceleration = D3DXVECTOR3(0, 0, -24.8f);
    shell.size = 0.2f;
    SpawnParticle(shell);
}

void CPPlayer::EmitFlame(const D3DXVECTOR3& muzzle, const D3DXVECTOR3& direction) {
    ParticleDesc flame;
    flame.typeName = "firethrower";
    flame.position = muzzle;
    flame.lifetime = RandomFraction() * 0.3f + 0.8f;
    const float roll = RandomFraction() * 0.2f - 0.1f;
    const float pitch = RandomFraction() * 0.2f - 0.1f;
    const float yaw = RandomFraction() * 0.2f - 0.1f;
    D3DXMATRIX scatter;
    D3DXMatrixRotationYawPitchRoll(&scatter, yaw, pitch, roll);
    D3DXVec3TransformNormal(&flame.velocity, &direction, &scatter);
    flame.velocity *= kFlameSpeed;
    flame.callback = &CPPlayer::OnFlameParticle;
    flame.attachment = this;
    SpawnParticle(flame);
}

void CPPlayer::BurnFlameTargets() {
    flameTimer -= g_FrameTime;
    while (flameTimer <= 0) {
        for (auto& [object, target] : flameTargets) {
            const D3DXVECTOR3& at = target.object->GetPosition();
            target.object->TakeDamage(at, at - position, weaponRecord.shotSpeed, 0, false);
            target.object->AttachFlame();
        }
        flameTimer += kFlamePeriod;
    }
    flameTargets.clear();
}

void CPPlayer::AddFlameTarget(const CPRefPtr<CPGameObject>& object) {
    if (!object || object.Get() == this)
        return;
    FlameTarget& target = flameTargets[object.Get()];
    target.object = object;
    ++target.count;
}

void CPPlayer::OnFlameParticle(CPObject* attachment, Particle& particle) {
    auto* vehicle = dynamic_cast<CPPlayer*>(attachment);
    if (!vehicle || !g_Level)
        return;
    const D3DXVECTOR3 path = particle.position - particle.previousPosition;
    RayQuery query;
    query.ignore = vehicle;
    query.origin = particle.previousPosition;
    query.length = D3DXVec3Length(&path);
    D3DXVec3Normalize(&query.direction, &path);
    if (query.length > 0 && g_Level->CrossRay(query) && query.hitOwner) {
        vehicle->AddFlameTarget(query.hitOwner);
        particle.age = kSpentAge;
    }
    std::vector<CPRefPtr<CPGameObject>> touched;
    g_Level->QuerySphere(particle.position, particle.size, touched);
    bool found = false;
    for (const CPRefPtr<CPGameObject>& object : touched) {
        if (object.Get() == vehicle)
            continue;
        vehicle->AddFlameTarget(object);
        found = true;
    }
    if (found)
        particle.age = kSpentAge;
}

float CPPlayer::GetAmmoFraction() const {
    return weaponSlot >= 0 && weaponSlot < 3 ? ammunition[weaponSlot] : 0.0f;
}
