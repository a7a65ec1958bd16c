#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Game/CameraTarget.h"
#include "Game/PCamera.h"
#include "Render/PPerspectiveCamera.h"
#include "Support/GameTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPi = D3DX_PI;

// The level and its camera target car as the camera reads them.
class FakeTarget : public CameraTarget {
public:
    D3DXVECTOR3 GetTargetForward() const override { return forward; }
    bool GetCarSteering(float& slide, float& steer) const override {
        slide = slideFactor;
        steer = steering;
        return hasCar;
    }
    bool IsResultSent() const override { return resultSent; }
    float GetTrackAngle() const override { return trackAngle; }
    float GetDemoShotTime() const override { return demoShotTime; }

    D3DXVECTOR3 forward{1, 0, 0};
    bool hasCar = true;
    float slideFactor = 0;
    float steering = 0;
    bool resultSent = false;
    float trackAngle = 0;
    float demoShotTime = 0;
};

// The frame clock and the time scale for one test.
class ChaseCameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedFrameTime = g_FrameTime;
        savedTimeScale = g_TimeScale;
        g_FrameTime = 0.05f;
        g_TimeScale = 1;
        camera.SetTarget(&target);
    }
    void TearDown() override {
        g_FrameTime = savedFrameTime;
        g_TimeScale = savedTimeScale;
    }
    const CPPerspectiveCamera& Main() const { return *camera.GetMainCamera(); }
    D3DXVECTOR3 ViewDirection() const {
        const D3DXVECTOR3 view = Main().target - Main().eye;
        D3DXVECTOR3 direction;
        D3DXVec3Normalize(&direction, &view);
        return direction;
    }
    static bool IsFinite(const D3DXMATRIX& m) {
        for (int i = 0; i < 16; ++i)
            if (!std::isfinite(m.m[i / 4][i % 4]))
                return false;
        return true;
    }
    void ExpectFiniteMatrices() const {
        for (const CPPerspectiveCamera* render :
             {camera.GetMainCamera().Get(), camera.GetSecondCamera().Get()}) {
            EXPECT_TRUE(IsFinite(render->view));
            EXPECT_TRUE(IsFinite(render->projection));
            EXPECT_TRUE(IsFinite(render->viewProjection));
        }
    }

    float savedFrameTime = 0;
    float savedTimeScale = 1;
    FakeTarget target;
    CPCamera camera;
};

TEST_F(ChaseCameraTest, TheRenderCamerasStartAsBuiltAndTheMainOneIsPublished) {
    EXPECT_EQ(g_MainCamera, camera.GetMainCamera().Get());
    EXPECT_FLOAT_EQ(Main().nearPlane, 1.0f);
    EXPECT_FLOAT_EQ(Main().farPlane, static_cast<float>(g_Distance));
    EXPECT_FLOAT_EQ(camera.GetSecondCamera()->farPlane, 2000.0f);
    EXPECT_FLOAT_EQ(camera.heading, -kPi / 2);
    {
        CPCamera later;
        EXPECT_EQ(g_MainCamera, later.GetMainCamera().Get());
    }
    EXPECT_EQ(g_MainCamera, nullptr);
    CPCamera last;
    {
        CPCamera earlier;
        EXPECT_EQ(g_MainCamera, earlier.GetMainCamera().Get());
    }
    EXPECT_EQ(g_MainCamera, nullptr);
}

TEST_F(ChaseCameraTest, TheFirstFovAndDistanceAreTakenAtOnceLaterOnesEased) {
    camera.SetFov(60);
    camera.SetDistance(10);
    EXPECT_FLOAT_EQ(camera.fov, 60.0f);
    EXPECT_FLOAT_EQ(Main().fov, 60.0f * 0.017453292f);
    EXPECT_FLOAT_EQ(camera.distance, 10.0f);
    camera.SetFov(70);
    camera.SetDistance(20);
    EXPECT_FLOAT_EQ(camera.fov, 60.0f);
    EXPECT_FLOAT_EQ(camera.distance, 10.0f);

    camera.Update();
    EXPECT_FLOAT_EQ(camera.fov, 61.0f);
    EXPECT_FLOAT_EQ(camera.distance, 11.0f);
    EXPECT_FLOAT_EQ(camera.GetSecondCamera()->fov, 61.0f * 0.017453292f);

    // A stall eases as if it lasted 0.1 s.
    g_FrameTime = 2.0f;
    camera.Update();
    EXPECT_FLOAT_EQ(camera.fov, 61.0f + 9.0f * 0.2f);
}

