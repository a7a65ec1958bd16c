// The level's pass: it referees the race (result, clocks, the player's fixed
// steps, the computer cars, refill pads and checkpoints), then moves the
// camera, records the run and draws the frame.
#include "Core/PGlobalTimer.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Platform/Win32Time.h"
#include "Script/PScriptManager.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr float kPlayerStep = 0.016666668f;
// A stalled frame runs at most this much of the player's fixed steps, so a
// long hitch does not run hundreds of steps at once.
constexpr float kMaxPlayerBacklog = 0.25f;
constexpr float kWarmUpLimit = 16.0f;
constexpr float kPadSoundCoolDown = 2.0f;
constexpr float kFullNitro = 100.0f;
constexpr float kTrackAngleRadius = 40.0f;

void SendToJeep(const char* command) {
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByName("jeep", command, "");
}

void FillNitro(CPPlayer& car) {
    if (CPCar* physics = car.GetCar())
        physics->nitroReserve = std::min(physics->nitroReserve + kFullNitro, kFullNitro);
}

} // namespace

void CPLevel::Update() {
    const float dt = g_FrameTime;
    if (!raceOver)
        UpdateRaceResult();
    if (clock.warmUp < kWarmUpLimit)
        clock.warmUp += dt;
    clock.idle += dt;
    UpdateCheckpointClock(dt);
    UpdateDemoCamera(dt);
    UpdateClocks(dt);
    if (!demo.active)
        StepPlayer(dt);
    FeedCamera();
    FeedComputerCars(dt);
    UpdateTrackAngle();
    UpdateRefillPads(dt);
    if (!singleMode)
        UpdateCheckpoints();
    AimCamera();
    if (timeMode)
        UpdateTimeMode();
    SubmitFrame();
}

void CPLevel::SendToInterface(const std::string& command, const std::string& params) const {
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByName("game_interface", command, params);
}

void CPLevel::UpdateRaceResult() {
    if (laps.places[0] == kPlayerPlace) {
        if (timeMode) {
            FinishTimedRun();
            return;
        }
        SendToInterface("place", "1st");
        if (placeToFinish >= 0) {
            SendToInterface("show_message", "finish!");
            SendToJeep("game_over");
            resultSent = true;
        }
        raceOver = true;
    } else if (laps.places[1] == kPlayerPlace) {
        EndRace("2nd", placeToFinish >= 1);
    } else if (laps.places[2] == kPlayerPlace) {
        EndRace("3rd", placeToFinish >= 2);
    }
    const bool slotFree = std::count(std::begin(laps.places), std::end(laps.places), -1) > 0;
    const bool playerPlaced = std::count(std::begin(laps.places), std::end(laps.places), kPlayerPlace) > 0;
    // Three computer cars finished first.
    if (!slotFree && !playerPlaced)
        EndRace(nullptr, false);
}

void CPLevel::EndRace(const char* place, bool finished) {
    if (place)
        SendToInterface("place", place);
    raceOver = true;
    SendToInterface("show_message", finished ? "finish!" : "lost!");
    SendToJeep("game_over");
    resultSent = true;
}

// The lap just completed is the run; it replaces the level's best run when
// it is faster or there was none. Levels outside the record table keep no
// best run.
void CPLevel::FinishTimedRun() {
    bool best = true;
    RaceProgress* record = g_GameData ? g_GameData->GetRaceProgress(levelNumber) : nullptr;
    const int entry = g_GameData ? g_GameData->lapCount - 2 : -1;
    if (record && entry >= 0 && entry < static_cast<int>(g_GameData->lapTimes.size())) {
        const float time = g_GameData->lapTimes[entry];
        best = record->bestTime == 0 || time < record->bestTime;
        if (best) {
            record->bestTime = time;
            record->carModel = run.carModel;
            record->samples = run.samples;
        }
    }
    SendToInterface("show_message", best ? "finish!" : "lost!");
    SendToJeep("game_over");
    resultSent = true;
    raceOver = true;
}

void CPLevel::UpdateCheckpointClock(float dt) {
    if (!g_GameData || !g_GameData->checkpointMode || lastCheckpoint == -1 || resultSent || raceOver ||
        singleMode)
        return;
    clock.checkpointTimer -= dt;
    if (clock.checkpointTimer > 0)
        return;
    SendToInterface("checkpoint", "timeout!,1");
    SendToInterface("show_message", "lost!");
    SendToJeep("game_over");
    resultSent = true;
    raceOver = true;
    clock.checkpointTimer = 0;
}

