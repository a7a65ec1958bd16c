#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Game/PGameObject.h"
#include "Game/PhysicsConnections.h"
#include "Physics/PPhysics.h"
#include "Physics/PhysicsServices.h"
#include "Physics/Simulator/RbSimulator.h"
#include "Support/GameTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class PhysicsObjects : public ::testing::Test {
protected:
    void SetUp() override {
        saved = g_PhysicsServices;
        ConnectPhysicsToGameObjects();
        g_WeightDiv = 1;
        TerrainMesh floor;
        floor.positions = {{-100, -100, 0}, {100, -100, 0}, {100, 100, 0}, {-100, 100, 0}};
        floor.indices = {0, 1, 2, 0, 2, 3};
        ASSERT_TRUE(physics.BuildTerrainGrid(floor));
        ASSERT_TRUE(physics.CreateWorld());
    }
    void TearDown() override {
        tree.Clear();
        physics.DestroyWorld();
        g_PhysicsServices = saved;
        g_WeightDiv = 0;
        g_FrameTime = 0.0f;
    }

    // A 2 x 4.5 x 1 car of 1200 kg with one box shape, its underside 0.1
    // above its origin.
    CPGameObject& Car(const char* name, const D3DXVECTOR3& position) {
        CPGameObject& car = tree.Add(name);
        auto* description = new CPPhysicData(&car);
        description->SetBoxBody(2, 4.5f, 1, 1200);
        description->AddBoxShape({0, 0, 0.6f}, {0, 0, 0, 1}, 2, 1, 4.5f, 1200);
        car.physicData = description;
        car.SetPosition(position);
        return car;
    }
    // Loads the car as the level loader does.
    CPGameObject& LoadCar(const char* name, const D3DXVECTOR3& position) {
        CPGameObject& car = Car(name, position);
        physics.AddSyncObject(&car);
        physics.RegisterObject(&car, true, 1);
        physics.CreateCar(&car, false);
        return car;
    }
    void Frames(int count, float frameTime = 0.05f) {
        g_FrameTime = frameTime;
        for (int i = 0; i < count; ++i)
            physics.Update();
    }

    PhysicsServices saved;
    CPPhysics physics;
    ObjectTree tree;
};

TEST_F(PhysicsObjects, DescriptionsDivideTheMassByTheWeightDivisor) {
    struct Case {
        int weightDiv;
        float mass;
    } cases[] = {{1, 1500}, {2, 750}, {0, 1500}, {-3, 1500}};
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        g_WeightDiv = c.weightDiv;
        CPPhysicData description(nullptr);
        description.SetBoxBody(1, 2, 3, 1500);
        description.AddBoxShape({}, {0, 0, 0, 1}, 1, 2, 3, 300);
        EXPECT_FLOAT_EQ(description.mass, c.mass) << c.weightDiv;
        EXPECT_FLOAT_EQ(description.shapes[0].massShare, c.mass / 5) << c.weightDiv;
        EXPECT_FLOAT_EQ(description.sizes[0], 2.0f);
        EXPECT_FLOAT_EQ(description.sizes[1], 1.0f);
        EXPECT_FLOAT_EQ(description.sizes[2], 3.0f);
    }
}

TEST_F(PhysicsObjects, BodiesAreBuiltFromTheShapesAndSetUpFromTheDescription) {
    CPGameObject& car = Car("car", {1, 2, 3});
    const float s = std::sqrt(0.5f);
    car.physicData->AddBoxShape({0, 0, 1}, {0, 0, s, s}, 1, 2, 3, 10); // 90 degrees about z
    car.physicData->AddCylinderShape({1, 0, 0}, {0, 0, 0, 1}, 0.6f, 0.3f, 10);
    car.SetOrientation({0, 0, s, s});
    physics.RegisterObject(&car, true, 1);
    RbRigidBody* body = car.physicData->rigidBody;
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->GetUserData(), &car);
    EXPECT_TRUE(car.physicData->active);
    RbGeometry* box = car.physicData->shapes[1].geometry;
    ASSERT_NE(box, nullptr);
    // Sizes 1, 2, 3 give a box of 1 x 3 x 2.
    EXPECT_FLOAT_EQ(box->halfExtents.x, 0.5f);
    EXPECT_FLOAT_EQ(box->halfExtents.y, 1.5f);
    EXPECT_FLOAT_EQ(box->halfExtents.z, 1.0f);
    EXPECT_EQ(box->GetMaterialIndex(), 1);
    // The conjugate rotation: the box's x axis turns to -y.
    EXPECT_NEAR(box->localTransform.row[0].y, -1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(box->localTransform.row[3].z, 1.0f);
    RbGeometry* cylinder = car.physicData->shapes[2].geometry;
    EXPECT_EQ(cylinder->GetKind(), RB_GEOMETRY_CYLINDER);
    EXPECT_FLOAT_EQ(cylinder->radius, 0.3f);
    EXPECT_FLOAT_EQ(cylinder->halfHeight, 0.15f);

    // The car's set-up: mass, inertia from the largest size, the object's pose.
    physics.CreateCar(&car, true);
    EXPECT_FLOAT_EQ(body->mass, 1200.0f);
    EXPECT_FLOAT_EQ(body->inertia.At(0, 0), 2 * 4.5f * 4.5f * 1200 / 3);
    EXPECT_FLOAT_EQ(body->inertia.At(2, 2), 2 * 4.5f * 4.5f * 1200 / 3);
    EXPECT_FLOAT_EQ(body->GetPosition().z, 3.0f);
    EXPECT_NEAR(body->GetRotation().w, s, 1e-6f);

    // A mass of 0 skips the inertia and still sets the mass.
    CPGameObject& light = Car("light", {});
    light.physicData->mass = 0;
    physics.RegisterObject(&light, true, 1);
    physics.CreateCar(&light, false);
    EXPECT_FLOAT_EQ(light.physicData->rigidBody->mass, 0.0f);
    EXPECT_FLOAT_EQ(light.physicData->rigidBody->inertia.At(0, 0), 0.0f);

    // A negative mass builds an animated body at the object's pose.
    CPGameObject& gate = Car("gate", {5, 6, 7});
    gate.physicData->mass = -1;
    physics.RegisterObject(&gate, true, 1);
    ASSERT_NE(gate.physicData->animatedBody, nullptr);
    EXPECT_EQ(gate.physicData->rigidBody, nullptr);
    EXPECT_FLOAT_EQ(gate.physicData->animatedBody->worldTransform.Position().y, 6.0f);

    // An object without a description gets nothing.
    CPGameObject& plain = tree.Add("plain");
    physics.RegisterObject(&plain, true, 1);
    physics.AddSyncObject(&plain);
}

