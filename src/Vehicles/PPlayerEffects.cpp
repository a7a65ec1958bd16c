// What happens to a vehicle each frame beyond driving: defeat and game
// over, the drift score and turn arrows, the engine temperature, the shadow
// world, the slow-down and the throttle cut.
#include "Vehicles/PPlayer.h"

#include "Core/GeometryFunctions.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PLine.h"
#include "Particles/PParticlesManager.h"
#include "Particles/ParticleDesc.h"
#include "Render/PRender.h"
#include "Script/PScriptManager.h"
#include "Vehicles/PCar.h"
#include "Vehicles/WeaponAim.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr float kDefeatDamage = 100.0f;
constexpr float kSmokeInterval = 0.5f;
// "defeat" goes to the scripts once the defeat time lies in this window.
constexpr float kDefeatReportFrom = 3.0f;
constexpr float kDefeatReportTo = 20.0f;
constexpr float kDefeatReported = 666.0f;
constexpr float kDriftScoreFrom = 0.5f;
// The bend four pieces ahead that earns a turn arrow.
constexpr int kArrowLookAhead = 4;
constexpr float kArrowBend = 0.5235988f;
constexpr float kHotEngine = 0.8f;
constexpr float kShadowWorldTime = 15.0f;
constexpr float kSparksAtDefault = 60.0f;
constexpr float kDefaultParticleSystems = 25.0f;
constexpr float kSlowDownTime = 4.0f;
constexpr float kSlowDownSpeed = 10.0f;
constexpr float kCutTime = 4.0f;
constexpr BYTE kNoTint = 255;

std::string DriftScore(const std::string& label, float seconds) {
    char text[256];
    std::snprintf(text, sizeof(text), "time,%s,%f", label.c_str(), static_cast<double>(seconds));
    return text;
}

D3DXVECTOR3 AlongAngle(float angle) {
    return D3DXVECTOR3(std::cos(angle), std::sin(angle), 0);
}

} // namespace

void CPPlayer::UpdateDefeatEffects(float dt) {
    if (damage < kDefeatDamage || !locked)
        return;
    if (CPCar* physics = GetCar())
        physics->SetBrake(true);
    ShowPart("lflarerear", false);
    ShowPart("rflarerear", false);
    visible = true;
    if (!(flags & PLAYER_ALL_SIDES)) {
        smokeTime += dt;
        if (smokeTime >= kSmokeInterval) {
            EmitDefeatSmoke();
            smokeTime = 0;
        }
    }
    defeated = true;
}

void CPPlayer::EmitDefeatSmoke() const {
    ParticleDesc smoke;
    smoke.typeName = "smoke3car";
    smoke.position = position;
    const float r1 = RandomFraction(), r2 = RandomFraction(), r3 = RandomFraction();
    smoke.velocity = D3DXVECTOR3(r3 * 1.7f, r2 * 1.7f, r1 * 0.4f + 3.0f);
    smoke.acceleration = D3DXVECTOR3(0, 0, -1);
    smoke.size = 1000.0f;
    smoke.growth = 1.0f;
    smoke.lifetime = 2.5f;
    smoke.fade = true;
    SpawnParticle(smoke);
}

void CPPlayer::UpdateGameOver(float dt) {
    if (damage < kDefeatDamage || !(flags & PLAYER_HUMAN))
        return;
    if (!gameOverSent) {
        SendScriptCommand("game_interface", "show_message", "proigrish!");
        SendScriptCommand("jeep", "game_over", "");
        gameOverSent = true;
    }
    defeatTime += dt;
    if (defeatTime >= kDefeatReportFrom && defeatTime <= kDefeatReportTo) {
        SendScriptCommand("main", "defeat", "");
        defeatTime = kDefeatReported;
    }
}

void CPPlayer::UpdateTurnArrowsAndDrift(float) {
    const int arrow = TurnArrowAhead();
    const CPCar* physics = GetCar();
    if (physics && physics->slideFactor > 0 && physics->steering != 0) {
        driftTime += g_FrameTime;
    } else {
        if (driftTime > kDriftScoreFrom && g_GameData) {
            const float tenths = std::trunc(driftTime * 10.0f) * 0.1f;
            SendScriptCommand("game_interface", "bonus_points2",
                              DriftScore(g_GameData->GetText("drift_time"), tenths));
        }
        turnArrow = arrow;
        driftTime = 0;
    }
    SendScriptCommand("game_interface", "update_arrows", std::to_string(arrow));
}

// -1 or 1 when the track four pieces ahead of the player bends by more than
// 30 degrees from its direction at the player, else 0.
int CPPlayer::TurnArrowAhead() const {
    const CPLine* ahead = g_Level ? g_Level->playerLine : nullptr;
    for (int k = 0; k < kArrowLookAhead && ahead; ++k)
        ahead = g_Level->reverse ? ahead->next : ahead->prev;
    if (!ahead)
        return 0;
    const D3DXVECTOR3 here = AlongAngle(g_Level->trackAngle), there = AlongAngle(ahead->angle);
    if (std::fabs(ClampedAcos(D3DXVec3Dot(&here, &there))) <= kArrowBend)
        return 0;
    return here.x * there.y - there.x * here.y > 0 ? 1 : -1;
}