void CPLevel::UpdateClocks(float dt) {
    raceTime += dt;
    countdown -= dt;
    const uint32_t now = timeGetTime();
    const float real = static_cast<float>(now - clock.mark) * 0.001f;
    clock.mark = now;
    UpdateTiming();
    demo.shotTime += real;
    if (countdown < 0 && !failedSent) {
        countdown = 0;
        if (g_ScriptManager)
            g_ScriptManager->SendCommandByCategory("main", "level_failed", "");
        failedSent = true;
    }
}

void CPLevel::StepPlayer(float dt) {
    clock.stepAccumulator = std::min(clock.stepAccumulator + dt, kMaxPlayerBacklog);
    while (clock.stepAccumulator >= kPlayerStep) {
        if (player)
            player->Update(kPlayerStep);
        clock.stepAccumulator -= kPlayerStep;
    }
}

void CPLevel::FeedComputerCars(float dt) {
    int index = 0;
    for (const CPRefPtr<CPPlayer>& car : cars) {
        if (extraCarsActive || index < kMainCars) {
            const D3DXVECTOR3 forward = ForwardOf(*car);
            const CPCar* physics = car->GetCar();
            const float speed =
                physics ? (physics->throttleForce < 0 ? physics->speed : -physics->speed) : 0.0f;
            const std::pair<int, int> pace =
                index < static_cast<int>(carPace.size()) ? carPace[index] : std::pair<int, int>(0, 0);
            if (feedDriver)
                feedDriver(index, *car, forward, speed, pace.first, pace.second);
            car->Update(dt);
        }
        if (index < kMainCars && g_GameData) {
            RacerRecord& position = g_GameData->racerTable[std::to_string(index)];
            position.x = car->GetPosition().x;
            position.y = car->GetPosition().y;
        }
        ++index;
    }
}

void CPLevel::UpdateTrackAngle() {
    if (!centrePath || !player)
        return;
    float radius = kTrackAngleRadius;
    trackAngle = centrePath->FindClosestLine(player->GetPosition(), radius, 1, playerLine);
}

void CPLevel::UpdateRefillPads(float dt) {
    clock.padSoundCooldown = std::max(0.0f, clock.padSoundCooldown - dt);
    for (const CPRefPtr<CPGameObject>& pad : refillPads)
        RefillAt(pad->partsBounds);
}

void CPLevel::RefillAt(const AxisAlignedBox& pad) {
    if (player && pad.Contains(player->GetPosition())) {
        const CPCar* physics = player->GetCar();
        if (physics && physics->nitroReserve != kFullNitro && clock.padSoundCooldown == 0) {
            if (CPRefPtr<CNSound> sound = g_Audio ? g_Audio->FindSound("fast") : CPRefPtr<CNSound>()) {
                if (sound->IsPlaying()) {
                    sound->Stop();
                    sound->Rewind();
                }
                sound->Play(0, 0);
            }
            clock.padSoundCooldown = kPadSoundCoolDown;
        }
        FillNitro(*player);
    }
    for (const CPRefPtr<CPPlayer>& car : cars) {
        if (pad.Contains(car->GetPosition()))
            FillNitro(*car);
    }
}

void CPLevel::UpdateCheckpoints() {
    if (!player || resultSent)
        return;
    int index = 0;
    for (const auto& [object, allowance] : checkpoints) {
        if (object->partsBounds.Contains(player->GetPosition()) && index != lastCheckpoint) {
            ReachCheckpoint(index, allowance);
            return;
        }
        ++index;
    }
}

void CPLevel::ReachCheckpoint(int index, float allowance) {
    ++checkpointsPassed;
    const float left = static_cast<float>(static_cast<int>(clock.checkpointTimer * 10)) * 0.1f;
    if (clock.checkpointTimer > 0 && g_GameData) {
        char bonus[256];
        std::snprintf(bonus, sizeof(bonus), "time,%s,%f", g_GameData->GetText("bonus_time").c_str(), left);
        SendToInterface("bonus_points", bonus);
    }
    clock.checkpointTimer = allowance;
    const int count = static_cast<int>(checkpoints.size());
    // The third lap's closing checkpoint is not announced.
    const bool lastOfThirdLap = g_GameData && g_GameData->lapCount == 3 && checkpointsPassed == count + 1;
    if (!lastOfThirdLap)
        SendToInterface("checkpoint", lastCheckpoint != -1 ? "checkpoint!,1" : "checkpoint!,0");
    lastCheckpoint = index;
    if (checkpointsPassed > count)
        checkpointsPassed = 1;
}
