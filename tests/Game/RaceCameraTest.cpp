#include "Core/PSettings.h"
#include "Game/LensFlareView.h"
#include "Game/RaceTestSupport.h"
#include "Platform/Random.h"
#include "Platform/Win32Time.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PSky.h"
#include "Vehicles/PCar.h"

#include <cmath>
#include <numbers>
#include <optional>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// A flare that keeps what the race drawing told it.
class RecordingFlare : public CPObject, public LensFlareView {
public:
    size_t GetSize() const override { return sizeof(RecordingFlare); }
    std::string GetClassName() const override { return "RecordingFlare"; }
    void SetFlareVisible(bool flag) override { visible = flag; }
    void SetSunPosition(int x, int y) override { position = std::pair(x, y); }
    void Render() override { ++renders; }

    std::optional<bool> visible;
    std::optional<std::pair<int, int>> position;
    int renders = 0;
};

// A system clock that stands still.
class FrozenClock : public PlatClockSource {
public:
    bool Frequency(LONGLONG& frequency) override {
        frequency = 1000;
        return true;
    }
    LONGLONG Counter() override { return 5000; }
    DWORD Milliseconds() override { return 5000; }
};

class RaceCamera : public RaceScene {
protected:
    void SetUp() override {
        RaceScene::SetUp();
        WriteLevel("race", {Record("player", {97, 0, 0}), Record("stolb_start_left", {108, 0, 1}),
                            Record("stolb_start_right", {92, 0, 1})});
        StartRace("race", {97, 0, 0});
        level->demo.active = false;
    }
};

TEST_F(RaceCamera, DemoCameraPicksChaseViewsOrNewShotsEveryOneAndAHalfSeconds) {
    level->demo.active = true;
    // Seed 1 draws 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962,
    // 24464: a new shot 2 (turn -1, low angle), a new shot 1 (turn -1,
    // overhead), then view 0.
    struct Choice {
        int shot;
        float turn;
        float angle;
    };
    PlatSRand(1);
    level->SetCameraView(1);
    const Choice choices[] = {{2, -1.0f, -0.2617994f}, {1, -1.0f, -kPi / 2}, {1, -1.0f, -kPi / 2}};
    for (const Choice& choice : choices) {
        for (int frame = 0; frame < 91; ++frame)
            Frame();
        EXPECT_EQ(level->demo.shot, choice.shot);
        EXPECT_FLOAT_EQ(level->demo.turnSign, choice.turn);
        EXPECT_FLOAT_EQ(level->GetCamera()->pitchBase, choice.angle);
    }
    EXPECT_EQ(level->cameraView, 0) << "the third choice is a chase view";

    // A repeated shot number changes nothing: 41 is odd, 18467 % 3 is 2.
    PlatSRand(1);
    level->demo.shot = 2;
    level->demo.turnSign = 1.0f;
    level->GetCamera()->SetAngle(0.5f);
    for (int frame = 0; frame < 91; ++frame)
        Frame();
    EXPECT_FLOAT_EQ(level->demo.turnSign, 1.0f);
    EXPECT_FLOAT_EQ(level->GetCamera()->pitchBase, 0.5f);
}

TEST_F(RaceCamera, DemoCameraNeverPicksTheFixedView) {
    level->demo.active = true;
    PlatSRand(7);
    for (int frame = 0; frame < 60 * 60; ++frame) {
        Frame();
        ASSERT_NE(level->cameraView, 2) << "frame " << frame;
    }
}

TEST_F(RaceCamera, OrbitShotTurnsWithTheShotTime) {
    // A car standing on its tail gives the camera no heading of its own to
    // follow, so the orbit's heading stands (kept within 0 to 2 pi).
    D3DXQUATERNION onItsTail;
    const D3DXVECTOR3 across(1, 0, 0);
    MovePlayer({97, 0, 0}, *D3DXQuaternionRotationAxis(&onItsTail, &across, kPi / 2));
    level->demo.shot = 1;
    level->demo.turnSign = -1.0f;
    level->demo.shotTime = 10.0f;
    // No real time passes: the shot time stays 10 s.
    FrozenClock clock;
    PlatSetClockSource(&clock);
    level->clock.mark = timeGetTime();
    g_FrameTime = 0;
    level->Update();
    PlatSetClockSource(nullptr);
    EXPECT_NEAR(level->GetCamera()->heading, -3.0f + 2 * kPi, 0.01f);
}

