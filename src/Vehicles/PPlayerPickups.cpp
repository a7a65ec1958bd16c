// The pickups and traps of the bonus list that a vehicle touches.
#include "Vehicles/PPlayer.h"

#include "Core/GeometryFunctions.h"
#include "Core/PGlobalTimer.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Particles/PParticlesManager.h"
#include "Particles/ParticleDesc.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Physics/VectorConversions.h"
#include "Script/PScriptManager.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PShotSpawner.h"
#include "Vehicles/WeaponAim.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kRepair = 20.0f;
constexpr float kFastCut = 2.0f;
constexpr float kTrapBonusTime = 4.0f;
constexpr float kSphereHalfSize = 3.5f;
constexpr int kMaxPushes = 10;
constexpr double kPushSeriesGap = 1.0;
constexpr float kMaxPushForce = 300.0f;
constexpr double kRepulsionGap = 0.2;
constexpr float kMaxRepulsion = 400.0f;
constexpr float kSoundFarDistance = 200.0f;

// A box by its centre and half size.
struct TouchBox {
    D3DXVECTOR3 centre;
    D3DXVECTOR3 half;
};

TouchBox BoxOf(const AxisAlignedBox& box) {
    return {(box.min + box.max) * 0.5f, (box.max - box.min) * 0.5f};
}

// Which pickup an object is, when it is one.
bool FindBonusKind(const CPGameObject& object, EBonusKind& kind) {
    if (object.name == "bonus_remont") {
        kind = BONUS_REMONT;
        return true;
    }
    static const std::pair<const char*, EBonusKind> marks[] = {
        {"glow3", BONUS_FAST}, {"glow2", BONUS_SLOW}, {"glow6", BONUS_MINUS}, {"glow4", BONUS_PLUS}};
    for (const auto& [part, bonus] : marks) {
        if (object.GetPart(part)) {
            kind = bonus;
            return true;
        }
    }
    return false;
}

void PlayPickupSound(const char* soundName, const D3DXVECTOR3& at) {
    CPRefPtr<CNSound> sound = g_Audio ? g_Audio->FindSound(soundName) : nullptr;
    if (!sound)
        return;
    SetSoundPosition(sound, at, D3DXVECTOR3(0, 0, 0));
    CNAudio::SetSoundDistances(sound, 0, kSoundFarDistance);
    if (sound->IsPlaying()) {
        sound->Stop();
        sound->Rewind();
    }
    sound->Play(0, 0);
}

} // namespace

void CPPlayer::UpdatePickups() {
    if (!g_Level || !g_Level->laps.lapTiming || !g_GameData)
        return;
    std::vector<HeldObject>& bonuses = g_GameData->heldObjects;
    // A taken pickup leaves the list: the entry after it moves into its
    // place and is looked at next.
    for (std::size_t k = 0; k < bonuses.size();) {
        const CPRefPtr<CPGameObject> object = bonuses[k].object;
        if (object && Touches(*object) && ActOnTouch(object, k))
            continue;
        ++k;
    }
}

// Per axis the centres lie no further apart than the half sizes together
// divided by the object's divisor. An "empty" object is measured by its
// "v_bii" part and is skipped without one.
bool CPPlayer::Touches(const CPGameObject& object) const {
    TouchBox bo = BoxOf(object.bounds);
    float divisor = 3.3f;
    if (object.name == "empty") {
        const CPRefPtr<CPGameObject> marker = object.GetPart("v_bii");
        if (!marker)
            return false;
        bo = BoxOf(marker->bounds);
        divisor = 0.8f;
    }
    if (object.GetPart("sphera"))
        bo.half.x = bo.half.y = kSphereHalfSize;
    if (object.name == "fake") {
        divisor = 1.0f;
    } else if (object.name == "light") {
        divisor = 2.0f;
    } else if (object.name == "halo") {
        divisor = 1.0f;
        bo.half.x /= 3;
        bo.half.y /= 3;
    }
    const TouchBox bv = BoxOf(carModelName == "scout" ? partsBounds : bounds);
    return std::fabs(bo.centre.x - bv.centre.x) <= (bo.half.x + bv.half.x) / divisor &&
           std::fabs(bo.centre.y - bv.centre.y) <= (bo.half.y + bv.half.y) / divisor &&
           std::fabs(bo.centre.z - bv.centre.z) <= (bo.half.z + bv.half.z) / divisor;
}

// True when the object was a pickup and left the list.
bool CPPlayer::ActOnTouch(const CPRefPtr<CPGameObject>& object, std::size_t entry) {
    const bool takesPickups = !(flags & PLAYER_ALL_SIDES);
    const bool aurineTraps = flags & (PLAYER_AURINE | PLAYER_ALL_SIDES);
    const bool umbrineTraps = flags & (PLAYER_UMBRINE | PLAYER_ALL_SIDES);
    EBonusKind kind;
    if (takesPickups && FindBonusKind(*object, kind)) {
        TakePickup(kind, object, entry);
        return true;
    }
    if (object->GetPart("sphera")) {
        if (umbrineTraps)
            Push(*object);
    } else if (takesPickups && object->GetPart("portal_a")) {
        TakePickup(BONUS_PORTAL, object, entry);
        return true;
    } else if (object->GetPart("v_bii")) {
        if (aurineTraps)
            Spin();
    } else if (object->name == "light") {
        if (umbrineTraps)
            CatchInLight();
    } else if (object->name == "halo" && aurineTraps) {
        Repel(*object);
    }
    return false;
}

