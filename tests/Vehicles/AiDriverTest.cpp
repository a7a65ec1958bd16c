#include "VehicleTestSupport.h"

#include "Vehicles/AI_Task.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
// The race runs clockwise (along prev) round the ring: at (250, 0) toward -y.
constexpr float kRaceHeading = -kPi / 2;

D3DXVECTOR3 Direction(float angle) {
    return {std::cos(angle), std::sin(angle), 0};
}

// The ring's computer drivers without physics steps: the test sets each
// driver's state as the level would and reads the controls the vehicle got.
class AiDriver : public VehicleScene {
protected:
    void SetUp() override {
        VehicleScene::SetUp();
        drivers.SetVehiclePath(0, 0, path.firstLine);
    }
    void TearDown() override {
        drivers.ReleaseVehicles();
        VehicleScene::TearDown();
    }

    AI_Vehicle& Driver() { return *drivers.mainDrivers[0]; }
    // Driver 0 drives the vehicle, past its straight start.
    AI_Vehicle& Racing(CPPlayer& vehicle, float heading, float speed, int paceA = 0, int paceB = 0) {
        AI_Vehicle& driver = Driver();
        driver.SetCarState(&vehicle, Direction(heading), speed, paceA, paceB);
        driver.drivingTime = AI_Vehicle::kStartTime;
        return driver;
    }
    static bool Braking(const CPPlayer& vehicle) { return vehicle.GetCar()->braking; }
    static float Nitro(const CPPlayer& vehicle) { return vehicle.GetCar()->nitroDemand; }
    // The piece `count` pieces from the nearest one, along prev (ahead in
    // the race) for a positive count, along next (behind) for a negative.
    CPLine* PieceFrom(const D3DXVECTOR3& point, int count) const {
        auto* piece = const_cast<CPLine*>(&NearestPiece(point));
        for (int i = 0; i < std::abs(count); ++i)
            piece = count > 0 ? piece->prev : piece->next;
        return piece;
    }

    AI_Task drivers;
};

TEST_F(AiDriver, TheFirstFiveSecondsRunStraightOnFullThrottleWithNitro) {
    CPPlayer& vehicle = AddVehicle({270, 0, 1});
    AI_Vehicle& driver = Driver();
    driver.SetCarState(&vehicle, Direction(kRaceHeading + 0.5f), 20, 0, 0);
    for (int i = 0; i < 299; ++i)
        driver.Step(kFrame);
    EXPECT_FLOAT_EQ(vehicle.throttle, 0.95f);
    EXPECT_FLOAT_EQ(vehicle.steering, 0);
    EXPECT_FLOAT_EQ(Nitro(vehicle), 1);
    EXPECT_FALSE(Braking(vehicle));
    driver.Step(kFrame);
    driver.Step(kFrame);
    EXPECT_GT(std::fabs(vehicle.steering), 0.1f) << "after 5 s the driver steers back to the line";
}

TEST_F(AiDriver, SteersBackTowardTheLineFromEitherSide) {
    struct Case {
        const char* name;
        float x;
        float headingOffset;
        int sign;
    };
    const Case cases[] = {
        {"outside the ring", 290, 0, 1},
        {"inside the ring", 210, 0, -1},
        {"on the line, turned anticlockwise", 250, 0.3f, 1},
        {"on the line, turned clockwise", 250, -0.3f, -1},
    };
    for (const Case& c : cases) {
        CPPlayer& vehicle = AddVehicle({c.x, 0, 1});
        Racing(vehicle, kRaceHeading + c.headingOffset, 9).Step(kFrame);
        EXPECT_EQ(vehicle.steering > 0 ? 1 : -1, c.sign) << c.name << ": " << vehicle.steering;
        EXPECT_GT(std::fabs(vehicle.steering), 0.005f) << c.name;
        EXPECT_FLOAT_EQ(vehicle.throttle, 0.95f) << c.name;
        drivers.SetVehiclePath(0, 0, path.firstLine);
    }
}

