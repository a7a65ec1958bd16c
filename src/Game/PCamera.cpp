#include "Game/PCamera.h"

#include "Core/GeometryFunctions.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Game/CameraTarget.h"
#include "Game/PLevelBranch.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kLongestStep = 0.1f;
constexpr float kSecondFarPlane = 2000.0f;
// Shorter directions have no usable heading or view axis.
constexpr float kDegenerateLength = 1e-6f;
// A quarter turn, less what a float makes of -pi/2 and pi/2.
constexpr float kTopViewAngle = D3DX_PI / 2 - 1e-4f;

std::unique_ptr<CPPerspectiveCamera> MakeRenderCamera(float farPlane) {
    auto camera = std::make_unique<CPPerspectiveCamera>();
    camera->nearPlane = 1.0f;
    camera->farPlane = farPlane;
    camera->up = D3DXVECTOR3(0, 0, 1);
    return camera;
}

} // namespace

CPCamera::CPCamera()
    : mainCamera(MakeRenderCamera(static_cast<float>(g_Distance))),
      secondCamera(MakeRenderCamera(kSecondFarPlane)) {
    g_MainCamera = mainCamera.get();
}

CPCamera::~CPCamera() {
    if (g_MainCamera == mainCamera.get())
        g_MainCamera = nullptr;
}

CPRefPtr<CPPerspectiveCamera> CPCamera::GetMainCamera() const {
    return mainCamera.get();
}

CPRefPtr<CPPerspectiveCamera> CPCamera::GetSecondCamera() const {
    return secondCamera.get();
}

void CPCamera::BindMainCamera(int priority) {
    if (g_Render)
        g_Render->SetLevelCamera(priority, mainCamera.get());
}

void CPCamera::BindSecondCamera(int priority) {
    if (g_Render)
        g_Render->SetLevelCamera(priority, secondCamera.get());
}

void CPCamera::SetDistance(float d) {
    targetDistance = d;
    if (distance == 0)
        distance = d;
}

void CPCamera::SetFov(float degrees) {
    targetFov = degrees;
    if (fov == 0) {
        fov = degrees;
        ApplyFov();
    }
}

void CPCamera::SetFixedView(const D3DXVECTOR3& eye, const D3DXVECTOR3& lookAt, const D3DXVECTOR3& up) {
    fixedEye = eye;
    fixedTarget = lookAt;
    fixedUp = up;
}

void CPCamera::SetSpatialTree(const CPRefPtr<CPLevelBranch>& tree) {
    levelTree = tree;
}

const D3DXVECTOR3* CPCamera::GetEyePosition() const {
    return &mainCamera->eye;
}

void CPCamera::Update() {
    if (fixedMode) {
        SetPose(fixedEye, fixedTarget, fixedUp);
    } else {
        const float dt = std::min(g_FrameTime, kLongestStep);
        Ease(dt);
        FollowCarHeading(dt);
        EaseHeading(dt);
        if (IsTopView())
            LookDownAtFocus();
        else
            PlaceBehindFocus();
    }
    mainCamera->UpdateMatrices();
    secondCamera->UpdateMatricesLike(mainCamera.get());
}

void CPCamera::Ease(float dt) {
    fov += (targetFov - fov) * dt * 2;
    distance += (targetDistance - distance) * dt * 2;
    ApplyFov();
    tilt += (targetTilt - tilt) * dt * 5;
}

// A field of view of 0 or less has no projection: the cameras keep theirs.
void CPCamera::ApplyFov() {
    if (fov <= 0)
        return;
    for (CPPerspectiveCamera* camera : {mainCamera.get(), secondCamera.get()}) {
        camera->fov = fov * kDegreesToRadians;
        camera->projectionDirty = true;
    }
}

void CPCamera::FollowCarHeading(float dt) {
    if (!target)
        return;
    const D3DXVECTOR3 forward = target->GetTargetForward();
    const float length = std::sqrt(forward.x * forward.x + forward.y * forward.y);
    // A car pointing straight up or down keeps the last heading.
    if (length > kDegenerateLength) {
        const float along = ClampedAcos(forward.x / length);
        heading = forward.y >= 0 ? along : -along;
    }
    float slideFactor = 0;
    float steering = 0;
    if (!target->GetCarSteering(slideFactor, steering))
        slideFactor = steering = 0;
    const float slide = slideFactor > 0 ? -2.0f : 0.0f;
    swing += (slide * steering - swing) * dt * 6;
    heading += swing;
    if (heading < 0)
        heading += 2 * D3DX_PI;
    if (target->IsResultSent())
        heading = target->GetTrackAngle() + D3DX_PI / 2;
}