// A portal leaves the list before it acts on the vehicle; the scripts hear
// of it afterwards all the same.
void CPPlayer::TakePickup(EBonusKind kind, const CPRefPtr<CPGameObject>& object, std::size_t entry) {
    const BonusLook& look = kBonusLooks[kind];
    const D3DXVECTOR3 at = object->GetPosition();
    if (g_ShotSpawner)
        g_ShotSpawner->Spawn(look.effect, at, D3DXVECTOR3(0, 0, 1), -1.0f, nullptr);
    PlayPickupSound(look.sound, at);
    std::vector<HeldObject>& bonuses = g_GameData->heldObjects;
    if (kind == BONUS_PORTAL)
        bonuses.erase(bonuses.begin() + static_cast<std::ptrdiff_t>(entry));
    ApplyPickup(kind);
    if (flags & PLAYER_HUMAN)
        SendScriptCommand("game_interface", "show_message", look.message);
    if (kind != BONUS_PORTAL)
        bonuses.erase(bonuses.begin() + static_cast<std::ptrdiff_t>(entry));
    SendScriptCommand("main", "update_bonus_list", look.item);
}

void CPPlayer::ApplyPickup(EBonusKind kind) {
    CPCar* physics = GetCar();
    switch (kind) {
    case BONUS_REMONT:
        damage = std::max(damage - kRepair, 0.0f);
        break;
    case BONUS_FAST:
        throttleCut = true;
        SetControls(0, steering);
        cutTimerRunning = true;
        cutTimer = kFastCut;
        break;
    case BONUS_SLOW:
        if (physics)
            physics->SetBrake(true);
        if (CPRefPtr<CPGameObject> flare = GetPart("lflarerear"); flare && !flare->IsVisible())
            ShowPart("rflarerear", false);
        slowed = true;
        slowTime = 0;
        break;
    case BONUS_MINUS:
        ChangeAbilities(abilities > 0 ? -1 : 0);
        break;
    case BONUS_PLUS:
        ChangeAbilities(abilities < g_GameData->maxAbilityCount ? 1 : 0);
        break;
    case BONUS_PORTAL:
        EnterShadowWorld();
        break;
    }
}

void CPPlayer::ChangeAbilities(int change) {
    if (change == 0)
        return;
    abilities += change;
    SendScriptCommand("game_interface", "redraw_abilities", "");
}

void CPPlayer::EnterShadowWorld() {
    inShadowWorld = true;
    shadowWorldTime = 0;
    if (IsCameraTarget())
        EnterShadowWorldScreen();
    else if (!(flags & PLAYER_HUMAN))
        visible = false;
}

// At most ten pushes in a series; a second without one starts a new
// series, whose first push sets the direction the others keep.
void CPPlayer::Push(const CPGameObject& object) {
    CPCar* physics = GetCar();
    if (g_GameTime - lastPushTime >= kPushSeriesGap)
        pushCount = 0;
    if (pushCount >= kMaxPushes || !physics || !physicData)
        return;
    const float mass = physicData->mass;
    const float force = std::min(physics->speed * 2.4f * mass * 0.1f, kMaxPushForce);
    const D3DXVECTOR3& from = object.GetPosition();
    if (pushCount == 0)
        pushDirection = D3DXVECTOR3(position.x - from.x, position.y - from.y, position.z);
    D3DXVECTOR3 impulse = pushDirection * force;
    impulse.z = mass * 2.0f;
    physics->ApplyImpulse(position, impulse);
    bonusTimer = kTrapBonusTime;
    ++pushCount;
    lastPushTime = g_GameTime;
}

void CPPlayer::Spin() {
    CPCar* physics = GetCar();
    RbRigidBody* body = physicData ? physicData->rigidBody : nullptr;
    if (!physics || !body)
        return;
    const float mass = physicData->mass;
    physics->ApplyImpulse(position, D3DXVECTOR3(0, 0, 1.5f * mass));
    body->SetAngularMomentum(ToRb(D3DXVECTOR3(0, 0, 30.0f * mass)));
    bonusTimer = kTrapBonusTime;
}

// Every frame in the light restarts the lock's four seconds.
void CPPlayer::CatchInLight() {
    locked = true;
    if (CPCar* physics = GetCar()) {
        physics->SetControls(0, steering);
        physics->locked = true;
    }
    cutTimerRunning = true;
    cutTimer = 0;
}

void CPPlayer::Repel(const CPGameObject& halo) {
    if (g_GameTime - lastRepulsionTime < kRepulsionGap)
        return;
    D3DXVECTOR3 towards = halo.GetPosition() - position;
    D3DXVec3Normalize(&towards, &towards);
    EmitHaloWall(towards);
    D3DXVECTOR3 impulse = (position - BoxOf(halo.bounds).centre) * 100.0f;
    if (D3DXVec3LengthSq(&impulse) > kMaxRepulsion * kMaxRepulsion) {
        D3DXVec3Normalize(&impulse, &impulse);
        impulse *= kMaxRepulsion;
    }
    ApplyImpulse(position, impulse);
    bonusTimer = kTrapBonusTime;
    lastRepulsionTime = g_GameTime;
}

void CPPlayer::EmitHaloWall(const D3DXVECTOR3& towards) const {
    const D3DXVECTOR3 back(0, -1, 0);
    D3DXMATRIX turn;
    D3DXMatrixRotationZ(&turn, ClampedAcos(D3DXVec3Dot(&towards, &back)) + std::numbers::pi_v<float> / 2);
    ParticleDesc wall;
    wall.typeName = "wall";
    wall.position = position + towards;
    D3DXVec3TransformNormal(&wall.velocity, &back, &turn);
    wall.velocity.z = 0;
    wall.size = 4.0f;
    wall.growth = RandomFraction() * 1.8f + 0.4f;
    wall.lifetime = 0.5f;
    wall.fade = true;
    SpawnParticle(wall);
}