TEST_F(RaceCamera, GhostFollowsTheBestRunBetweenSamples) {
    CPGameObject ghost("ghost");
    level->run.ghost = &ghost;
    level->timeMode = true;
    level->levelNumber = 2;
    const D3DXQUATERNION second = TurnZ(1.0f);
    struct Row {
        std::vector<RunSample> samples;
        int startIndex;
        D3DXVECTOR3 expected;
        bool moved;
    };
    const Row rows[] = {
        {{{{0, 0, 0}, {0, 0, 0, 1}, 1.0f}, {{10, 20, 2}, second, 1.05f}}, 0, {5, 10, 1}, true},
        // The ghost already stands at the later of two samples of the same
        // time: it stays on it.
        {{{{0, 0, 0}, {0, 0, 0, 1}, 1.0f}, {{4, 4, 4}, {0, 0, 0, 1}, 1.05f}, {{10, 20, 2}, second, 1.05f}},
         2,
         {10, 20, 2},
         true},
        // No samples: the ghost stays where it is.
        {{}, 0, {-1, -1, -1}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.samples.size());
        data.raceProgress[1].samples = row.samples;
        ghost.SetPosition({-1, -1, -1});
        ghost.SetOrientation({0, 0, 0, 1});
        level->run.ghostIndex = row.startIndex;
        level->raceTime = 1.025f;
        Frame(0);
        EXPECT_NEAR(ghost.GetPosition().x, row.expected.x, 1e-3f);
        EXPECT_NEAR(ghost.GetPosition().y, row.expected.y, 1e-3f);
        EXPECT_NEAR(ghost.GetPosition().z, row.expected.z, 1e-3f);
        if (row.moved) {
            EXPECT_EQ(ghost.GetOrientation(), second) << "the later sample's orientation";
        }
    }
    level->run.ghost = nullptr;
}

TEST_F(RaceCamera, FlareShowsOnlyForASunOnScreenAndInFront) {
    RecordingFlare flare;
    level->lensFlare = &flare;
    g_ScreenWidth = 800;
    g_ScreenHeight = 600;
    Frame();
    const CPPerspectiveCamera& view = *level->GetCamera()->GetMainCamera();
    D3DXVECTOR3 look = view.target - view.eye;
    D3DXVec3Normalize(&look, &look);
    // The sky's projection is the identity here: x and y map straight onto
    // the screen.
    const D3DXVECTOR3 ahead(0.5f * look.x, 0.5f * look.y, 0.001f);
    const D3DXVECTOR3 behind(-0.5f * look.x, -0.5f * look.y, 0.001f);
    const auto screen = [](const D3DXVECTOR3& sun) {
        return std::pair(static_cast<int>((sun.x + 1) * 400), static_cast<int>(300 - 300 * sun.y));
    };
    struct Row {
        D3DXVECTOR3 sun;
        bool visible;
        std::optional<std::pair<int, int>> position;
    };
    const Row rows[] = {
        {{-1.0125f, 0, 0.5f}, false, std::nullopt},
        {{0, 0, -0.5f}, false, std::nullopt},
        {behind, false, screen(behind)},
        {ahead, true, screen(ahead)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.sun.x << " " << row.sun.y << " " << row.sun.z);
        flare.visible.reset();
        flare.position.reset();
        flare.renders = 0;
        g_SunPosition = row.sun;
        Frame(0);
        EXPECT_EQ(flare.visible, row.visible);
        EXPECT_EQ(flare.position, row.position);
        EXPECT_EQ(flare.renders, 1);
    }
    g_LensFlare = 0;
    Frame(0);
    EXPECT_EQ(flare.renders, 1) << "the setting switches the flare off";
    g_LensFlare = 1;
    g_SunPosition = D3DXVECTOR3(0, 0, 0);
    level->lensFlare = nullptr;
}

TEST_F(RaceCamera, CameraFollowsTheViewsValuesAndTheCarsSpeed) {
    // The test car's "camera": distance 6, height 1.5, distance_div 12;
    // "camera3": distance 0.5, height 1.2.
    struct Row {
        int view;
        int shot;
        float distanceDiv;
        float distance;
        float focusHeight;
    };
    const Row rows[] = {
        {0, 0, 12, 6, 1.5f},
        {0, 1, 12, 24.0f / 12 + 6, 1.0f},
        // Without a divisor the speed does not widen the orbit.
        {0, 1, 0, 6, 1.0f},
    };
    level->player->GetCar()->speed = 24;
    const D3DXVECTOR3 at = level->player->GetPosition();
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "view " << row.view << ", shot " << row.shot);
        level->SetCameraView(row.view);
        level->activeView.distanceDiv = row.distanceDiv;
        level->demo.shot = row.shot;
        Frame(0);
        const CPCamera& camera = *level->GetCamera();
        EXPECT_FLOAT_EQ(camera.targetDistance, row.distance);
        EXPECT_FLOAT_EQ(camera.focus.z, at.z + row.focusHeight);
        EXPECT_FLOAT_EQ(camera.targetSpeed, 24);
        EXPECT_FLOAT_EQ(camera.angleDiv, 2);
    }
    level->demo.shot = 0;
    level->SetCameraView(2);
    Frame(0);
    const CPCamera& camera = *level->GetCamera();
    EXPECT_TRUE(camera.fixedMode);
    const D3DXVECTOR3 eye = at + D3DXVECTOR3(0, -0.5f, 1.2f);
    EXPECT_NEAR(camera.fixedEye.x, eye.x, 1e-5f);
    EXPECT_NEAR(camera.fixedEye.y, eye.y, 1e-5f);
    EXPECT_NEAR(camera.fixedEye.z, eye.z, 1e-5f);
    EXPECT_NEAR(camera.fixedTarget.y, eye.y - 1, 1e-5f) << "looking along the car";
}

} // namespace
