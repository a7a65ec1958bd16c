#include "CarTestSupport.h"

#include "Physics/Simulator/RbSensor.h"

#include <cmath>
#include <functional>
#include <string>

namespace {

// One car at the origin, never stepped: each case sets the sensor hit of
// one wheel by hand and reads the forces UpdateWheel adds.
class CarWheel : public CarScene {
protected:
    void SetUp() override {
        CarScene::SetUp();
        BuildGround();
        car = &AddCar(CarXml("<wheels spring1=\"140\" spring2=\"150\" damping=\"150\"/>"
                             "<friction front=\"100\" back=\"240\" slide=\"0.9\"/>"
                             "<acceleration front=\"100\" back=\"100\"/>"),
                      {0, 0, 0}, {0, 0, 0, 1});
        car->steeredDirection = {0, 1, 0};
    }

    struct Sums {
        RbVector force, torque;
        int driving = 0;
    };
    // Wheel i touching at depth along the sensor, with that surface normal.
    Sums Touch(int i, float depth, const RbVector& normal) {
        RbSensor* sensor = car->wheelSensors[i];
        sensor->detectDepth = depth;
        sensor->detectNormal = normal;
        sensor->detectPoint = sensor->GetLinePosition() + RbVector(0, 0, depth - car->sensorLength);
        Sums sums;
        sums.driving = car->UpdateWheel(i, sums.force, sums.torque);
        return sums;
    }
    RbVector Lever(int i) const { return car->wheelSensors[i]->GetLinePosition(); }
    RbRigidBody& Body() const { return *car->GetBody(); }