TEST_F(AiDriver, BrakesWithoutNitroForASharpCornerAheadOnlyAboveSpeedTen) {
    // A square ring of side 200, sampled anticlockwise: the race runs down
    // its x = 100 side toward the corner at (100, -100).
    CPSpline square;
    std::vector<uint8_t> bytes;
    const D3DXVECTOR3 corners[] = {{100, -100, 0}, {100, 100, 0}, {-100, 100, 0}, {-100, -100, 0}};
    TrackLineEntry entry{"c_path", true, {}};
    for (int i = 0; i < 4; ++i)
        entry.segments.push_back(StraightSegment(corners[i], corners[(i + 1) % 4]));
    WriteTrackLine(bytes, entry);
    CPFileReader reader("memory", false);
    reader.SetData(std::move(bytes));
    ASSERT_TRUE(square.Load(reader));
    level.centrePath = &square;
    drivers.SetVehiclePath(0, 0, square.firstLine);

    struct Case {
        const char* name;
        float y;
        float speed;
        bool brakes;
    };
    const Case cases[] = {
        {"the corner 9 to 10 pieces ahead at speed 20", 0, 20, true},
        {"the corner 9 to 10 pieces ahead at speed 10", 0, 10, false},
        {"the corner 15 pieces ahead at speed 20", 60, 20, false},
        {"the corner 5 pieces ahead: pieces 8 to 11 lie past it", -45, 20, true},
    };
    for (const Case& c : cases) {
        CPPlayer& vehicle = AddVehicle({100, c.y, 1});
        Racing(vehicle, kRaceHeading, c.speed).Step(kFrame);
        EXPECT_EQ(Braking(vehicle), c.brakes) << c.name;
        EXPECT_FLOAT_EQ(Nitro(vehicle), c.brakes ? 0.0f : 1.0f) << c.name;
        EXPECT_FLOAT_EQ(vehicle.steering, 0) << c.name;
    }
    level.centrePath = &path;
}

TEST_F(AiDriver, KeepsPaceWithThePlayerByTheThresholds) {
    struct Case {
        const char* name;
        // Pieces the player is ahead of the driver; negative: behind.
        int playerAhead;
        float throttle;
        float nitro;
    };
    const Case cases[] = {
        {"player 30 behind, past B", -30, 0.19f, 0}, {"player 15 behind, past A", -15, 0.95f, 0},
        {"player 5 behind", -5, 0.95f, 1},           {"player 5 ahead, within A", 5, 1.14f, 1},
        {"player 30 ahead", 30, 0.95f, 1},           {"no player piece", 0, 0.95f, 1},
    };
    for (const Case& c : cases) {
        const D3DXVECTOR3 at(250, 0, 1);
        level.playerLine = c.playerAhead == 0 ? nullptr : PieceFrom(at, c.playerAhead);
        CPPlayer& vehicle = AddVehicle(at);
        Racing(vehicle, kRaceHeading, 5, 10, 20).Step(kFrame);
        EXPECT_FLOAT_EQ(vehicle.throttle, c.throttle) << c.name;
        EXPECT_FLOAT_EQ(Nitro(vehicle), c.nitro) << c.name;
    }
    level.playerLine = nullptr;
}

TEST_F(AiDriver, SwervesFromCarsAheadOnTheRay) {
    CPPlayer& ahead = AddVehicle({255, -12, 1});
    ahead.partBoxes.emplace_back(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 2, 0.4f));
    ahead.dirty = true;
    ahead.UpdateHierarchy();
    const auto steeringWith = [&](CPPlayer* otherDriven, CPPlayer* player) {
        drivers.mainDrivers[1]->vehicle = otherDriven;
        level.player = player;
        CPPlayer& vehicle = AddVehicle({255, 0, 1});
        Racing(vehicle, kRaceHeading, 9).Step(kFrame);
        return vehicle.steering;
    };
    const float alone = steeringWith(nullptr, nullptr);
    EXPECT_GT(steeringWith(&ahead, nullptr), alone + 0.05f) << "another driver's car";
    EXPECT_GT(steeringWith(nullptr, &ahead), alone + 0.05f) << "the player's car";
    drivers.mainDrivers[1]->vehicle = nullptr;
    level.player = nullptr;
}

TEST_F(AiDriver, BacksOutWhenItHasNotMovedForAWhile) {
    CPPlayer& vehicle = AddVehicle({250, 0, 1});
    AI_Vehicle& driver = Racing(vehicle, kRaceHeading + 0.3f, 0);
    int firstReverse = -1, reverseEnd = -1;
    for (int i = 0; i < 400 && reverseEnd < 0; ++i) {
        driver.Step(kFrame);
        if (vehicle.throttle < 0) {
            EXPECT_FLOAT_EQ(vehicle.throttle, -0.95f);
            EXPECT_LT(vehicle.steering, 0) << "the steering is turned round too";
            if (firstReverse < 0)
                firstReverse = i;
            if (!driver.reversing)
                reverseEnd = i;
            else
                EXPECT_FLOAT_EQ(Nitro(vehicle), 0) << "no nitro pushing it back in";
        } else {
            EXPECT_FLOAT_EQ(vehicle.throttle, 0.95f);
            EXPECT_GT(vehicle.steering, 0);
        }
    }
    // The first check, after 1.5 s, compares with the start; the second
    // finds the vehicle where it was.
    EXPECT_NEAR(firstReverse, 180, 2);
    EXPECT_NEAR(reverseEnd - firstReverse, 120, 1) << "backing out lasts 2 s";
}

