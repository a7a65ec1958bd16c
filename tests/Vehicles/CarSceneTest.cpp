#include "CarTestSupport.h"

#include "Physics/Simulator/RbSensor.h"

#include <cmath>

namespace {

constexpr float kMass = 30.0f;
constexpr float kDrive = 20.0f;

class CarDriving : public CarScene {
protected:
    // A car on flat ground left to settle for 10 s of physics time.
    CPCar& SettledCar(const std::string& xml = CarXml()) {
        BuildGround();
        CPCar& car = AddFlatCar(xml);
        Frames(300);
        return car;
    }
    // The forward speed the car gains in that many frames from the throttle.
    float SpeedAfter(CPCar& car, int frames, float throttle = 1.0f) {
        car.SetControls(throttle, 0);
        Frames(frames);
        return ForwardSpeed(car);
    }
};

TEST_F(CarDriving, TheCarSettlesOnItsSpringsWithEachWheelBearingAQuarter) {
    CPCar& car = SettledCar();
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(car.wheelOnGround[i]) << i;
        // The sensor's last depth, from the travel it gave the wheel.
        const float depth = car.wheelTravel[i] + car.sensorLength - car.wheelRadius;
        const float expected = kMass * kGravity / (i < 2 ? 560.0f : 600.0f);
        EXPECT_NEAR(depth, expected, 0.02f * expected) << "wheel " << i;
        // The visible wheel sits at its travel above its rest height.
        EXPECT_FLOAT_EQ(car.wheelParts[i]->GetPosition().z, car.wheelTravel[i]);
    }
    EXPECT_LT(car.speed, 0.01f);
}

// Over the first seconds, while the drive has pitched the body only a little
// (the damping along the pitched sensors drags by the square of the pitch).
TEST_F(CarDriving, FromRestTheSpeedApproachesEightTimesTheDrive) {
    CPCar& car = SettledCar();
    int done = 0;
    for (int frames : {30, 60}) {
        const float v = SpeedAfter(car, frames - done);
        done = frames;
        const float t = PhysicsTime(frames);
        const float expected = 8 * kDrive * (1 - std::exp(-t / (2 * kMass)));
        EXPECT_NEAR(v, expected, 0.02f * expected) << "t = " << t;
    }
}

// Rear grip works across the pitched body axis, so it drags against
// the motion by 2 x 240 x |sin pitch|.
TEST_F(CarDriving, RearGripDragsByThePitchOfTheBody) {
    CPCar& car = SettledCar(CarXml("<wheels spring1=\"140\" spring2=\"150\" damping=\"150\"/>"
                                   "<friction front=\"100\" back=\"240\" slide=\"0.9\"/>"
                                   "<acceleration front=\"20\" back=\"20\"/>"));
    SpeedAfter(car, 60);
    const float v0 = ForwardSpeed(car);
    const float pitch = std::fabs(car.GetBody()->GetTransform().row[1].z);
    const float v1 = SpeedAfter(car, 1);
    const float measured = (v1 - v0) / PhysicsTime(1);
    const float expected = (4 * kDrive - 0.5f * (v0 + v1) / 2 - 2 * 240 * pitch) / kMass;
    EXPECT_GT(pitch, 1e-3f);
    EXPECT_NEAR(measured, expected, 0.05f * std::fabs(expected));
}

// Measured on a level coasting car, one step after the controls change (a
// controller's force acts from the step after the one that set it).
TEST_F(CarDriving, ReverseThrottleBrakesWithTheReverseDrive) {
    CPCar& car = SettledCar();
    car.GetBody()->SetVelocity({0, -8, 0});
    SpeedAfter(car, 30, 0.0f);
    SpeedAfter(car, 1, -1.0f);
    const float v0 = ForwardSpeed(car);
    const float v1 = SpeedAfter(car, 3, -1.0f);
    const float measured = (v0 - v1) / PhysicsTime(3);
    const float expected = (4 * kDrive + 0.5f * (v0 + v1) / 2) / kMass;
    EXPECT_NEAR(measured, expected, 0.03f * expected);
}