    CPCar* car = nullptr;
};

void ExpectVector(const RbVector& actual, const RbVector& expected, const std::string& what,
                  float tolerance = 1e-3f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

TEST_F(CarWheel, AWheelInTheAirAddsNothingAndKeepsItsTravel) {
    car->wheelTravel[2] = -0.3f;
    car->wheelInAir[2] = false;
    Sums sums = Touch(2, 0.0f, {0, 0, 1});
    ExpectVector(sums.force, {}, "force");
    ExpectVector(sums.torque, {}, "torque");
    EXPECT_EQ(sums.driving, 0);
    EXPECT_TRUE(car->wheelInAir[2]);
    EXPECT_FALSE(car->wheelOnGround[2]);
    EXPECT_FLOAT_EQ(car->wheelTravel[2], -0.3f);
}

TEST_F(CarWheel, SpringAndDampingPushAlongTheUpwardNormalAndTheSensor) {
    // A normal facing down is turned up: 140 x 0.5 straight up at the front left.
    Sums spring = Touch(0, 0.5f, {0, 0, -1});
    ExpectVector(spring.force, {0, 0, 70}, "spring");
    ExpectVector(spring.torque, RbCross(Lever(0), {0, 0, 70}), "spring torque");
    EXPECT_TRUE(car->wheelOnGround[0]);
    EXPECT_FALSE(car->wheelInAir[0]);
    // Sinking at 2 u/s: the damper adds 150 x 2 upward.
    Body().SetVelocity({0, 0, -2});
    Sums damped = Touch(2, 0.5f, {0, 0, 1});
    ExpectVector(damped.force, {0, 0, 75 + 300}, "damping");
}

TEST_F(CarWheel, SideGripActsAcrossTheRollingAxisAndTheRearLosesItWhileSliding) {
    struct Case {
        int wheel;
        float slideFactor, expected;
    } cases[] = {{0, 0.0f, -100}, {0, 0.9f, -100}, {2, 0.0f, -240}, {3, 0.9f, -24}};
    Body().SetVelocity({3, 0, 0});
    for (const Case& k : cases) {
        car->slideFactor = k.slideFactor;
        Sums sums = Touch(k.wheel, 0.5f, {0, 0, 1});
        const float spring = (k.wheel < 2 ? 140 : 150) * 0.5f;
        const std::string what =
            "wheel " + std::to_string(k.wheel) + " slide " + std::to_string(k.slideFactor);
        ExpectVector(sums.force, {k.expected, 0, spring}, what);
    }
}

TEST_F(CarWheel, TravelFollowsTheSensorWithinItsLimitsAndPins) {
    struct Case {
        float depth;
        bool fixedMin, fixedMax;
        float travel;
    } cases[] = {{0.5f, false, false, -0.5f},
                 {1.4f, false, false, 0.25f},
                 {0.5f, true, false, 0.25f},
                 {1.4f, false, true, -1.0f}};
    car->frontTravelLimit = 0.25f;
    for (const Case& k : cases) {
        car->fixedAtMinimum = k.fixedMin;
        car->fixedAtMaximum = k.fixedMax;
        Touch(1, k.depth, {0, 0, 1});
        EXPECT_FLOAT_EQ(car->wheelTravel[1], k.travel) << k.depth << " " << k.fixedMin << k.fixedMax;
    }
}

TEST_F(CarWheel, ALockedCarHoldsAgainstItsRollingInsteadOfDriving) {
    car->locked = true;
    car->SetControls(1, 0);
    Body().SetVelocity({0, -5, 0});
    Sums sums = Touch(2, 0.5f, {0, 0, 1});
    EXPECT_EQ(sums.driving, 0);
    ExpectVector(sums.force, {0, 10, 75}, "hold");
    const RbVector lever = car->contactPoints[2];
    ExpectVector(sums.torque, RbCross(Lever(2), {0, 0, 75}) + RbCross(lever, {0, 10 * 0.1f, 0}),
                 "hold torque");
}

TEST_F(CarWheel, OnlyTheThrottlesSignDrivesAndRearWheelsPushHarderUpASlope) {
    car->SetControls(0.1f, 0);
    const Sums gentle = Touch(0, 0.5f, {0, 0, 1});
    car->SetControls(1, 0);
    const Sums full = Touch(0, 0.5f, {0, 0, 1});
    EXPECT_EQ(full.driving, 1);
    ExpectVector(gentle.force, full.force, "throttle 0.1 against 1");
    ExpectVector(full.force, {0, -100, 70}, "front drive");

    // The ground under a rear wheel climbs 30 degrees toward the front.
    const float a = 30.0f * D3DX_PI / 180.0f;
    const RbVector normal(0, std::sin(a), std::cos(a));
    const RbVector uphill(0, -std::cos(a), std::sin(a));
    const Sums climbing = Touch(3, 0.5f, normal);
    ExpectVector(climbing.force - normal * 75.0f, uphill * (100 * (1 + 5 * a)), "rear drive uphill", 0.01f);
    EXPECT_NEAR(1 + 5 * a, 3.618f, 1e-3f);
    car->SetControls(-1, 0);
    const Sums reverse = Touch(3, 0.5f, normal);
    ExpectVector(reverse.force - normal * 75.0f, uphill * (-100 * (1 + 5 * a)), "rear drive reverse", 0.01f);
}

TEST_F(CarWheel, TheFrontWheelsTurnLessAtSpeedUnlessTheCarSlides) {
    RbController* controller = Body().controllers.head;
    ASSERT_NE(controller, nullptr);
    car->SetControls(0, 0.7f);
    Body().SetVelocity({0, -40, 0});
    car->UpdateController(controller, kFrame);
    EXPECT_FLOAT_EQ(car->speed, 40.0f);
    ExpectVector(car->steeredDirection, {std::sin(0.07f), std::cos(0.07f), 0}, "at speed", 1e-5f);
    car->SetBrake(true);
    car->UpdateController(controller, kFrame);
    EXPECT_FLOAT_EQ(car->slideFactor, 0.9f);
    ExpectVector(car->steeredDirection, {std::sin(0.7f), std::cos(0.7f), 0}, "sliding", 1e-5f);
}

TEST_F(CarWheel, WheelsSpinWithTheGroundOrTheThrottleAndLockOnTheBrake) {
    struct Case {
        int wheel;
        bool onGround, braking;
        float radius, spin;
    } cases[] = {
        {0, true, false, 0.5f, 0.1f * 6.0f / 0.25f}, // rolling at 6 u/s
        {1, false, false, 0.5f, -0.1f * 100.0f},     // in the air: backwards with the throttle force
        {2, true, true, 0.5f, 0.0f},                 // the brake locks the rear wheels
        {0, true, true, 0.5f, 0.1f * 6.0f / 0.25f},  // but not the front ones
        {3, true, false, 0.0f, 0.0f},                // no radius, no spin
    };
    car->SetControls(1, 0);
    for (const Case& k : cases) {
        car->wheelSpin[k.wheel] = 0.0f;
        car->wheelOnGround[k.wheel] = k.onGround;
        car->wheelRollingSpeed[k.wheel] = 6.0f;
        car->wheelRadius = k.radius;
        car->SetBrake(k.braking);
        car->UpdateWheelEffects(k.wheel, 0.1f, {});
        EXPECT_FLOAT_EQ(car->wheelSpin[k.wheel], k.spin) << k.wheel << " " << k.radius;
    }
    // The part shows the spin and the steering, at its travel.
    car->SetControls(1, 0.3f);
    car->wheelTravel[0] = -0.2f;
    car->UpdateWheelEffects(0, 0.1f, {});
    const D3DXQUATERNION expected = CPCar::WheelOrientation(car->wheelSpin[0], -0.3f);
    const D3DXQUATERNION& actual = car->wheelParts[0]->GetOrientation();
    EXPECT_NEAR(actual.x, expected.x, 1e-6f);
    EXPECT_NEAR(actual.z, expected.z, 1e-6f);
    EXPECT_NEAR(actual.w, expected.w, 1e-6f);
    EXPECT_FLOAT_EQ(car->wheelParts[0]->GetPosition().z, -0.2f);
}

TEST_F(CarWheel, WheelOrientationTurnsAboutXThenZ) {
    const D3DXQUATERNION spin = CPCar::WheelOrientation(0.5f, 0.0f);
    EXPECT_NEAR(spin.x, std::sin(0.25f), 1e-6f);
    EXPECT_NEAR(spin.w, std::cos(0.25f), 1e-6f);
    D3DXMATRIX m, x, z;
    const D3DXQUATERNION both = CPCar::WheelOrientation(0.5f, 0.3f);
    D3DXMatrixRotationQuaternion(&m, &both);
    D3DXMatrixRotationX(&x, 0.5f);
    D3DXMatrixRotationZ(&z, 0.3f);
    D3DXMatrixMultiply(&x, &x, &z);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(m.m[r][c], x.m[r][c], 1e-5f) << r << c;
}

} // namespace
