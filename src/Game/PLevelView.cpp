// The second half of the level's pass: the attract-mode camera, what the
// chase camera is told of its car, the recorded run of time mode with its
// ghost, and the frame's drawing with the sun's lens flare.
#include "Core/GeometryFunctions.h"
#include "Core/PSettings.h"
#include "Game/LensFlareView.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PLevelBranch.h"
#include "Platform/Random.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PQuadTree.h"
#include "Render/PRender.h"
#include "Render/PSky.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PPlayer.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kDemoShotLength = 1.5f;
constexpr float kLowDemoAngle = -0.2617994f;
constexpr float kOrbitTurnRate = 0.3f;
constexpr float kOrbitHeightShare = 0.6666667f;
constexpr float kSampleInterval = 0.05f;
constexpr float kStillSpeedSquared = 1e-6f;
constexpr int kOrbitShot = 1;
constexpr int kFixedView = 2;

// The car's forward (its -y axis) and up (its z axis) in world space.
void CarAxes(const CPGameObject& car, D3DXVECTOR3& forward, D3DXVECTOR3& up) {
    D3DXMATRIX rotation;
    D3DXMatrixRotationQuaternion(&rotation, &car.GetOrientation());
    const D3DXVECTOR3 ahead(0, -1, 0);
    const D3DXVECTOR3 top(0, 0, 1);
    D3DXVec3TransformNormal(&forward, &ahead, &rotation);
    D3DXVec3TransformNormal(&up, &top, &rotation);
}

float BodySpeed(const CPPlayer& car) {
    float velocity[4];
    car.GetCarVelocity(velocity);
    const float squared = velocity[0] * velocity[0] + velocity[1] * velocity[1] + velocity[2] * velocity[2];
    return squared < kStillSpeedSquared ? 0.0f : std::sqrt(squared);
}

} // namespace

void CPLevel::UpdateDemoCamera(float dt) {
    if (!demo.active)
        return;
    demo.clock += dt;
    if (demo.clock <= kDemoShotLength)
        return;
    demo.clock = 0;
    if (PlatRand() % 2 == 0)
        SetCameraView(PlatRand() % 2);
    else
        ChooseDemoShot();
}

void CPLevel::ChooseDemoShot() {
    const int shot = PlatRand() % 3;
    if (shot == demo.shot)
        return;
    demo.shot = shot;
    demo.shotTime = 0;
    demo.turnSign = PlatRand() % 2 == 0 ? -1.0f : 1.0f;
    if (!camera)
        return;
    if (shot == 0)
        camera->SetHeading(targetHeading);
    else if (shot == 2)
        camera->SetHeading(-kPi);
    camera->SetAngle(PlatRand() % 4 == 0 ? kLowDemoAngle : -kPi / 2);
}

void CPLevel::FeedCamera() {
    if (!camera || !cameraTarget)
        return;
    const D3DXVECTOR3& at = cameraTarget->GetPosition();
    D3DXVECTOR3 forward, up;
    CarAxes(*cameraTarget, forward, up);
    const CPCar* car = cameraTarget->GetCar();
    targetSpeed = car ? car->speed : 0.0f;
    camera->targetSpeed = targetSpeed;
    camera->angleDiv = activeView.angleDiv;
    camera->targetTilt = std::fabs(ClampedAcos(forward.z)) - kPi / 2;
    camera->viewAngle = activeView.angle;
    camera->carHeight = at.z;
    if (demo.shot == kOrbitShot) {
        // Without a divisor the speed does not widen the orbit.
        const float widening = activeView.distanceDiv != 0 ? targetSpeed / activeView.distanceDiv : 0.0f;
        camera->focus = D3DXVECTOR3(at.x, at.y, at.z + activeView.height * kOrbitHeightShare);
        camera->SetDistance(widening + activeView.distance);
    } else if (cameraView != kFixedView) {
        camera->distanceDiv = activeView.distanceDiv;
        camera->SetDistance(activeView.distance);
        camera->focus = D3DXVECTOR3(at.x, at.y, at.z + activeView.height);
    }
    camera->speed = BodySpeed(*cameraTarget);
}

