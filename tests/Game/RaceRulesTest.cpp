#include "Game/PLine.h"
#include "Game/RaceTestSupport.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Vehicles/PCar.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

using Commands = std::vector<std::string>;
constexpr float kPi = std::numbers::pi_v<float>;

// The racing line, its edges and the start posts of a ring of radius 250
// sampled anticlockwise (124 pieces), crossing the posts at (250, 0).
constexpr float kRadius = 250;

void WriteRing(const std::string& name, const std::vector<LevelRecord>& extra = {}) {
    std::vector<LevelRecord> records = {Record("player", {250, 6, 1}),
                                        Record("stolb_start_left", {258, 0, 1}),
                                        Record("stolb_start_right", {242, 0, 1})};
    records.insert(records.end(), extra.begin(), extra.end());
    const std::vector<uint8_t> bytes =
        ::WriteLevel(records, {{"c_path", true, CircleSegments({0, 0, 0}, kRadius, false)},
                               {"left", true, CircleSegments({0, 0, 0}, kRadius + 4, false)},
                               {"right", true, CircleSegments({0, 0, 0}, kRadius - 4, false)}});
    TempGameRoot::WriteFile("Data/Levels/" + name + ".lvl", std::string(bytes.begin(), bytes.end()));
}

class RaceRules : public RaceScene {};

struct DirectionRow {
    bool reverse;
    bool clockwise;
    std::vector<float> lapsAt;
};

TEST_F(RaceRules, LapsCountOnlyInTheRaceDirection) {
    const std::vector<float> forward = {1575.0f, 3146.0f, 4716.5f};
    const DirectionRow rows[] = {
        {false, true, forward}, {false, false, {}}, {true, true, {}}, {true, false, forward}};
    for (const DirectionRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "reverse " << row.reverse << ", clockwise " << row.clockwise);
        WriteRing("ring");
        data.lapCount = 1;
        data.roundCount = 3;
        data.progress = 0;
        const float sign = row.clockwise ? -1.0f : 1.0f;
        // 6 units before the posts, then 0.5 units a frame, facing the travel.
        const auto place = [&](float travelled) {
            const float phi = sign * (travelled - 6.0f) / kRadius;
            return std::pair(D3DXVECTOR3(kRadius * std::cos(phi), kRadius * std::sin(phi), 1),
                             TurnZ(row.clockwise ? phi : phi + kPi));
        };
        StartRace("ring", place(0).first);
        level->reverse = row.reverse;
        level->ResetProgress();
        CPLine* first = level->GetSpline()->firstLine;
        EXPECT_EQ(level->laps.pathLines[1], row.reverse ? first->next : first->prev);
        // The piece nearest the posts is the ring's last.
        EXPECT_EQ(level->laps.startLineIndex, row.reverse ? 123 : 1);

        std::vector<float> lapsAt;
        bool everBackwards = false, alwaysBackwards = true, negative = false;
        for (int frame = 1; frame <= 9800; ++frame) {
            const auto [at, turn] = place(0.5f * frame);
            MovePlayer(at, turn);
            const int laps = data.lapCount;
            Frame();
            if (data.lapCount != laps)
                lapsAt.push_back(0.5f * frame);
            negative = negative || data.progress < 0 || level->laps.playerProgress < 0;
            everBackwards = everBackwards || level->IsPlayerMovingBackwards();
            alwaysBackwards = alwaysBackwards && level->IsPlayerMovingBackwards();
        }
        EXPECT_EQ(lapsAt, row.lapsAt);
        if (row.lapsAt.empty()) {
            EXPECT_TRUE(Take("game_interface").empty());
            EXPECT_TRUE(Take("jeep").empty());
            EXPECT_LT(level->laps.playerProgress, -300);
            EXPECT_TRUE(alwaysBackwards);
        } else {
            EXPECT_EQ(Take("game_interface"),
                      (Commands{"show_message(krug_proiden!)", "show_message(posledniy_krug!)", "place(1st)",
                                "show_message(finish!)"}));
            EXPECT_EQ(Take("jeep"), Commands{"game_over()"});
            EXPECT_FALSE(negative);
            EXPECT_LE(level->laps.playerProgress, 124);
            EXPECT_FALSE(everBackwards);
        }
        level->Stop();
    }
}

