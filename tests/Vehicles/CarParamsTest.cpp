#include "Game/PGameObject.h"
#include "Support/GameTestSupport.h"
#include "Support/TestScripts.h"
#include "Vehicles/PCar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

// An owner with the description and the script "jeep" the player car talks to.
class CarParams : public ::testing::Test {
protected:
    // Running, so that the commands sent to it are queued.
    void SetUp() override { jeep.Start(); }
    void TearDown() override { jeep.Stop(); }

    CPCar& Read(const std::string& xml, bool player = true) {
        owner.description.Clear();
        owner.description.Parse(xml.c_str());
        car = std::make_unique<CPCar>(&owner);
        car->ReadParams(player);
        return *car;
    }

    TestScripts scripts{{"jeep"}};
    CPLuaScript& jeep = scripts["jeep"];
    CPGameObject owner{"car"};
    std::unique_ptr<CPCar> car;
};

TEST_F(CarParams, ADescriptionWithoutPhysicsGivesTheDefaults) {
    CPCar& c = Read("<car><camera fov_div=\"3\"/></car>");
    EXPECT_EQ(c.wheelCount, 4);
    const std::vector<std::pair<float, float>> fields = {
        {c.sensorLength, 1.5f},    {c.wheelRadius, 0.5f},
        {c.frontSpring, 140.0f},   {c.rearSpring, 150.0f},
        {c.damping, 150.0f},       {c.forwardDrive, 100.0f},
        {c.reverseDrive, 100.0f},  {c.brake, 100.0f},
        {c.frontFriction, 100.0f}, {c.rearFriction, 240.0f},
        {c.slide, 0.9f},           {c.pitchInertia, 0.1f},
        {c.nitroReserve, 100.0f},  {c.topSpeedForward, 30.0f},
        {c.topSpeedReverse, 15.0f}};
    for (std::size_t k = 0; k < fields.size(); ++k)
        EXPECT_FLOAT_EQ(fields[k].first, fields[k].second) << "field " << k;
    EXPECT_FALSE(c.debug);
    EXPECT_FALSE(c.fixedAtMinimum || c.fixedAtMaximum);
    EXPECT_TRUE(scripts.Received(jeep).empty());
}

TEST_F(CarParams, EveryKeyReachesItsField) {
    CPCar& c = Read(R"(<car><physics debug="true">
        <geometry><wheels count="6.9" x="0.1" y="0.2" length="1.3" radius="0.4" front_min_radius="0.25"
                          back_min_radius="0.35" width="0.3" fixed="Min"/></geometry>
        <params><wheels spring1="141" spring2="151" damping="21"/>
                <speed max_front_speed="31" max_rear_speed="16"/>
                <friction front="101" back="241" slide="0.8"/>
                <acceleration front="12" back="8" brake="99"/>
                <inertion yaw="0.5" pitch="0.2"/></params></physics>
        <render><shadow name="shadow.tga"/></render></car>)");
    const std::vector<std::pair<float, float>> fields = {
        {c.sensorSideOffset, 0.1f}, {c.wheelHeight, 0.2f},       {c.sensorLength, 1.3f},
        {c.wheelRadius, 0.4f},      {c.frontTravelLimit, 0.25f}, {c.rearTravelLimit, 0.35f},
        {c.wheelWidth, 0.3f},       {c.frontSpring, 141.0f},     {c.rearSpring, 151.0f},
        {c.damping, 21.0f},         {c.topSpeedForward, 31.0f},  {c.topSpeedReverse, 16.0f},
        {c.frontFriction, 101.0f},  {c.rearFriction, 241.0f},    {c.slide, 0.8f},
        {c.forwardDrive, 12.0f},    {c.reverseDrive, 8.0f},      {c.brake, 99.0f},
        {c.yawInertia, 0.5f},       {c.pitchInertia, 0.2f}};
    for (std::size_t k = 0; k < fields.size(); ++k)
        EXPECT_FLOAT_EQ(fields[k].first, fields[k].second) << "field " << k;
    EXPECT_EQ(c.wheelCount, 6);
    EXPECT_TRUE(c.fixedAtMinimum);
    EXPECT_FALSE(c.fixedAtMaximum);
    EXPECT_TRUE(c.debug);
    EXPECT_EQ(c.shadowName, "shadow.tga");
}