void CPLevel::AimCamera() {
    if (!camera || !cameraTarget)
        return;
    D3DXVECTOR3 forward, up;
    CarAxes(*cameraTarget, forward, up);
    const float heading = HeadingAlong(forward);
    if (cameraView != kFixedView && demo.shot == kOrbitShot) {
        camera->SetHeading(demo.turnSign * demo.shotTime * kOrbitTurnRate);
    } else if (cameraView == kFixedView) {
        const D3DXVECTOR3 eye =
            cameraTarget->GetPosition() + forward * views[2].distance + up * views[2].height;
        camera->SetFixedView(eye, eye + forward, up);
        camera->SetHeading(heading);
    }
    targetForward = forward;
    targetHeading = heading;
    camera->SetTarget(this);
    camera->Update();
}

void CPLevel::UpdateTimeMode() {
    if (player && raceTime > run.lastSampleTime + kSampleInterval) {
        run.lastSampleTime = raceTime;
        run.samples.push_back({player->GetPosition(), player->GetOrientation(), raceTime});
    }
    const RaceProgress* best = g_GameData ? g_GameData->GetRaceProgress(levelNumber) : nullptr;
    // A best run without samples has no ghost.
    if (!run.ghost || !best || best->samples.empty())
        return;
    MoveGhost(best->samples);
    if (g_Render && g_Render->GetRenderBlock())
        g_Render->GetRenderBlock()->AddObject(run.ghost.Get());
}

void CPLevel::MoveGhost(const std::vector<RunSample>& samples) {
    const int last = static_cast<int>(samples.size()) - 1;
    run.ghostIndex = std::min(run.ghostIndex, last);
    while (samples[run.ghostIndex].raceTime < raceTime && run.ghostIndex < last)
        ++run.ghostIndex;
    if (samples[run.ghostIndex].raceTime < raceTime || run.ghostIndex == 0)
        return;
    const RunSample& from = samples[run.ghostIndex - 1];
    const RunSample& to = samples[run.ghostIndex];
    const float span = to.raceTime - from.raceTime;
    // Two samples at the same time: the later one stands.
    const float t = span > 0 ? (raceTime - from.raceTime) / span : 1.0f;
    D3DXVECTOR3 position;
    D3DXVec3Lerp(&position, &from.position, &to.position, t);
    run.ghost->SetPosition(position);
    run.ghost->SetOrientation(to.orientation);
    run.ghost->UpdateHierarchy();
}

void CPLevel::SubmitFrame() {
    if (!g_Render || !camera)
        return;
    if (const CPRefPtr<CPRenderBlock> block = g_Render->GetRenderBlock())
        SubmitScene(*block);
    if (auto* flare = dynamic_cast<LensFlareView*>(lensFlare.Get()); flare && g_LensFlare)
        PlaceFlare(*flare);
}

void CPLevel::SubmitScene(CPRenderBlock& block) {
    if (g_Plane != 0 && terrain)
        block.AddVisual(terrain.Get());
    for (const CPRefPtr<CPPlayer>& car : cars)
        car->SubmitForDrawing(block, *camera);
    if (player && !demo.active)
        player->SubmitForDrawing(block, *camera);
    if (g_QuadLevels == 0 && spatialTree)
        spatialTree->CullVisible(camera->GetMainCamera());
    else if (g_QuadLevels != 0 && quadTree)
        quadTree->SubmitVisible(camera->GetMainCamera());
}

// The flare shows while the sun projects onto the screen above the horizon
// and in front of the eye; behind the eye it is hidden but still follows the
// projected point.
void CPLevel::PlaceFlare(LensFlareView& flare) const {
    D3DXVECTOR3 onScreen;
    g_Render->ProjectToScreen(&onScreen, &g_SunPosition);
    const bool offScreen = onScreen.x < 0 || onScreen.x >= static_cast<float>(g_ScreenWidth) ||
                           onScreen.y < 0 || onScreen.y >= static_cast<float>(g_ScreenHeight) ||
                           g_SunPosition.z <= 0;
    if (offScreen) {
        flare.SetFlareVisible(false);
    } else {
        const CPPerspectiveCamera& view = *camera->GetMainCamera();
        D3DXVECTOR3 sun, look;
        D3DXVec3Normalize(&sun, &g_SunPosition);
        const D3DXVECTOR3 direction = view.target - view.eye;
        D3DXVec3Normalize(&look, &direction);
        flare.SetFlareVisible(D3DXVec3Dot(&sun, &look) >= 0);
        flare.SetSunPosition(static_cast<int>(onScreen.x), static_cast<int>(onScreen.y));
    }
    flare.Render();
}
