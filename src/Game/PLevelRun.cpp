// Starting and stopping a race: the tasks, the cameras and the objects of the
// level enter and leave the kernel.
#include "Core/Log.h"
#include "Core/PGlobalTimer.h"
#include "Core/PObjUpdater.h"
#include "Core/PTaskManager.h"
#include "Game/CheckpointMarker.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PLevelBranch.h"
#include "Particles/PParticlesManager.h"
#include "Physics/PPhysics.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Render/RenderPriority.h"
#include "Script/PScriptManager.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Vehicles/AI_Task.h"
#include "Vehicles/PPlayer.h"
#include "Vehicles/PShotSpawner.h"

#include <cstdio>

namespace {

// Render levels the race camera and the ground draw at.
constexpr int kShadowLevel = 16;
constexpr int kTerrainLevel = 17;
constexpr int kBlurLevel = 120;
// Per-car lap times cleared at the start.
constexpr int kClearedCarTimes = 5;

void AddToKernel(CPTask* task, int priority) {
    if (!task)
        return;
    task->priority = priority;
    if (g_TaskManager)
        g_TaskManager->AddTask(task);
}

} // namespace

void CPLevel::Start() {
    if (!player) {
        GetLog().Print(0, "The level has no player car: it cannot start\n");
        return;
    }
    placeToFinish = 0;
    raceOver = false;
    std::fill(std::begin(laps.places), std::end(laps.places), -1);
    clock.stepAccumulator = 0;
    g_FrameTime = 0;
    if (g_AITask)
        g_AITask->priority = PRIORITY_AI;
    AddToKernel(g_Physics, PRIORITY_PHYSICS);
    camera->BindMainCamera(kShadowLevel);
    // The menu's default camera, bound at a higher level, would otherwise
    // show the scenery and the road from the menu's eye: the race's scene is
    // seen through the chase camera until the level goes.
    camera->BindMainCamera(RENDER_DEFAULT_CAMERA);
    camera->BindSecondCamera(kBlurLevel);
    if (g_Render) {
        D3DXMATRIX identity;
        g_Render->SetLevelWorld(*D3DXMatrixIdentity(&identity), kTerrainLevel);
        const D3DXVECTOR4 light(sunLight.Direction.x, sunLight.Direction.y, sunLight.Direction.z, 0);
        const D3DXPLANE ground(0, 0, -1, 0);
        D3DXMATRIX shadow;
        g_Render->SetLevelWorld(*D3DXMatrixShadow(&shadow, &light, &ground), kShadowLevel);
        g_Render->levelCamera = camera->GetSecondCamera().Get();
    }
    // A second start replaces the update task; the old one must leave the
    // kernel before it is deleted.
    if (ownedUpdater && g_TaskManager)
        g_TaskManager->RemoveTask(ownedUpdater.get());
    ownedUpdater = std::make_unique<CPObjUpdater>(this, &CPLevel::Update);
    updaterTask = ownedUpdater.get();
    AddToKernel(ownedUpdater.get(), PRIORITY_LEVEL);
    AddToKernel(g_AITask, PRIORITY_AI);
    if (g_ShotSpawner)
        g_ShotSpawner->StartTask();
    shotsBlocked = false;
    player->Activate(PRIORITY_OBJECTS);
    if (levelModel)
        levelModel->Activate(PRIORITY_OBJECTS);
    currentCheckpoint = checkpointSequence.begin();
    countdown = 600.0f;
    SendStartCommands();
    ResetLapRecords();
    ResetProgress();
    clock.warmUp = 0;
    clock.idle = 0;
}

void CPLevel::SendStartCommands() {
    if (!g_ScriptManager)
        return;
    char money[64];
    std::snprintf(money, sizeof(money), "%.2f", g_GameData ? g_GameData->money : 0.0f);
    g_ScriptManager->SendCommandByName("gamemenu", "set_money", money);
    g_ScriptManager->SendCommandByName("gamemenu", "init_game_interface", "");
}

void CPLevel::ResetLapRecords() {
    if (!g_GameData)
        return;
    const auto entry = static_cast<std::size_t>(std::max(g_GameData->lapCount - 1, 0));
    if (g_GameData->lapTimes.size() <= entry)
        g_GameData->lapTimes.resize(entry + 1, 0.0f);
    g_GameData->lapTimes[entry] = 0;
    g_GameData->racerStats.ForEach([](const std::string&, RacerRecord& record) {
        const std::size_t count = std::min<std::size_t>(kClearedCarTimes, record.lapTimes.size());
        std::fill_n(record.lapTimes.begin(), count, 0.0f);
    });
}

void CPLevel::Stop() {
    StopExtraVehicles();
    if (levelModel)
        levelModel->Deactivate();
    laps.pathLines.Clear();
    laps.carLine.clear();
    laps.carProgress.clear();
    laps.lapTiming = false;
    EmptyObjectLists();
    if (player)
        player->Deactivate();
    ReleaseDrivers();
    if (spatialTree)
        spatialTree->DeactivateObjects();
    spatialTree = nullptr;
    run.ghost = nullptr;
    checkpointMarker = nullptr;
    if (updaterTask)
        updaterTask->Stop();
    updaterTask = nullptr;
    shotsBlocked = true;
    if (g_ShotSpawner)
        g_ShotSpawner->StopTask();
    grid.cells.reset();
    grid.counts.reset();
    player = nullptr;
    lensFlare = nullptr;
    if (g_ParticlesManager)
        g_ParticlesManager->ClearAll();
    if (g_GameData)
        g_GameData->checkpointMode = false;
    StopSounds();
    if (g_Render) {
        g_Render->ReleaseStaticBuffers();
        g_Render->levelCamera = nullptr;
    }
}

void CPLevel::EmptyObjectLists() {
    for (const CPRefPtr<CPGameObject>& object : looseObjects)
        object->Deactivate();
    looseObjects.clear();
    for (const CPRefPtr<CPPlayer>& car : cars)
        car->Deactivate();
    cars.clear();
    extraLooseObjects.clear();
    carPace.clear();
}

void CPLevel::ReleaseDrivers() {
    if (g_AITask) {
        g_AITask->ReleaseVehicles();
        g_AITask->Stop();
    }
    if (g_Physics)
        g_Physics->Stop();
}

void CPLevel::StopSounds() {
    if (g_Audio) {
        for (const auto& [name, sound] : g_Audio->sounds) {
            if (sound) {
                sound->Stop();
                sound->Rewind();
            }
        }
    }
    for (CNSound* sound : g_SoundList) {
        if (sound)
            sound->Stop();
    }
}