TEST_F(ChaseCameraTest, HeadingTurnsTheShortWayRoundAndSnapsWhenAsked) {
    camera.SetTarget(nullptr);
    camera.smoothHeading = 3.0f;
    camera.SetHeading(-3.0f);
    camera.Update();
    // Through pi, not through 0: from 3.0 toward -3.0 + 2 pi.
    EXPECT_NEAR(camera.smoothHeading, 3.0f - 2 * kPi + (2 * kPi - 6.0f) * 0.2f, 1e-5f);
    EXPECT_LT(camera.smoothHeading, -kPi);

    camera.SetHeading(1.0f);
    camera.Snap();
    camera.Update();
    EXPECT_FLOAT_EQ(camera.smoothHeading, 1.0f);
    camera.SetHeading(2.0f);
    camera.Update();
    EXPECT_FLOAT_EQ(camera.smoothHeading, 1.2f);
}

TEST_F(ChaseCameraTest, TheCarSetsTheHeadingWithSwingAndTheResultTurnsItToTheTrack) {
    struct Case {
        const char* name;
        D3DXVECTOR3 forward;
        bool hasCar;
        float slide, steering;
        bool resultSent;
        float heading;
    };
    const float swung = -2.0f * 0.05f * 6;
    const Case cases[] = {
        {"along +y", {0, 2, 0}, true, 0, 1, false, kPi / 2},
        {"along -y wraps to positive", {0, -1, 0}, true, 0, 0, false, 1.5f * kPi},
        {"sliding with full steering swings", {0, 1, 0}, true, 0.5f, 1, false, kPi / 2 + swung},
        {"a target without a car does not swing", {0, 1, 0}, false, 0.5f, 1, false, kPi / 2},
        {"the result turns it to the track", {0, 1, 0}, true, 0, 0, true, 0.25f + kPi / 2},
        {"pointing straight up keeps the last heading", {0, 0, 1}, true, 0, 0, false, -kPi / 2 + 2 * kPi},
    };
    for (const Case& c : cases) {
        CPCamera fresh;
        fresh.SetTarget(&target);
        target.forward = c.forward;
        target.hasCar = c.hasCar;
        target.slideFactor = c.slide;
        target.steering = c.steering;
        target.resultSent = c.resultSent;
        target.trackAngle = 0.25f;
        fresh.Update();
        EXPECT_NEAR(fresh.heading, c.heading, 1e-5f) << c.name;
        EXPECT_TRUE(std::isfinite(fresh.smoothHeading)) << c.name;
    }
}

TEST_F(ChaseCameraTest, TheDistanceLawPullsInThenLowersTheCamera) {
    struct Case {
        float speed, distanceDiv;
        D3DXVECTOR3 eye;
    };
    // Heading 0, level: the camera sits behind along -x.
    const Case cases[] = {
        {0, 10, {-10, 0, 0}},
        {40, 10, {-6, 0, 0}},
        // z = 2 is below half the distance: d = 5 and the camera sinks by 3.
        {80, 10, {-5, 0, -3}},
        // Without a divisor the speed has no effect.
        {80, 0, {-10, 0, 0}},
    };
    for (const Case& c : cases) {
        CPCamera fresh;
        fresh.SetTarget(&target);
        fresh.SetFov(60);
        fresh.SetDistance(10);
        fresh.focus = {100, 50, 2};
        fresh.speed = c.speed;
        fresh.distanceDiv = c.distanceDiv;
        fresh.Update();
        const CPPerspectiveCamera& main = *fresh.GetMainCamera();
        ExpectNear(main.eye, fresh.focus + c.eye);
        // The look-at point moves with the camera: a level view along +x.
        ExpectNear(main.target, main.eye + D3DXVECTOR3(1, 0, 0));
        ExpectNear(fresh.GetSecondCamera()->eye, main.eye);
        EXPECT_EQ(fresh.GetEyePosition(), &main.eye);
    }
}

