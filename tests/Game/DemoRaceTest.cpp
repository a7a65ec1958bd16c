#include "DemoLevelScene.h"

#include "Core/PGlobalTimer.h"
#include "Core/PTaskManager.h"
#include "Platform/Win32Messages.h"
#include "Vehicles/AI_Vehicle.h"
#include "Vehicles/PPlayer.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60;

// A kernel task that runs a call every pass.
class EveryPass : public CPTask {
public:
    EveryPass(int priority, std::function<void()> call) : call(std::move(call)) { this->priority = priority; }
    void Update() override { call(); }
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(EveryPass); }
    std::string GetClassName() const override { return "EveryPass"; }

private:
    std::function<void()> call;
};

// The car's forward direction (the -y axis of its body) in the ground plane.
D3DXVECTOR3 FlatForward(const CPGameObject& car) {
    const D3DXMATRIX& m = car.GetWorldMatrix();
    D3DXVECTOR3 forward(-m._21, -m._22, 0);
    return *D3DXVec3Normalize(&forward, &forward);
}

// The angle between the car's up axis and the world's, in radians.
float Lean(const CPGameObject& car) {
    const D3DXMATRIX& m = car.GetWorldMatrix();
    D3DXVECTOR3 up(m._31, m._32, m._33);
    D3DXVec3Normalize(&up, &up);
    return std::acos(std::clamp(up.z, -1.0f, 1.0f));
}

// The demo level1 raced as the game runs it: the level, the computer
// drivers' and the physics task in a kernel, each pass a frame of 1/60 s.
// In the car script's place the computer driver the rivals have drives the
// player's car: flat out on the straights, with nitro, braking only for the
// bends.
class DemoRace : public DemoLevel {
protected:
    void SetUp() override {
        DemoLevel::SetUp();
        PlatResetMessageQueue();
        ASSERT_TRUE(level.Load("level1", false, false));
        ASSERT_EQ(level.cars.size(), 3u);
        level.Start();
    }
    void TearDown() override {
        autopilot.ReleaseCar();
        level.Stop();
        PlatResetMessageQueue();
        DemoLevel::TearDown();
    }

    // Races until `watch` returns false, or for at most `seconds`; returns
    // the frames raced. `watch` gets the frame number (from 1) after the
    // physics has moved the cars and before the level's pass, which puts a
    // tipped car back on its wheels.
    int Race(float seconds, const std::function<bool(int)>& watch) {
        int frame = 0;
        const int limit = static_cast<int>(seconds * 60);
        EveryPass clock(PRIORITY_TIMER, [] { g_FrameTime = kFrame; });
        EveryPass driver(PRIORITY_MAIN_SCRIPT, [this] { DrivePlayer(); });
        EveryPass referee(PRIORITY_INTERFACE, [&] {
            if (!watch(++frame) || frame >= limit)
                PostQuitMessage(0);
        });
        for (EveryPass* task : {&clock, &driver, &referee})
            kernel.AddTask(task);
        kernel.Run();
        return frame;
    }

    void DrivePlayer() {
        CPPlayer& car = *level.player;
        if (!autopilot.currentSample)
            autopilot.SetPath(0, level.GetSpline()->firstLine);
        float velocity[4];
        car.GetCarVelocity(velocity);
        // Its own piece is the player's: with thresholds 0 the driver
        // neither waits for nor hurries after itself.
        autopilot.SetCarState(level.player, FlatForward(car),
                              std::hypot(velocity[0], velocity[1], velocity[2]), 0, 0);
        autopilot.Step(kFrame);
    }

    AI_Vehicle autopilot;
    CPTaskManager kernel;
    CPLevel level;
};

// The race rules keep a record per car, keyed by its index in the level's
// cars, whose lap count starts at 1: every rival completes a lap, and none
// stands still (moves less than a unit) for 4 s on the way.
TEST_F(DemoRace, EveryRivalLapsByItsRaceRecordAndNoneStandsStill) {
    std::vector<D3DXVECTOR3> lastMoved;
    for (const CPRefPtr<CPPlayer>& car : level.cars)
        lastMoved.push_back(car->GetPosition());
    std::vector<int> movedAt(lastMoved.size(), 0);
    const auto laps = [this](std::size_t index) {
        const RacerRecord* record = data.racerStats.Find(std::to_string(index));
        return record ? record->lapCount : 0;
    };
    const auto stoodStill = [&](std::size_t index, const CPPlayer& car, int frame) {
        const D3DXVECTOR3 moved = car.GetPosition() - lastMoved[index];
        if (D3DXVec3Length(&moved) >= 1) {
            lastMoved[index] = car.GetPosition();
            movedAt[index] = frame;
        }
        return frame - movedAt[index] >= 4 * 60;
    };
    const int frames = Race(150, [&](int frame) {
        std::size_t index = 0;
        bool lapped = true;
        for (const CPRefPtr<CPPlayer>& car : level.cars) {
            if (stoodStill(index, *car, frame)) {
                ADD_FAILURE() << "rival " << index << " stood still at frame " << frame;
                return false;
            }
            lapped = lapped && laps(index++) >= 2;
        }
        return !lapped;
    });
    for (std::size_t i = 0; i < level.cars.size(); ++i)
        EXPECT_GE(laps(i), 2) << "rival " << i << " after " << frames / 60 << " s";
}

// Driven for a minute, through both bends on every lap, the player's car
// never leans as far as 70 degrees, where it would lie on its side and be
// put back on its wheels.
TEST_F(DemoRace, ThePlayersCarNeverRollsOver) {
    constexpr float kRolledOver = 1.2217305f;
    float steepest = 0;
    const int frames = Race(60, [&](int) {
        steepest = std::max(steepest, Lean(*level.player));
        return steepest < kRolledOver;
    });
    EXPECT_LT(steepest, kRolledOver) << "rolled over at frame " << frames;
    EXPECT_GE(data.lapCount, 2) << "the car went round";
}

} // namespace