void CPCamera::EaseHeading(float dt) {
    if (heading - smoothHeading > D3DX_PI)
        smoothHeading += 2 * D3DX_PI;
    else if (heading - smoothHeading < -D3DX_PI)
        smoothHeading -= 2 * D3DX_PI;
    smoothHeading += (heading - smoothHeading) * std::min(dt * 4, 1.0f);
    if (snapPending)
        smoothHeading = heading;
    snapPending = false;
}

float CPCamera::Yaw() const {
    float yaw = smoothHeading;
    if (g_TimeScale == 0 && target)
        yaw += target->GetDemoShotTime();
    return yaw;
}

// Fast cars pull the camera in, down to half the distance; below that it
// sinks instead (by the returned amount). Without a divisor speed has no
// effect.
float CPCamera::DistanceFromFocus(float& sink) const {
    const float z = distanceDiv > 0 ? distance - speed / distanceDiv : distance;
    const float d = std::max(distance * 0.5f, z);
    sink = std::min(z - d, 0.0f);
    return d;
}

// At an angle of a quarter turn or more, up or down, the chase pose would
// put the eye on the vertical through the focus (or past it) with no view
// direction.
bool CPCamera::IsTopView() const {
    return std::fabs(pitchBase) >= kTopViewAngle;
}

// The top view: straight above the focus at the chase distance, looking
// down, the car's heading up the screen.
void CPCamera::LookDownAtFocus() {
    float sink = 0;
    const float d = DistanceFromFocus(sink);
    const float yaw = Yaw();
    SetPose(focus + D3DXVECTOR3(0, 0, d), focus, D3DXVECTOR3(std::cos(yaw), std::sin(yaw), 0));
}

void CPCamera::PlaceBehindFocus() {
    const float yaw = Yaw();
    const float pitch = pitchBase - D3DX_PI / 2 + tilt;
    D3DXMATRIX pitchRotation, yawRotation;
    D3DXMatrixRotationY(&pitchRotation, pitch);
    D3DXMatrixRotationZ(&yawRotation, yaw);
    D3DXVECTOR3 offset = RotatedAxis(pitchRotation, yawRotation, 2);
    const D3DXVECTOR3 up = RotatedAxis(pitchRotation, yawRotation, 0);

    float sink = 0;
    offset *= DistanceFromFocus(sink);
    offset.z += sink;

    const D3DXVECTOR3 eye = focus + offset;
    const D3DXVECTOR3 lookAt = focus + D3DXVECTOR3(0, 0, offset.z);
    const D3DXVECTOR3 view = lookAt - eye;
    // Without a distance there is no view direction: keep the pose.
    if (D3DXVec3Length(&view) < kDegenerateLength)
        return;
    D3DXVECTOR3 f, u, axis;
    D3DXVec3Normalize(&f, &view);
    D3DXVec3Normalize(&u, &up);
    D3DXVec3Cross(&axis, &f, &u);
    if (D3DXVec3Length(&axis) < kDegenerateLength) {
        SetPose(eye, lookAt, up);
        return;
    }
    D3DXMATRIX tiltRotation;
    D3DXMatrixRotationAxis(&tiltRotation, &axis, -tilt);
    D3DXVECTOR3 tiltedF, tiltedU;
    D3DXVec3TransformNormal(&tiltedF, &f, &tiltRotation);
    D3DXVec3TransformNormal(&tiltedU, &u, &tiltRotation);
    SetPose(eye, eye + tiltedF, tiltedU);
}

void CPCamera::SetPose(const D3DXVECTOR3& eye, const D3DXVECTOR3& lookAt, const D3DXVECTOR3& up) {
    for (CPPerspectiveCamera* camera : {mainCamera.get(), secondCamera.get()}) {
        camera->eye = eye;
        camera->target = lookAt;
        camera->up = up;
        camera->viewDirty = true;
    }
}