TEST_F(PhysicsObjects, ASynchronisedObjectTakesItsBodysPoseAfterAnUpdate) {
    CPGameObject& car = LoadCar("car", {0, 0, 2});
    RbRigidBody* body = car.physicData->rigidBody;
    body->SetAngularMomentum({0, 0, 3000});
    Frames(10);
    const RbMatrix4 transform = body->GetTransform();
    EXPECT_LT(transform.Position().z, 2.0f); // it fell
    EXPECT_EQ(car.GetPosition(),
              D3DXVECTOR3(transform.Position().x, transform.Position().y, transform.Position().z));
    const RbVector& q = body->GetRotation();
    EXPECT_EQ(car.GetOrientation(), D3DXQUATERNION(q.x, q.y, q.z, q.w));
    EXPECT_FALSE(car.dirty);
    EXPECT_FLOAT_EQ(car.GetWorldMatrix()._43, transform.Position().z);
    // The terrain query filled the car's own candidate buffer.
    EXPECT_GT(car.physicData->candidateCount, 0);

    // Unregistered: the pose is no longer copied and the body sleeps.
    physics.UnregisterObject(&car);
    EXPECT_FALSE(body->IsActive());
    EXPECT_FALSE(car.physicData->active);
    body->SetPosition({0, 0, 50});
    Frames(1);
    EXPECT_LT(car.GetPosition().z, 2.0f);
}

TEST_F(PhysicsObjects, RemovedBodiesAreParkedAndFreedOnTheThirdUpdate) {
    CPGameObject& first = LoadCar("first", {0, 0, 1});
    RbRigidBody* body = first.physicData->rigidBody;
    first.physicData->RemoveBody();
    EXPECT_EQ(first.physicData->rigidBody, nullptr);
    EXPECT_EQ(first.physicData->shapes[0].geometry, nullptr);
    EXPECT_FALSE(body->IsActive());
    EXPECT_FLOAT_EQ(body->GetPosition().z, -1000.0f);
    // A frame of no time with nothing owed does nothing at all.
    Frames(3, 0.0f);
    EXPECT_TRUE(body->InUse());
    Frames(2);
    EXPECT_TRUE(body->InUse());
    Frames(1);
    EXPECT_FALSE(body->InUse());

    // Later removals park 500 lower each, down to -100000, then start over.
    CPPhysicData bodiless(nullptr);
    for (int i = 0; i < 197; ++i)
        physics.RemoveObjectBody(&bodiless);
    float parked[2];
    for (float& depth : parked) {
        CPGameObject& car = LoadCar("car", {0, 0, 1});
        RbRigidBody* removed = car.physicData->rigidBody;
        car.physicData->RemoveBody();
        depth = removed->GetPosition().z;
    }
    EXPECT_FLOAT_EQ(parked[0], -100000.0f);
    EXPECT_FLOAT_EQ(parked[1], -1000.0f);
}

TEST_F(PhysicsObjects, ObjectsWithoutRigidBodiesOrDeletedDuringTheRaceAreLeftAlone) {
    CPGameObject& gate = Car("gate", {0, 0, 1});
    gate.physicData->mass = -1;
    physics.AddSyncObject(&gate);
    physics.RegisterObject(&gate, true, 1);
    CPGameObject& bodiless = Car("bodiless", {0, 0, 1});
    physics.AddSyncObject(&bodiless);
    CPGameObject& wreck = LoadCar("wreck", {3, 0, 1});
    RbRigidBody* wreckBody = wreck.physicData->rigidBody;
    CPGameObject& car = LoadCar("car", {-3, 0, 1});
    tree.Delete(wreck);
    EXPECT_EQ(wreckBody->GetUserData(), nullptr);
    Frames(3);
    EXPECT_FALSE(wreckBody->InUse());
    EXPECT_FLOAT_EQ(gate.GetPosition().z, 1.0f);
    EXPECT_LT(car.GetPosition().z, 1.0f);

    // Destroying the world leaves no description pointing into it.
    physics.DestroyWorld();
    EXPECT_EQ(car.physicData->rigidBody, nullptr);
    EXPECT_EQ(gate.physicData->animatedBody, nullptr);
    EXPECT_EQ(car.physicData->shapes[0].geometry, nullptr);
    car.SetPosition({1, 1, 1});
}

} // namespace