void CPPlayer::UpdateEngineTemperature(float dt) {
    const bool wasHot = engineTemperature >= kHotEngine;
    if (std::fabs(throttle) > 0)
        engineTemperature = std::min(engineTemperature + dt * engineRecord.heatRate, 1.0f);
    else
        engineTemperature = std::max(engineTemperature - dt * engineRecord.coolRate, 0.0f);
    const bool hot = engineTemperature >= kHotEngine;
    if (hot != wasHot)
        SendScriptCommand("gamemenu", "engine_temp", hot ? "1" : "0");
}

void CPPlayer::UpdateShadowWorld(float dt) {
    if (shadowWorldScreen) {
        shadowWorldScreenTime += dt;
        if (shadowWorldScreenTime >= kShadowWorldTime)
            LeaveShadowWorldScreen();
    }
    if (!inShadowWorld)
        return;
    const CPPlayer* target = g_Level ? g_Level->cameraTarget : nullptr;
    if (target && !target->inShadowWorld) {
        visible = false;
    } else {
        visible = true;
        EmitShadowWorldSparks();
    }
    shadowWorldTime += dt;
    if (shadowWorldTime >= kShadowWorldTime) {
        inShadowWorld = false;
        if (!(flags & PLAYER_HUMAN))
            visible = true;
    }
}

void CPPlayer::EnterShadowWorldScreen() {
    if (g_Render) {
        g_Render->motionBlurOn = 1;
        g_Render->motionBlurAmount = 0.3f;
        g_Render->pickupTint = 150;
    }
    shadowWorldScreen = true;
    shadowWorldScreenTime = 0;
    if (g_Level)
        g_Level->StopExtraVehicles();
}

void CPPlayer::LeaveShadowWorldScreen() {
    shadowWorldScreen = false;
    if (g_Render) {
        g_Render->motionBlurOn = 0;
        g_Render->motionBlurAmount = 0;
        g_Render->pickupTint = kNoTint;
    }
    if (g_Level)
        g_Level->StartExtraVehicles();
}

// Sparks fill the rear half of the vehicle's box. The camera's own car
// shows none while the camera is not the chase view.
void CPPlayer::EmitShadowWorldSparks() const {
    if ((IsCameraTarget() && g_Level->cameraView != 0) || g_ParticleSystems <= 0)
        return;
    const int count = static_cast<int>(kSparksAtDefault / (kDefaultParticleSystems / g_ParticleSystems));
    const D3DXVECTOR3* c = boundingBox.corners;
    for (int k = 0; k < count; ++k) {
        const float r1 = RandomFraction(), r2 = RandomFraction(), r3 = RandomFraction(),
                    r4 = RandomFraction();
        const D3DXVECTOR3 p1 = c[6] + (c[2] - c[6]) * r1;
        const D3DXVECTOR3 p2 = c[7] + (c[3] - c[7]) * r2;
        ParticleDesc spark;
        spark.typeName = "iskra3blue";
        spark.position = p1 + (p2 - p1) * r4 + (c[0] - c[3]) * (r3 * 0.5f);
        spark.size = 0.2f;
        spark.growth = 0.5f;
        spark.lifetime = RandomFraction() * 0.5f + 0.1f;
        spark.fade = true;
        SpawnParticle(spark);
    }
}

// While slowed the brake is held; the rear flares record whether the driver
// brakes too and so decide whether the brake stays on at the end.
void CPPlayer::UpdateSlowDown(float dt) {
    if (!slowed)
        return;
    CPRefPtr<CPGameObject> flare = GetPart("lflarerear");
    const bool driverBrakes = flare && flare->IsVisible();
    CPCar* physics = GetCar();
    if (physics)
        physics->SetBrake(true);
    if (!driverBrakes) {
        ShowPart("lflarerear", false);
        ShowPart("rflarerear", false);
    }
    slowTime += dt;
    float v[4];
    GetCarVelocity(v);
    const float speedSq = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    const float carSpeed = speedSq < 0.000001f ? 0.0f : std::sqrt(speedSq);
    if (slowTime >= kSlowDownTime || carSpeed < kSlowDownSpeed) {
        slowed = false;
        if (physics && !driverBrakes)
            physics->SetBrake(false);
    }
}

void CPPlayer::UpdateThrottleCut(float dt) {
    if (!cutTimerRunning)
        return;
    cutTimer += dt;
    if (cutTimer <= kCutTime)
        return;
    Lock(false);
    throttleCut = false;
    cutTimer = 0;
    cutTimerRunning = false;
    if (CPCar* physics = GetCar()) {
        physics->SetBrake(true);
        physics->SetBrake(false);
    }
}
