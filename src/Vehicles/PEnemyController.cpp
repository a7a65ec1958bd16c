#include "Vehicles/PEnemyController.h"

#include "Core/Log.h"
#include "Game/AnimationRequest.h"
#include "Game/PGameData.h"
#include "Game/PGameObject.h"
#include "Physics/PPhysicData.h"
#include "Platform/Random.h"
#include "Script/PScriptManager.h"
#include "Vehicles/PShotSpawner.h"

#include <cstdio>
#include <numbers>

EnemyShotLauncher g_EnemyShotLauncher;

float CPEnemyController::RandomFraction() {
    return static_cast<float>(PlatRand()) / static_cast<float>(PLAT_RAND_MAX);
}

CPEnemyController::CPEnemyController(CPGameObject* ownerObject) : owner(ownerObject) {}

void CPEnemyController::PlayAnimation(const std::string& animationName, bool loop, bool force,
                                      int loopParameter) {
    if (animationName == currentAnimation && !force)
        return;
    currentAnimation = animationName;
    currentRecord = {animationName, loop, loopParameter};
    AnimationRequest request;
    request.name = animationName;
    request.speed = 1.0f;
    request.loopCount = loop ? loopParameter : 1;
    const auto frame = reportFrames.find(animationName);
    request.reportFrame = frame == reportFrames.end() ? -1 : frame->second;
    owner->StartAnimation(request, false);
}

void CPEnemyController::SelectState(int state) {
    currentState = state;
    stateTimer = 0.0f;
    const auto record = states.find(state);
    if (record != states.end())
        PlayAnimation(record->second.name, record->second.loop, true, record->second.loopParameter);
}

bool CPEnemyController::IsInMelee() const {
    return currentAnimation.starts_with("melee");
}

void CPEnemyController::OpenFire() {
    if (dead || firing || currentAnimation == "fire_in")
        return;
    PlayAnimation("fire_in", false, true, 0);
}

void CPEnemyController::StartMelee() {
    if (dead || IsInMelee())
        return;
    firing = 0;
    lastMeleeName = "melee1";
    PlayAnimation(lastMeleeName, true, true, meleeParameters.empty() ? 0 : meleeParameters.front());
}

void CPEnemyController::Rest() {
    if (dead)
        return;
    if (firing || currentAnimation == "fire_in") {
        firing = 0;
        PlayAnimation("fire_out", false, true, 0);
    } else if (IsInMelee()) {
        SelectState(kIdleState);
    }
}

void CPEnemyController::OnAnimationEnd() {
    const std::string ended = currentAnimation;
    if (ended == "melee1" || ended == "melee2") {
        if (meleeCount <= 0)
            return;
        const int k = PlatRand() % meleeCount + 1;
        lastMeleeName = "melee" + std::to_string(k);
        const int parameter = k <= static_cast<int>(meleeParameters.size()) ? meleeParameters[k - 1] : 0;
        PlayAnimation(lastMeleeName, true, true, parameter);
        stateTimer = 0.0f;
    } else if (ended == "fire") {
        if (firing) {
            PlayAnimation("fire", true, true, fireParameter);
            stateTimer = 0.0f;
        }
    } else if (ended == "fire_in") {
        PlayAnimation("fire", true, true, fireParameter);
        firing = 1;
    } else if (ended == "fire_out") {
        SelectState(kIdleState);
        firing = 0;
    } else if (ended == "death1" || ended == "death2") {
        owner->collision = false;
        stateTimer = 0.0f;
    }
}

void CPEnemyController::TakeDamage(const D3DXVECTOR3& point, const D3DXVECTOR3& direction, float amount,
                                   bool silent) {
    if (dead)
        return;
    if (owner->physicData)
        owner->physicData->overrideMotion = false;
    hurt = true;
    health -= amount;
    if (!silent)
        Launch(damageEffect, point, -direction * amount);
    if (health > 0.0f)
        return;
    if (g_GameData) {
        g_GameData->money += static_cast<float>(reward);
        char money[64];
        std::snprintf(money, sizeof(money), "%.2f", g_GameData->money);
        if (g_ScriptManager)
            g_ScriptManager->SendCommandByName("gamemenu", "change_money", money);
        ++g_GameData->kills;
    }
    if (gibs && damageEffect == "blood1")
        BurstIntoGibs();
    ReportDeath();
    dead = true;
    SelectState(kDeathState);
}

void CPEnemyController::BurstIntoGibs() const {
    owner->SetVisible(false);
    const D3DXVECTOR3 start = owner->GetPosition() + D3DXVECTOR3(0, 0, gibHeight);
    const int count = PlatRand() % 5 + 5;
    D3DXVECTOR3 direction(0, 0, 1);
    for (int i = 0; i < count; ++i) {
        const std::string gib = PlatRand() % 2 == 0 ? "gib1" : "gib2";
        constexpr float kTurn = 2 * std::numbers::pi_v<float>;
        const float yaw = kTurn * RandomFraction(), pitch = kTurn * RandomFraction(),
                    roll = kTurn * RandomFraction();
        D3DXMATRIX turn;
        D3DXMatrixRotationYawPitchRoll(&turn, yaw, pitch, roll);
        D3DXVec3TransformNormal(&direction, &direction, &turn);
        Launch(gib, start, direction);
    }
}

void CPEnemyController::ReportDeath() {
    if (deathReported || reportSuppressed)
        return;
    const D3DXVECTOR3& at = owner->GetPosition();
    char place[128];
    std::snprintf(place, sizeof(place), "%.2f,%.2f,%.2f", at.x, at.y, at.z);
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByCategory("level", "enemy_death", name + "," + place);
    deathReported = true;
}

void CPEnemyController::Launch(const std::string& shot, const D3DXVECTOR3& position,
                               const D3DXVECTOR3& direction) const {
    if (g_EnemyShotLauncher) {
        g_EnemyShotLauncher(shot, position, direction, -1.0f, nullptr);
        return;
    }
    if (CPShotSpawner* spawner = GetShotSpawner()) {
        spawner->Spawn(shot, position, direction, -1.0f, nullptr);
        return;
    }
    GetLog().Print(1, "An enemy launches \"%s\" at (%.2f, %.2f, %.2f); no shot spawner takes it\n",
                   shot.c_str(), position.x, position.y, position.z);
}
