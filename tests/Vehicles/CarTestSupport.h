#pragma once

#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Game/PGameData.h"
#include "Game/PGameObject.h"
#include "Game/PhysicsConnections.h"
#include "Physics/PPhysics.h"
#include "Physics/PhysicsServices.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Physics/VectorConversions.h"
#include "Support/GameTestSupport.h"
#include "Vehicles/CarConnections.h"
#include "Vehicles/PCar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

inline constexpr float kGravity = 9.8f;
inline constexpr float kFrame = 1.0f / 60.0f;

// A car description with the scene cars' values: springs 140/150, drive 20
// each way and no rear grip unless the test asks for other keys.
inline std::string CarXml(const std::string& physicsParams = "", const std::string& geometry = "") {
    return "<car><physics><geometry><wheels count=\"4\" length=\"1.5\" radius=\"0.5\" " + geometry +
           "/></geometry><params>" +
           (physicsParams.empty() ? "<wheels spring1=\"140\" spring2=\"150\" damping=\"150\"/>"
                                    "<friction front=\"100\" back=\"0\" slide=\"0.9\"/>"
                                    "<acceleration front=\"20\" back=\"20\"/>"
                                  : physicsParams) +
           "</params></physics></car>";
}

// A flat floor or a ramp (rising toward -y by `slope` radians) under a
// physics task whose cars are the real CPCar, stepped frame by frame as the
// game does: the frame clock at 1/60 s, two physics steps a frame.
class CarScene : public ::testing::Test {
protected:
    void SetUp() override {
        saved = g_PhysicsServices;
        ConnectPhysicsToGameObjects();
        ConnectPhysicsToCars();
        g_WeightDiv = 1;
        g_FrameTime = kFrame;
    }
    // The cars go before their wheels, which they hold.
    void TearDown() override {
        for (CPGameObject* car : carObjects)
            tree.Delete(*car);
        tree.Clear();
        physics.DestroyWorld();
        g_PhysicsServices = saved;
        g_WeightDiv = 0;
        g_FrameTime = 0.0f;
        g_Dust = 1;
    }

    void BuildGround(float slope = 0.0f) {
        const float h = 500.0f, rise = h * std::tan(slope);
        TerrainMesh ground;
        ground.positions = {{-h, -h, rise}, {h, -h, rise}, {h, h, -rise}, {-h, h, -rise}};
        ground.indices = {0, 1, 2, 0, 2, 3};
        ASSERT_TRUE(physics.BuildTerrainGrid(ground));
        ASSERT_TRUE(physics.CreateWorld());
    }

    // A 2 x 4 x 0.8 car of mass m with wheels w0-w3 at (+-0.9, +-1.4),
    // loaded as the level loads its cars.
    CPCar& AddCar(const std::string& xml, const D3DXVECTOR3& position, const D3DXQUATERNION& orientation,
                  bool player = false, float mass = 30.0f) {
        CPGameObject& car = tree.Add("car" + std::to_string(carObjects.size() + 1));
        carObjects.push_back(&car);
        auto* description = new CPPhysicData(&car);
        description->SetBoxBody(2.0f, 0.8f, 4.0f, mass);
        description->AddBoxShape({0, 0, 0}, {0, 0, 0, 1}, 2.0f, 0.8f, 4.0f, mass);
        car.physicData = description;
        car.description.Parse(xml.c_str());
        const float x[4] = {-0.9f, 0.9f, -0.9f, 0.9f}, y[4] = {-1.4f, -1.4f, 1.4f, 1.4f};
        for (int i = 0; i < 4; ++i)
            tree.Add("w" + std::to_string(i), &car).SetPosition({x[i], y[i], -0.4f});
        car.SetPosition(position);
        car.SetOrientation(orientation);
        physics.AddSyncObject(&car);
        physics.RegisterObject(&car, true, 1);
        physics.CreateCar(&car, player);
        return *static_cast<CPCar*>(car.car.Get());
    }
    CPCar& AddFlatCar(const std::string& xml = CarXml(), bool player = false) {
        return AddCar(xml, {0, 0, 1.0f}, {0, 0, 0, 1}, player);
    }

    void Frames(int count) {
        for (int i = 0; i < count; ++i) {
            ++g_FrameCounter;
            g_FrameParticleCount = 0;
            physics.Update();
        }
    }
    // Physics time of that many frames: two steps a frame.
    static float PhysicsTime(int frames) { return 2.0f * kFrame * static_cast<float>(frames); }
    // The speed along the car's forward axis (-y of its body).
    static float ForwardSpeed(const CPCar& car) {
        const RbRigidBody* body = car.GetBody();
        return -RbDot(body->GetVelocity(), body->GetTransform().row[1]);
    }

    PhysicsServices saved;
    CPPhysics physics;
    ObjectTree tree;
    std::vector<CPGameObject*> carObjects;
};

// The game data the cars read the level-started flag from, while it lives.
class LevelStarted {
public:
    explicit LevelStarted(bool started) { data.levelStarted = started; }

    CPGameData data;
};