TEST_F(CarDriving, NitroAddsAThirdAndEmptiesTheReserveInFourSecondsOfFrames) {
    LevelStarted started(true);
    CPCar& plain = SettledCar();
    const float base = SpeedAfter(plain, 6);
    CPCar& boosted = AddCar(CarXml(), {10, 0, 1.0f}, {0, 0, 0, 1});
    boosted.SetControls(0, 0);
    Frames(300);
    boosted.nitroDemand = 1.0f;
    const float withNitro = SpeedAfter(boosted, 6);
    EXPECT_NEAR(withNitro / base, 4.0f / 3.0f, 0.02f);

    int frames = 6;
    while (boosted.nitroReserve > 0.0f && frames < 1000) {
        Frames(1);
        ++frames;
    }
    EXPECT_NEAR(frames, 240, 1);
    EXPECT_FLOAT_EQ(boosted.nitroDemand, 0.0f);
    Frames(1);
    ExpectNear(ToD3D(boosted.nitroForce), D3DXVECTOR3(0, 0, 0));
}

TEST_F(CarDriving, TheSlideFactorDecaysInEighteenStepsAfterTheBrake) {
    CPCar& car = SettledCar();
    car.SetBrake(true);
    Frames(1);
    EXPECT_FLOAT_EQ(car.slideFactor, 0.9f);
    car.SetBrake(false);
    Frames(8);
    EXPECT_GT(car.slideFactor, 0.0f);
    Frames(1);
    EXPECT_EQ(car.slideFactor, 0.0f);
}

TEST_F(CarDriving, PositiveSteeringLowersTheHeading) {
    CPCar& car = SettledCar(CarXml("<wheels spring1=\"140\" spring2=\"150\" damping=\"150\"/>"
                                   "<friction front=\"100\" back=\"240\" slide=\"0.9\"/>"
                                   "<acceleration front=\"20\" back=\"20\"/>"));
    const auto heading = [&] {
        const RbVector forward = -car.GetBody()->GetTransform().row[1];
        return std::atan2(forward.y, forward.x);
    };
    const float before = heading();
    car.SetControls(1, 0.5f);
    Frames(60);
    EXPECT_LT(heading(), before - 0.1f);
}

TEST_F(CarDriving, ALockedCarRollsOutExponentially) {
    CPCar& car = SettledCar();
    car.locked = true;
    car.GetBody()->SetVelocity({0, -5, 0});
    Frames(30);
    const float expected = 5 * std::exp(-8.5f * PhysicsTime(30) / kMass);
    EXPECT_NEAR(ForwardSpeed(car), expected, 0.03f * expected);
}

// A level's world can go before its cars; the cars then leave the freed
// controllers alone.
TEST_F(CarDriving, ACarOutlivesItsWorld) {
    CPCar& car = SettledCar();
    physics.DestroyWorld();
    EXPECT_EQ(car.GetBody(), nullptr);
    for (CPGameObject* object : carObjects)
        tree.Delete(*object);
    carObjects.clear();
}

class CarOnARamp : public CarScene, public ::testing::WithParamInterface<float> {};

// The front wheels push horizontally, the rear ones along the slope and
// harder for it, gravity pulls down the slope: from rest the car gains
// (2D cos a + 2D (1 + 5a) -+ m g sin a) / m.
TEST_P(CarOnARamp, FromRestItAcceleratesAsTheDriveAndGravityDictate) {
    const float sign = GetParam(); // +1 faces uphill, -1 downhill
    const float a = 10.0f * D3DX_PI / 180.0f;
    BuildGround(sign * a);
    // Tilted with the ramp, resting on its springs.
    D3DXQUATERNION tilt;
    const D3DXVECTOR3 x(1, 0, 0);
    D3DXQuaternionRotationAxis(&tilt, &x, -sign * a);
    const D3DXVECTOR3 up(0, sign * std::sin(a), std::cos(a));
    CPCar& car = AddCar(CarXml(), up * 1.0f, tilt);
    ExpectNear(ToD3D(car.GetBody()->GetTransform().row[2]), up);
    car.SetControls(1, 0);
    Frames(3);
    const float v0 = ForwardSpeed(car);
    Frames(15);
    const float measured = (ForwardSpeed(car) - v0) / PhysicsTime(15);
    const float expected =
        (2 * kDrive * std::cos(a) + 2 * kDrive * (1 + 5 * a) - sign * kMass * kGravity * std::sin(a)) / kMass;
    EXPECT_NEAR(expected, sign > 0 ? 2.11f : 5.51f, 0.01f);
    EXPECT_NEAR(measured, expected, 0.05f * expected);
}

INSTANTIATE_TEST_SUITE_P(UpAndDown, CarOnARamp, ::testing::Values(1.0f, -1.0f));

} // namespace