// A bare level over a ring of 200 pieces with the start at piece 0 and its
// line across the ring there.
class LapWrap : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<CPLine*> ring;
        for (int i = 0; i < 200; ++i) {
            pieces.push_back(std::make_unique<CPLine>());
            const float phi = 2 * kPi * static_cast<float>(i) / 200;
            pieces.back()->centre = D3DXVECTOR3(500 * std::cos(phi), 500 * std::sin(phi), 0);
            ring.push_back(pieces.back().get());
        }
        level.laps.pathLines.Assign(ring);
        level.laps.startLineIndex = 0;
        level.laps.startPoint = pieces[0]->centre;
        level.laps.startLine = D3DXVECTOR3(1, 0, 0);
        level.cameraTarget = &car;
        data.roundCount = 3;
        data.progress = 0;
    }

    void Drive(int from, int to) {
        level.laps.playerLineIndex = from;
        car.SetPosition(pieces[to]->centre);
        level.UpdateLaps();
    }

    CPGameData data;
    CPLevel level;
    CPPlayer car;
    std::vector<std::unique_ptr<CPLine>> pieces;
};

TEST_F(LapWrap, AJumpAcrossTheRingsEndCountsTheShortWay) {
    struct Row {
        int from, to, added;
    };
    for (const Row& row : {Row{199, 0, 0}, Row{198, 0, 1}, Row{0, 199, 0}, Row{5, 7, 2}, Row{7, 5, -2}}) {
        SCOPED_TRACE(testing::Message() << row.from << " to " << row.to);
        level.laps.playerProgress = 100;
        Drive(row.from, row.to);
        EXPECT_EQ(level.laps.playerProgress, 100 + row.added);
        EXPECT_EQ(level.laps.playerLineIndex, row.to);
    }
}

TEST_F(LapWrap, ALapNeedsAllButTwentyPiecesOfProgress) {
    for (const auto& [progress, lap] : {std::pair(179, false), std::pair(180, true)}) {
        SCOPED_TRACE(progress);
        data.lapCount = 1;
        level.laps.playerProgress = progress;
        Drive(0, 0);
        EXPECT_EQ(data.lapCount, lap ? 2 : 1);
        EXPECT_EQ(level.laps.playerProgress, lap ? 0 : progress);
        if (lap) {
            EXPECT_EQ(data.progress, 199);
        }
    }
}

struct PlaceRow {
    int places[3];
    int placeToFinish;
    Commands interface;
};

TEST_F(RaceRules, PlacesDecideTheResultOnce) {
    const PlaceRow rows[] = {
        {{10, -1, -1}, 0, {"place(1st)", "show_message(finish!)"}},
        {{0, 10, -1}, 0, {"place(2nd)", "show_message(lost!)"}},
        {{0, 10, -1}, 1, {"place(2nd)", "show_message(finish!)"}},
        {{0, 1, 10}, 1, {"place(3rd)", "show_message(lost!)"}},
        {{0, 1, 10}, 2, {"place(3rd)", "show_message(finish!)"}},
        {{0, 1, 2}, 0, {"show_message(lost!)"}},
    };
    WriteRing("ring");
    StartRace("ring", {250, 6, 1});
    for (const PlaceRow& row : rows) {
        SCOPED_TRACE(row.interface.front());
        std::copy(std::begin(row.places), std::end(row.places), level->laps.places);
        level->placeToFinish = row.placeToFinish;
        level->raceOver = false;
        Frame();
        Frame();
        EXPECT_TRUE(level->raceOver);
        EXPECT_TRUE(level->resultSent);
        EXPECT_EQ(Take("game_interface"), row.interface);
        EXPECT_EQ(Take("jeep"), Commands{"game_over()"});
    }
}