TEST_F(AiDriver, WithoutCarPathOrFreedomNothingIsSent) {
    CPPlayer& vehicle = AddVehicle({250, 0, 1});
    vehicle.Lock(true);
    AI_Vehicle& driver = Racing(vehicle, kRaceHeading, 5);
    driver.drivingTime = 0;
    driver.Step(kFrame);
    EXPECT_FLOAT_EQ(driver.drivingTime, 0) << "a locked car";
    EXPECT_FLOAT_EQ(Nitro(vehicle), 0);

    vehicle.Lock(false);
    driver.ForgetPaths();
    driver.Step(kFrame);
    EXPECT_FLOAT_EQ(driver.drivingTime, 0) << "no racing line";
    EXPECT_FLOAT_EQ(Nitro(vehicle), 0);

    AI_Vehicle idle;
    idle.Step(kFrame);
    EXPECT_FLOAT_EQ(idle.drivingTime, 0) << "no vehicle";
}

// Drivers that count their steps in their driving time.
class AiTask : public AiDriver {
protected:
    void SetUp() override {
        AiDriver::SetUp();
        CPPlayer& vehicle = AddVehicle({250, 0, 1});
        for (int index = 0; index < 10; ++index) {
            drivers.SetVehiclePath(index, 0, path.firstLine);
            drivers.SetVehicleState(index, &vehicle, Direction(kRaceHeading), 0, 0, 0);
        }
    }
    int Steps(int index) const {
        return static_cast<int>(std::lround(drivers.GetDriver(index)->drivingTime / AI_Task::kStepTime));
    }
};

TEST_F(AiTask, EachMainDriverStepsEveryFifthFrameWithTheTimeItGathered) {
    struct Case {
        float frameTime;
        int stepsPerTurn;
    };
    for (const Case& c : {Case{1.0f / 60, 5}, Case{1.0f / 12, 25}}) {
        for (int index = 0; index < 10; ++index)
            drivers.GetDriver(index)->drivingTime = 0;
        drivers.accumulators = {};
        drivers.currentSlot = 0;
        g_FrameTime = c.frameTime;
        for (int frame = 0; frame < 20; ++frame) {
            const int slot = frame % 5;
            int before[5];
            for (int index = 0; index < 5; ++index)
                before[index] = Steps(index);
            drivers.Update();
            for (int index = 0; index < 5; ++index) {
                // The first round's drivers have gathered 1 to 5 frames.
                const int expected = index != slot ? 0
                                     : frame < 5   ? c.stepsPerTurn * (slot + 1) / 5
                                                   : c.stepsPerTurn;
                EXPECT_NEAR(Steps(index) - before[index], expected, 1)
                    << c.frameTime << " frame " << frame << " driver " << index;
            }
        }
        for (int index = 5; index < 10; ++index)
            EXPECT_EQ(Steps(index), 0) << "extra driver " << index;
    }
    g_FrameTime = kFrame;
}

TEST_F(AiTask, AStalledFrameCountsAsAQuarterSecond) {
    g_FrameTime = 5.0f;
    drivers.Update();
    EXPECT_NEAR(Steps(0), 15, 1);
    g_FrameTime = kFrame;
}

TEST_F(AiTask, StatesAndPathsReachTheAddressedDriverOnly) {
    CPPlayer& other = AddVehicle({0, 250, 1});
    for (int index : {-1, 10, 12, 100})
        drivers.SetVehicleState(index, &other, Direction(0), 3, 1, 2);
    for (int index = 0; index < 10; ++index)
        EXPECT_NE(drivers.GetDriver(index)->vehicle.Get(), &other) << index;
    drivers.SetVehicleState(7, &other, Direction(0.5f) * 3, -4, 1, 2);
    const AI_Vehicle& driver = *drivers.extraDrivers[2];
    EXPECT_EQ(driver.vehicle.Get(), &other);
    EXPECT_FLOAT_EQ(driver.speed, 4);
    EXPECT_NEAR(D3DXVec3Length(&driver.heading), 1, 1e-6);
    EXPECT_FLOAT_EQ(driver.position.y, 250);
    EXPECT_EQ(driver.paceB, 2);

    drivers.ReleaseVehicles();
    EXPECT_TRUE(drivers.mainDrivers.empty());
    EXPECT_TRUE(drivers.extraDrivers.empty());
    drivers.Update();
}

TEST(AiTaskTest, WaitsAtTheDefaultPriorityUntilTheRaceStarts) {
    AI_Task drivers;
    EXPECT_EQ(drivers.priority, 5000);
    EXPECT_EQ(drivers.GetCategory(), TASK_LEVEL);
    EXPECT_EQ(g_AITask, &drivers);
    EXPECT_EQ(drivers.mainDrivers.size(), 5u);
    EXPECT_EQ(drivers.extraDrivers.size(), 5u);
}

} // namespace