TEST_F(CarParams, TextKeysAndTheWheelCountAreReadAsTheCarNeedsThem) {
    struct Case {
        const char* wheels;
        int count;
        bool fixedMin, fixedMax;
        const char* debug;
        bool debugSet;
    } cases[] = {
        {R"(fixed="MAX")", 4, false, true, "TRUE", false},
        {R"(fixed="min")", 4, true, false, "true", true},
        {R"(fixed="middle")", 4, false, false, "yes", false},
        {R"(count="12")", 8, false, false, "false", false},
        {R"(count="-3")", 0, false, false, "", false},
        {R"(count="0")", 0, false, false, "true ", false},
    };
    for (const Case& k : cases) {
        CPCar& c = Read(std::string("<car><physics debug=\"") + k.debug + "\"><geometry><wheels " + k.wheels +
                        "/></geometry></physics></car>");
        EXPECT_EQ(c.wheelCount, k.count) << k.wheels;
        EXPECT_EQ(c.fixedAtMinimum, k.fixedMin) << k.wheels;
        EXPECT_EQ(c.fixedAtMaximum, k.fixedMax) << k.wheels;
        EXPECT_EQ(c.debug, k.debugSet) << k.debug;
    }
}

TEST_F(CarParams, TheSteeringAngleMakesThePlayerCarTellTheScriptItsParameters) {
    const std::string xml = R"(<car><physics><params><speed angle="35.5"/>
        <acceleration accel_front="1.25" accel_back="2" speed_front="3.333" speed_back="4"/></params></physics>
        <camera fov_div="7"/></car>)";
    Read(xml);
    Read(xml, false); // a computer car tells nothing
    // Values missing from the description go as 0.00.
    Read(R"(<car><physics><params><speed angle="10"/></params></physics></car>)");
    EXPECT_EQ(
        scripts.Received(jeep),
        (std::vector<std::string>{"set_car_params(35.50,7.00,1.25,2.00)", "set_car_params2(3.33,4.00)",
                                  "set_car_params(10.00,0.00,0.00,0.00)", "set_car_params2(0.00,0.00)"}));
}

TEST_F(CarParams, ControlsClampTheSteeringAndScaleTheThrottleByTheDriveOfItsSign) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float throttle, steering, force, stored;
    } cases[] = {{0.3f, 2.0f, 0.3f * 12, 0.7f}, {-1.0f, -0.2f, -8.0f, -0.2f}, {0.0f, 0.0f, 0.0f, 0.0f},
                 {1.0f, -5.0f, 12.0f, -0.7f},   {nan, nan, 0.0f, 0.0f},       {inf, -inf, 0.0f, 0.0f}};
    CPCar& c = Read("<car><physics><params><acceleration front=\"12\" back=\"8\"/></params></physics></car>");
    for (const Case& k : cases) {
        c.SetControls(k.throttle, k.steering);
        EXPECT_FLOAT_EQ(c.throttleForce, k.force) << k.throttle;
        EXPECT_FLOAT_EQ(c.steering, k.stored) << k.steering;
    }
}

TEST_F(CarParams, LightsFollowTheBrakeAndReverseOnlyWhenRollingBackwards) {
    ObjectTree parts;
    CPCar c(&owner);
    c.stopLights = &parts.Add("stoplights");
    c.stopLightsOn = &parts.Add("stoplights2");
    c.backLights = &parts.Add("backlights");
    c.reverseLights = &parts.Add("backlights2");
    c.SetBrake(true);
    EXPECT_FALSE(c.stopLights->IsVisible());
    EXPECT_TRUE(c.stopLightsOn->IsVisible());
    c.SetBrake(false);
    EXPECT_TRUE(c.stopLights->IsVisible());
    EXPECT_FALSE(c.stopLightsOn->IsVisible());

    // Still rolling forward (-y): reversing keeps the back lights.
    c.SetControls(0.5f, 0);
    c.velocity = {0, -3, 0};
    c.SetControls(-1, 0);
    EXPECT_TRUE(c.backLights->IsVisible());
    EXPECT_FALSE(c.reverseLights->IsVisible());
    c.velocity = {0, 2, 0};
    c.SetControls(-1, 0);
    EXPECT_FALSE(c.backLights->IsVisible());
    EXPECT_TRUE(c.reverseLights->IsVisible());
}

} // namespace
