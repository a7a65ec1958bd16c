#pragma once

#include "Core/PObject.h"
#include "Core/PRefPtr.h"
#include "Platform/D3DX9Math.h"

#include <memory>

class CameraTarget;
class CPLevelBranch;
class CPPerspectiveCamera;

// The race camera: follows the level's camera target behind and above it,
// easing its distance, field of view, heading, swing and tilt toward their
// targets, or holds a fixed pose. It drives two render cameras with the same
// pose: the main one (published in g_MainCamera) and a second one reaching
// 2000 units for the motion-blur pass.
class CPCamera : public CPObject {
public:
    CPCamera();
    ~CPCamera() override;
    CPCamera(const CPCamera&) = delete;
    CPCamera& operator=(const CPCamera&) = delete;

    size_t GetSize() const override { return sizeof(CPCamera); }
    std::string GetClassName() const override { return "CPCamera"; }

    CPRefPtr<CPPerspectiveCamera> GetMainCamera() const;
    CPRefPtr<CPPerspectiveCamera> GetSecondCamera() const;
    void BindMainCamera(int priority);
    void BindSecondCamera(int priority);

    // The first distance is taken at once, later ones are eased toward.
    void SetDistance(float d);
    void SetHeading(float angle) { heading = angle; }
    // The camera's elevation above the car (radians); a quarter turn or more
    // either way looks straight down at the car.
    void SetAngle(float angle) { pitchBase = angle; }
    // The first field of view (degrees) is taken at once, later ones are
    // eased toward.
    void SetFov(float degrees);
    void SetFixedView(const D3DXVECTOR3& eye, const D3DXVECTOR3& target, const D3DXVECTOR3& up);
    void SetSpatialTree(const CPRefPtr<CPLevelBranch>& tree);
    // The next update turns straight to the heading, without easing (after a
    // respawn).
    void Snap() { snapPending = true; }
    // What the camera reads of the level and its car; null reads nothing.
    void SetTarget(const CameraTarget* source) { target = source; }
    const D3DXVECTOR3* GetEyePosition() const;

    void Update();

    float swing = 0;
    float distance = 0;
    float targetDistance = 0;
    float heading = -D3DX_PI / 2;
    float pitchBase = 0;
    float fov = 0;
    float targetFov = 0;
    D3DXVECTOR3 focus{0, 0, 0};
    CPRefPtr<CPLevelBranch> levelTree;
    bool fixedMode = false;
    float speed = 0;
    float distanceDiv = 0;
    D3DXVECTOR3 fixedTarget{0, 0, 0};
    D3DXVECTOR3 fixedEye{0, 0, 0};
    D3DXVECTOR3 fixedUp{0, 0, 0};
    float targetTilt = 0;
    float tilt = 0;
    float smoothHeading = 0;
    // Handed over by the level every frame and kept for its readers; the
    // camera's own motion does not use them.
    float targetSpeed = 0;
    float angleDiv = 0;
    float viewAngle = 0;
    float carHeight = 0;

private:
    void Ease(float dt);
    void ApplyFov();
    void FollowCarHeading(float dt);
    void EaseHeading(float dt);
    float Yaw() const;
    float DistanceFromFocus(float& sink) const;
    bool IsTopView() const;
    void LookDownAtFocus();
    void PlaceBehindFocus();
    void SetPose(const D3DXVECTOR3& eye, const D3DXVECTOR3& lookAt, const D3DXVECTOR3& up);

    std::unique_ptr<CPPerspectiveCamera> mainCamera;
    std::unique_ptr<CPPerspectiveCamera> secondCamera;
    const CameraTarget* target = nullptr;
    bool snapPending = false;
};