TEST_F(RaceRules, CheckpointsRewardTheTimeLeftOncePerGate) {
    WriteRing("ring", {Record("checkpoint,21", {200, 100, 0}), Record("checkpoint,11", {-200, 100, 0})});
    StartRace("ring", {250, 6, 1});
    data.textTable["bonus_time"] = "Bonus";
    struct Step {
        D3DXVECTOR3 at;
        int lap;
        Commands interface;
        int passed;
    };
    const Step steps[] = {
        {{200, 100, 0}, 1, {"checkpoint(checkpoint!,0)"}, 1},
        {{200, 100, 0}, 1, {}, 1},
        {{-200, 100, 0}, 1, {"bonus_points(time,Bonus,30.000000)", "checkpoint(checkpoint!,1)"}, 2},
        {{200, 100, 0}, 1, {"bonus_points(time,Bonus,20.000000)", "checkpoint(checkpoint!,1)"}, 1},
        {{-200, 100, 0}, 1, {"bonus_points(time,Bonus,30.000000)", "checkpoint(checkpoint!,1)"}, 2},
        // The closing gate of the third lap is not announced.
        {{200, 100, 0}, 3, {"bonus_points(time,Bonus,20.000000)"}, 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "at x " << step.at.x << ", lap " << step.lap);
        data.lapCount = step.lap;
        MovePlayer(step.at);
        Frame();
        EXPECT_EQ(Take("game_interface"), step.interface);
        EXPECT_EQ(level->checkpointsPassed, step.passed);
    }
}

TEST_F(RaceRules, RefillPadsFillNitroAndSoundAtMostEveryTwoSeconds) {
    WriteRing("ring", {Record("arrow_blue", {200, 100, 0}), Record("arrow_blue", {-200, 100, 0})});
    StartRace("ring", {250, 6, 1});
    CPCar& car = *level->player->GetCar();
    struct Step {
        D3DXVECTOR3 at;
        float reserve, after, coolDown;
    };
    const Step steps[] = {
        {{200, 100, 0}, 100, 100, 0},
        {{200, 100, 0}, 30, 100, 2.0f},
        {{-200, 100, 0}, 30, 100, 2.0f - 1.0f / 60},
        {{0, 0, 0}, 30, 30, 2.0f - 2.0f / 60},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "x " << step.at.x << ", reserve " << step.reserve);
        car.nitroReserve = step.reserve;
        MovePlayer(step.at);
        Frame();
        EXPECT_FLOAT_EQ(car.nitroReserve, step.after);
        EXPECT_NEAR(level->clock.padSoundCooldown, step.coolDown, 1e-5f);
    }
}

TEST_F(RaceRules, ClocksRunOutOnceAndThePlayerStepsInSixtieths) {
    WriteRing("ring");
    StartRace("ring", {250, 6, 1});
    level->countdown = 0.02f;
    for (int frame = 0; frame < 5; ++frame)
        Frame();
    EXPECT_EQ(Take("main"), Commands{"level_failed()"});

    level->player->respawnCoolDown = 1.0f;
    level->clock.stepAccumulator = 0;
    Frame(0.04f);
    EXPECT_NEAR(level->player->respawnCoolDown, 1.0f - 2 * 0.016666668f, 1e-6f) << "two fixed steps";
    EXPECT_NEAR(level->clock.stepAccumulator, 0.0066667f, 1e-5f);
}

