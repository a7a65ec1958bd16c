#include "CarTestSupport.h"

#include "Core/Log.h"
#include "Physics/Simulator/RbSensor.h"
#include "Physics/Simulator/RbSimulator.h"

#include <string>

namespace {

// A car object built by hand around a rigid body of a small world of its own.
class CarSetup : public ::testing::Test {
protected:
    void SetUp() override {
        GetLog().SetSink([this](std::string_view text) { log += text; });
        g_WeightDiv = 1;
    }
    void TearDown() override {
        GetLog().SetSink(nullptr);
        g_WeightDiv = 0;
        car.reset();
        if (world)
            RbSimulator::Destroy(world);
    }

    // Wheels w0 to w3 except `missing`, with light parts.
    CPGameObject& Owner(int missing = -1) {
        CPGameObject& car = tree.Add("car");
        const float x[4] = {-0.9f, 0.9f, -0.9f, 0.9f}, y[4] = {-1.4f, -1.4f, 1.4f, 1.4f};
        for (int i = 0; i < 4; ++i) {
            if (i != missing)
                tree.Add("w" + std::to_string(i), &car).SetPosition({x[i], y[i], -0.4f});
        }
        for (const char* light : {"stoplights", "stoplights2", "backlights", "backlights2"})
            tree.Add(light, &car).SetVisible(std::string(light) == "stoplights2");
        car.description.Parse(CarXml("", R"(x="0.2" y="0.1")").c_str());
        return car;
    }
    // Gives the owner a body from a world with room for that many sensors.
    void GiveBody(CPGameObject& car, int sensors) {
        RbSizeInfo sizes;
        sizes.rigidBodiesCount = 1;
        sizes.sensorsCount = sensors;
        sizes.controllersCount = 1;
        world = RbSimulator::Create(sizes, nullptr, nullptr);
        auto* description = new CPPhysicData(&car);
        description->SetBoxBody(2, 0.8f, 4, 30);
        description->rigidBody = world->CreateRigidBody();
        car.physicData = description;
    }
    CPCar& Car(CPGameObject& owner) {
        car = std::make_unique<CPCar>(&owner);
        return *car;
    }

    ObjectTree tree;
    RbSimulator* world = nullptr;
    std::unique_ptr<CPCar> car;
    std::string log;
};

TEST_F(CarSetup, EachWheelGetsASensorBesideItsPartAndTheLightsStartOff) {
    CPGameObject& owner = Owner();
    GiveBody(owner, 8);
    CPCar& c = Car(owner);
    ASSERT_TRUE(c.Setup(nullptr, false));
    const float side[4] = {-1.1f, 1.1f, -1.1f, 1.1f};
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(c.wheelSensors[i], nullptr) << i;
        const RbVector& start = c.wheelSensors[i]->GetLinePosition();
        EXPECT_FLOAT_EQ(start.x, side[i]) << i;
        EXPECT_FLOAT_EQ(start.z, 0.1f) << i;
        EXPECT_FLOAT_EQ(c.wheelSensors[i]->line.z, -1.5f) << i;
        EXPECT_FLOAT_EQ(c.restPositions[i].x, owner.GetPart("w" + std::to_string(i))->GetPosition().x);
        EXPECT_FLOAT_EQ(c.restPositions[i].z, 0.1f);
        EXPECT_FLOAT_EQ(c.dustSpawnPoints[i].z, 0.0f);
        EXPECT_FLOAT_EQ(c.wheelTravel[i], 0.5f - 1.5f);
    }
    ASSERT_NE(owner.physicData->rigidBody->controllers.head, nullptr);
    EXPECT_EQ(owner.physicData->rigidBody->controllers.head->callback, &c);
    EXPECT_FLOAT_EQ(owner.physicData->rigidBody->mass, 30.0f);
    EXPECT_TRUE(owner.GetPart("stoplights")->IsVisible());
    EXPECT_FALSE(owner.GetPart("stoplights2")->IsVisible());
    EXPECT_TRUE(owner.GetPart("backlights")->IsVisible());
    EXPECT_FALSE(owner.GetPart("backlights2")->IsVisible());
    car.reset();
    // The deleted car no longer drives its controller.
    EXPECT_EQ(owner.physicData->rigidBody->controllers.head->callback, nullptr);
}

TEST_F(CarSetup, AWheelWithoutItsPartOrASensorIsLeftOutAndTheRestStillDrive) {
    CPGameObject& owner = Owner(2);
    GiveBody(owner, 2);
    CPCar& c = Car(owner);
    ASSERT_TRUE(c.Setup(nullptr, false));
    EXPECT_NE(c.wheelSensors[0], nullptr);
    EXPECT_NE(c.wheelSensors[1], nullptr);
    EXPECT_EQ(c.wheelSensors[2], nullptr);
    EXPECT_EQ(c.wheelSensors[3], nullptr);
    EXPECT_NE(log.find("no sensor for wheel 3"), std::string::npos) << log;
    c.SetControls(1, 0.5f);
    world->Advance(1.0f / 60, 1, nullptr);
    EXPECT_TRUE(c.wheelInAir[3]);
}

TEST_F(CarSetup, ACarWithoutARigidBodyIsRefusedAndNeverSteps) {
    CPGameObject& owner = Owner();
    CPCar& c = Car(owner);
    EXPECT_FALSE(c.Setup(nullptr, true));
    EXPECT_NE(log.find("has no rigid body"), std::string::npos) << log;
    RbVector force, torque;
    EXPECT_EQ(c.UpdateWheel(0, force, torque), 0);
    c.UpdateController(nullptr, 1.0f / 60);
    c.ApplyImpulse({0, 0, 0}, {1, 0, 0});
}

} // namespace
