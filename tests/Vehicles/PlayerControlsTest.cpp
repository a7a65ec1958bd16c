#include "Support/GameTestSupport.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PPlayer.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A vehicle with its car (no world: the controls only store values) and
// the rear flares a slowed vehicle shows for its brake, both visible.
struct ControlledVehicle {
    ControlledVehicle() {
        vehicle.car = new CPCar(&vehicle);
        for (CPGameObject* flare : {&leftFlare, &rightFlare})
            vehicle.AddChild(flare);
    }
    CPCar& Car() { return *vehicle.GetCar(); }

    CPPlayer vehicle;
    CPGameObject leftFlare{"lflarerear"};
    CPGameObject rightFlare{"rflarerear"};
};

struct ControlCase {
    const char* name;
    std::function<void(ControlledVehicle&)> prepare;
    std::function<void(CPPlayer&)> act;
    std::function<void(ControlledVehicle&)> check;
};

TEST(PlayerControlsTest, ControlsReachTheVehicleAndItsCarAsTheStateAllows) {
    const ControlCase cases[] = {
        {"free controls are kept for the car", [](ControlledVehicle&) {},
         [](CPPlayer& v) { v.SetControls(1, 0.5f); },
         [](ControlledVehicle& c) {
             EXPECT_FLOAT_EQ(c.vehicle.throttle, 1);
             EXPECT_FLOAT_EQ(c.vehicle.steering, 0.5f);
             EXPECT_FLOAT_EQ(c.Car().throttleForce, 0) << "the car gets them at the next update";
         }},
        {"the throttle cut keeps the steering only",
         [](ControlledVehicle& c) { c.vehicle.DisableThrottle(0, 0); },
         [](CPPlayer& v) { v.SetControls(1, 0.5f); },
         [](ControlledVehicle& c) {
             EXPECT_TRUE(c.vehicle.throttleCut);
             EXPECT_FLOAT_EQ(c.vehicle.throttle, 0);
             EXPECT_FLOAT_EQ(c.vehicle.steering, 0.5f);
         }},
        {"a locked vehicle stores nothing",
         [](ControlledVehicle& c) {
             c.vehicle.SetControls(0.25f, -0.5f);
             c.vehicle.Lock(true);
         },
         [](CPPlayer& v) {
             v.SetControls(1, 0.5f);
             v.DisableThrottle(0, 0);
         },
         [](ControlledVehicle& c) {
             EXPECT_FLOAT_EQ(c.vehicle.throttle, 0.25f);
             EXPECT_FLOAT_EQ(c.vehicle.steering, -0.5f);
         }},
        {"locking passes throttle 0 with the kept steering",
         [](ControlledVehicle& c) {
             c.vehicle.SetControls(1, 0.5f);
             c.Car().SetControls(1, 0);
         },
         [](CPPlayer& v) { v.Lock(true); },
         [](ControlledVehicle& c) {
             EXPECT_FLOAT_EQ(c.Car().throttleForce, 0);
             EXPECT_FLOAT_EQ(c.Car().steering, 0.5f);
             EXPECT_TRUE(c.Car().locked);
             EXPECT_FLOAT_EQ(c.vehicle.throttle, 1) << "the vehicle keeps its own demand";
         }},
        {"unlocking frees the car", [](ControlledVehicle& c) { c.vehicle.Lock(true); },
         [](CPPlayer& v) { v.Lock(false); },
         [](ControlledVehicle& c) {
             EXPECT_FALSE(c.vehicle.locked);
             EXPECT_FALSE(c.Car().locked);
         }},
        {"nitro from a reserve", [](ControlledVehicle& c) { c.Car().nitroReserve = 50; },
         [](CPPlayer& v) { v.SetNitro(1); },
         [](ControlledVehicle& c) { EXPECT_FLOAT_EQ(c.Car().nitroDemand, 1); }},
        {"nitro on an empty reserve", [](ControlledVehicle& c) { c.Car().nitroReserve = 0; },
         [](CPPlayer& v) { v.SetNitro(1); },
         [](ControlledVehicle& c) { EXPECT_FLOAT_EQ(c.Car().nitroDemand, 0); }},
        {"nitro while locked", [](ControlledVehicle& c) { c.vehicle.Lock(true); },
         [](CPPlayer& v) { v.SetNitro(1); },
         [](ControlledVehicle& c) { EXPECT_FLOAT_EQ(c.Car().nitroDemand, 0); }},
        {"the brake of a vehicle going at its pace", [](ControlledVehicle&) {},
         [](CPPlayer& v) { v.SetBrake(true); },
         [](ControlledVehicle& c) {
             EXPECT_TRUE(c.Car().braking);
             EXPECT_TRUE(c.leftFlare.IsVisible());
         }},
        {"the brake while slowed only hides the rear flares",
         [](ControlledVehicle& c) { c.vehicle.slowed = true; }, [](CPPlayer& v) { v.SetBrake(false); },
         [](ControlledVehicle& c) {
             EXPECT_FALSE(c.Car().braking);
             EXPECT_FALSE(c.leftFlare.IsVisible());
             EXPECT_FALSE(c.rightFlare.IsVisible());
         }},
        {"the brake while slowed shows them again",
         [](ControlledVehicle& c) {
             c.vehicle.slowed = true;
             c.vehicle.SetBrake(false);
         },
         [](CPPlayer& v) { v.SetBrake(true); },
         [](ControlledVehicle& c) {
             EXPECT_FALSE(c.Car().braking);
             EXPECT_TRUE(c.leftFlare.IsVisible());
             EXPECT_TRUE(c.rightFlare.IsVisible());
         }},
        {"the brake while locked", [](ControlledVehicle& c) { c.vehicle.Lock(true); },
         [](CPPlayer& v) { v.SetBrake(true); }, [](ControlledVehicle& c) { EXPECT_FALSE(c.Car().braking); }},
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.name);
        ControlledVehicle controlled;
        c.prepare(controlled);
        c.act(controlled.vehicle);
        c.check(controlled);
    }
}

TEST(PlayerControlsTest, AVehicleWithoutACarHasNoVelocityAndTakesNoImpulse) {
    CPPlayer vehicle;
    EXPECT_EQ(vehicle.GetName(), "PLAYER");
    EXPECT_EQ(vehicle.GetCar(), nullptr);
    float velocity[4] = {1, 2, 3, 4};
    vehicle.GetCarVelocity(velocity);
    for (float v : velocity)
        EXPECT_EQ(v, 0.0f);
    vehicle.ApplyImpulse({0, 0, 0}, {0, 100, 0});
    vehicle.SetNitro(1);
    vehicle.SetBrake(true);
    vehicle.SetSoundVolume(1);
    vehicle.Lock(true);
    EXPECT_TRUE(vehicle.locked);
}

} // namespace