TEST_F(RaceRules, TimedRunKeepsTheBestLapAndItsSamples) {
    WriteRing("ring");
    StartRace("ring", {250, 6, 1}, true);
    level->levelNumber = 3;
    level->run.carModel = "buggy";
    level->run.samples = {{{1, 2, 3}, {0, 0, 0, 1}, 0.5f}};
    struct Row {
        float lap;
        const char* message;
        float best;
    };
    for (const Row& row : {Row{50, "show_message(finish!)", 50}, Row{60, "show_message(lost!)", 50},
                           Row{40, "show_message(finish!)", 40}}) {
        SCOPED_TRACE(row.lap);
        data.lapCount = 2;
        data.lapTimes[0] = row.lap;
        level->laps.places[0] = CPLevel::kPlayerPlace;
        level->raceOver = false;
        Frame();
        EXPECT_EQ(Take("game_interface"), Commands{row.message});
        EXPECT_EQ(Take("jeep"), Commands{"game_over()"});
        EXPECT_FLOAT_EQ(data.raceProgress[2].bestTime, row.best);
        EXPECT_EQ(data.raceProgress[2].carModel, "buggy");
        EXPECT_EQ(data.raceProgress[2].samples.size(), 1u);
    }
}

TEST_F(RaceRules, ComputerDriversGetTheirCarsStateAndTheRadarTheirPlaces) {
    WriteRing("ring", {Record("enemy1", {262, 10, 1}), Record("enemy2", {262, 20, 1})});
    StartRace("ring", {250, 6, 1});
    struct Fed {
        int index;
        float speed;
        int paceA, paceB;
        bool operator==(const Fed&) const = default;
    };
    std::vector<Fed> fed;
    level->feedDriver = [&](int index, CPPlayer&, const D3DXVECTOR3& forward, float speed, int a, int b) {
        EXPECT_NEAR(forward.y, -1, 1e-5f) << "the cars face -y";
        fed.push_back({index, speed, a, b});
    };
    // The signed speed is negative while the car drives forward.
    const float throttles[] = {1.0f, -1.0f};
    int i = 0;
    for (const CPRefPtr<CPPlayer>& car : level->cars) {
        car->Lock(true);
        car->GetCar()->speed = 5;
        car->GetCar()->throttleForce = throttles[i++];
    }
    Frame();
    EXPECT_EQ(fed, (std::vector<Fed>{{0, -5, 10, 20}, {1, 5, 10, 20}}));
    EXPECT_FLOAT_EQ(data.racerTable["0"].y, 10);
    EXPECT_FLOAT_EQ(data.racerTable["1"].y, 20);
    EXPECT_FLOAT_EQ(data.racerTable["1"].x, 262);
}

TEST_F(RaceRules, ExtraCarsJoinDroppedWhereTheyStand) {
    data.extraCarCount = 1;
    std::vector<LevelRecord> enemies;
    for (int i = 1; i <= 6; ++i)
        enemies.push_back(Record("enemy" + std::to_string(i), {262, 10.0f * static_cast<float>(i), 1}));
    WriteRing("ring", enemies);
    StartRace("ring", {250, 6, 1});
    level->StopExtraVehicles();
    ASSERT_EQ(level->cars.size(), 6u);
    CPPlayer& first = *level->cars.front();
    CPPlayer& extra = *level->cars.back();
    const float firstHeight = first.GetPosition().z;
    extra.collision = false;
    extra.SetVisible(false);
    extra.physicData->rigidBody->SetGravityEnabled(false);
    level->StartExtraVehicles();
    EXPECT_TRUE(level->extraCarsActive);
    EXPECT_TRUE(drivers.extraVehiclesActive);
    EXPECT_TRUE(extra.collision);
    EXPECT_TRUE(extra.visible);
    EXPECT_EQ(extra.GetPosition(), D3DXVECTOR3(262, 60, 3));
    EXPECT_EQ(extra.physicData->rigidBody->gravityEnabled, 1);
    EXPECT_FLOAT_EQ(first.GetPosition().z, firstHeight) << "the first five stay";
    level->StopExtraVehicles();
    EXPECT_FALSE(level->extraCarsActive);
}

} // namespace
