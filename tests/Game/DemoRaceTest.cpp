#include "DemoLevelScene.h"

#include "Core/PGlobalTimer.h"
#include "Core/PTaskManager.h"
#include "Game/PLine.h"
#include "Platform/Win32Messages.h"
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

// The demo level1 raced as the game runs it: the level, the computer
// drivers' and the physics task in a kernel, each pass a frame of 1/60 s.
// In the car script's place a task drives the player's car hard: throttle
// held, never braking, steering toward the racing line a few pieces ahead,
// at full lock whenever the line turns more than a little.
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

    void DrivePlayer() const {
        CPPlayer& car = *level.player;
        const int n = static_cast<int>(level.pathLines.size());
        const D3DXVECTOR3 at = car.GetPosition();
        const auto distance = [&at](const CPLine* piece) {
            return std::hypot(piece->centre.x - at.x, piece->centre.y - at.y);
        };
        const auto nearest =
            std::min_element(level.pathLines.begin(), level.pathLines.end(),
                             [&](const CPLine* a, const CPLine* b) { return distance(a) < distance(b); }) -
            level.pathLines.begin();
        const D3DXVECTOR3 target = level.pathLines[(nearest + kLookAhead) % n]->centre;
        D3DXVECTOR3 toTarget(target.x - at.x, target.y - at.y, 0);
        D3DXVec3Normalize(&toTarget, &toTarget);
        const D3DXVECTOR3 forward = FlatForward(car);
        // Positive steering turns clockwise, toward a target lying clockwise
        // of the heading.
        const float sine = toTarget.x * forward.y - toTarget.y * forward.x;
        car.SetControls(1.0f, std::clamp(sine * kSteerGain, -1.0f, 1.0f));
    }

    static constexpr int kLookAhead = 3;
    static constexpr float kSteerGain = 4.0f;
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

} // namespace
