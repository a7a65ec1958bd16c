#include "Physics/Simulator/RbSensorTest.h"
#include "RbTestTerrain.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

namespace {

struct SensorCase {
    const char* name;
    RbVector start, line;
    bool hit;
    float depth;
    RbVector normal, point;
};

class RbSensorHits : public ::testing::Test {
protected:
    RbSensorHits() : world(MakeWorld()) {
        sensorBody = world->CreateRigidBody();
        sensor = sensorBody->AddSensor();
    }

    void Check(const SensorCase& c, const RbBody& other) {
        sensor->ClearHit();
        sensor->SetLineSensor(c.start, c.line);
        RbSensorTest(sensor, sensorBody->transform, other, other.WorldTransform(),
                     world->CreateAnimatedBody());
        EXPECT_EQ(sensor->detectDepth > 0, c.hit) << c.name;
        if (!c.hit || sensor->detectDepth <= 0)
            return;
        EXPECT_NEAR(sensor->detectDepth, c.depth, 1e-5f) << c.name;
        ExpectVector(sensor->detectNormal, c.normal, 1e-5f);
        ExpectVector(sensor->detectPoint, c.point, 1e-5f);
    }

    RbWorldPtr world;
    RbRigidBody* sensorBody;
    RbSensor* sensor;
};

TEST_F(RbSensorHits, AgainstABox) {
    RbAnimatedBody* target = world->CreateAnimatedBody();
    target->AddGeometry()->SetBoxSize(2, 2, 2);
    const SensorCase cases[] = {
        {"through the top", {0, 0, 2}, {0, 0, -2}, true, 1, {0, 0, 1}, {0, 0, 1}},
        {"from below", {0.5f, 0, -3}, {0, 0, 3}, true, 1, {0, 0, -1}, {0.5f, 0, -1}},
        {"start inside", {0, 0, 0.5f}, {0, 0, -2}, true, 2.5f, {0, 0, 1}, {0, 0, 1}},
        {"parallel outside the slab", {0, 1.5f, 2}, {0, 0, -4}, false, 0, {}, {}},
        {"ends short", {0, 0, 3}, {0, 0, -1.5f}, false, 0, {}, {}},
        {"zero length inside", {0, 0, 0}, {0, 0, 0}, false, 0, {}, {}},
    };
    for (const SensorCase& c : cases)
        Check(c, *target);
}

TEST_F(RbSensorHits, AgainstTerrainTriangles) {
    RbTestTerrain terrain;
    terrain.AddTriangle({-5, -5, 0}, {5, -5, 0}, {0, 5, 0});
    // A sliver without a plane is never hit.
    terrain.AddTriangle({-5, 0, 0.5f}, {5, 0, 0.5f}, {0, 0, 0.5f});
    std::vector<int> all = {0, 1};
    const RbTriangle* triangles = terrain.triangles.data();
    RbAnimatedBody& ground = world->TerrainBody();
    ground.localBounds.MakeTriangleSet(all.data(), all.data() + 2, &triangles, terrain.vertices.data(), 2);
    const SensorCase cases[] = {
        {"half way", {0, 0, 1}, {0, 0, -2}, true, 1, {0, 0, 1}, {0, 0, 0}},
        {"from below", {0, 0, -1}, {0, 0, 4}, true, 3, {0, 0, -1}, {0, 0, 0}},
        {"ends on the surface", {0, 0, 1}, {0, 0, -1}, false, 0, {}, {}},
        {"outside the triangle", {4, 4, 1}, {0, 0, -2}, false, 0, {}, {}},
        {"zero length", {0, 0, 0.0001f}, {0, 0, -0.0005f}, false, 0, {}, {}},
    };
    for (const SensorCase& c : cases)
        Check(c, ground);
}

TEST_F(RbSensorHits, DeeperHitWinsWhateverTheOrder) {
    RbAnimatedBody* high = world->CreateAnimatedBody();
    high->AddGeometry()->SetBoxSize(2, 2, 2);
    high->SetPosition({0, 0, -0.5f});
    RbAnimatedBody* low = world->CreateAnimatedBody();
    low->AddGeometry()->SetBoxSize(2, 2, 2);
    low->SetPosition({0, 0, -1.5f});
    sensor->SetLineSensor({0, 0, 2}, {0, 0, -4});
    for (RbAnimatedBody* first : {high, low}) {
        sensor->ClearHit();
        RbAnimatedBody* second = first == high ? low : high;
        RbSensorTest(sensor, sensorBody->transform, *first, first->worldTransform, first);
        RbSensorTest(sensor, sensorBody->transform, *second, second->worldTransform, second);
        EXPECT_EQ(sensor->detectBody, high);
        EXPECT_NEAR(sensor->detectDepth, 2.5f, 1e-5f);
    }
}

} // namespace