TEST_F(ChaseCameraTest, OffsetAndUpFollowYawAndPitch) {
    struct Case {
        float yaw, pitchBase;
        D3DXVECTOR3 offset, up;
    };
    const float h = std::sqrt(0.5f);
    const Case cases[] = {
        {0, 0, {-1, 0, 0}, {0, 0, 1}},
        {kPi / 2, 0, {0, -1, 0}, {0, 0, 1}},
        {0, kPi / 4, {-h, 0, h}, {h, 0, h}},
        // A quarter turn either way (the attract camera's top shot is
        // -pi/2): straight above, looking down, the heading up the screen.
        {0, -kPi / 2, {0, 0, 1}, {1, 0, 0}},
        {kPi / 2, kPi / 2, {0, 0, 1}, {0, 1, 0}},
    };
    camera.SetTarget(nullptr);
    camera.SetDistance(1);
    camera.focus = {3, 4, 1};
    for (const Case& c : cases) {
        camera.SetHeading(c.yaw);
        camera.SetAngle(c.pitchBase);
        camera.Snap();
        camera.Update();
        ExpectNear(Main().eye - camera.focus, c.offset);
        ExpectNear(Main().up, c.up);
        ExpectFiniteMatrices();
    }
    // The top view looks at the focus itself.
    ExpectNear(Main().target, camera.focus);
}

// The top view follows the car: the chase camera does not freeze there.
TEST_F(ChaseCameraTest, TheTopViewFollowsTheCarAndItsHeading) {
    camera.SetFov(60);
    camera.SetDistance(10);
    camera.SetAngle(-kPi / 2);
    camera.focus = {0, 0, 1};
    camera.Update();
    camera.focus = {20, 5, 1};
    target.forward = {0, 1, 0};
    camera.Snap();
    camera.Update();
    ExpectNear(Main().eye, {20, 5, 11});
    ExpectNear(Main().target, {20, 5, 1});
    ExpectNear(Main().up, {0, 1, 0});
    ExpectNear(camera.GetSecondCamera()->eye, Main().eye);
}

// The tilt raises the camera through the pitch and turns the view down by
// the same angle about the camera's right axis.
TEST_F(ChaseCameraTest, TiltRaisesTheCameraAndTurnsTheViewDown) {
    camera.SetDistance(10);
    camera.targetTilt = 0.4f;
    camera.Update();
    EXPECT_FLOAT_EQ(camera.tilt, 0.1f);
    const D3DXVECTOR3 view = ViewDirection();
    EXPECT_NEAR(view.z, -std::sin(0.1f), 1e-5f);
    EXPECT_NEAR(view.y, 0.0f, 1e-5f);
    ExpectNear(Main().eye, D3DXVECTOR3(-std::cos(0.1f), 0, std::sin(0.1f)) * 10.0f);
}

TEST_F(ChaseCameraTest, FixedModeShowsTheStoredPoseWithoutEasing) {
    camera.SetFov(60);
    camera.SetFov(90);
    camera.SetDistance(10);
    camera.SetDistance(30);
    camera.fixedMode = true;
    camera.SetFixedView({1, 2, 3}, {4, 2, 3}, {0, 0, 1});
    for (int frame = 0; frame < 2; ++frame) {
        camera.Update();
        ExpectNear(Main().eye, {1, 2, 3});
        ExpectNear(Main().target, {4, 2, 3});
        ExpectNear(camera.GetSecondCamera()->target, {4, 2, 3});
    }
    EXPECT_FLOAT_EQ(camera.fov, 60.0f);
    EXPECT_FLOAT_EQ(camera.distance, 10.0f);
}

TEST_F(ChaseCameraTest, ThePauseOrbitTurnsTheCameraAroundTheCar) {
    camera.SetDistance(10);
    target.demoShotTime = kPi / 2;
    camera.Update();
    ExpectNear(Main().eye, {-10, 0, 0});
    g_TimeScale = 0;
    camera.Update();
    ExpectNear(Main().eye, {0, -10, 0});
}

TEST_F(ChaseCameraTest, DegenerateInputsKeepTheMatricesFinite) {
    camera.SetDistance(10);
    // No field of view yet: the projection is left alone.
    target.forward = {0, 0, 0};
    camera.speed = 50;
    camera.distanceDiv = 0;
    camera.Update();
    ExpectFiniteMatrices();
    EXPECT_FLOAT_EQ(camera.heading, -kPi / 2 + 2 * kPi);

    // Without a distance there is no view direction: the pose stays.
    const D3DXVECTOR3 eye = Main().eye;
    camera.SetFov(60);
    camera.SetDistance(0);
    camera.distance = 0;
    camera.Update();
    ExpectFiniteMatrices();
    ExpectNear(Main().eye, eye);
}

} // namespace
