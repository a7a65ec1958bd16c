// Passing over the terrain triangles out of a shape's reach changes no
// result: shapes on the boundary of their reach give the same bits with the
// culling on and off, and whole scenes step to the same bits.

#include "../../bench/RbSceneWorld.h"
#include "Physics/Simulator/RbNarrowPhase.h"
#include "Physics/Simulator/RbSensorTest.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float HalfPi = 3.14159265f / 2;

// The bits of the values, for comparisons that a rounding difference fails.
struct Bits {
    std::vector<std::uint32_t> words;

    void Add(float value) {
        std::uint32_t word;
        std::memcpy(&word, &value, sizeof word);
        words.push_back(word);
    }
    void Add(const RbVector& v) {
        for (int i = 0; i < 4; ++i)
            Add(v[i]);
    }
    void Add(const RbMatrix4& m) {
        for (const RbVector& row : m.row)
            Add(row);
    }
    void Add(const RbMatrix3& m) {
        for (const RbVector& row : m.row)
            Add(row);
    }
    void AddInt(std::int32_t value) { words.push_back(static_cast<std::uint32_t>(value)); }
};

enum class Probe { Sensor, Box, Capsule };

struct Triangle {
    RbVector v[3];
};

struct BoundaryCase {
    const char* name;
    Probe probe;
    RbMatrix4 pose; // the shape's placement; a sensor starts at its position
    RbVector line;  // a sensor's line
    Triangle tri;   // the triangle on the boundary
    bool touches;   // a contact or a hit deeper than 0 (checked near the origin only)
};

RbMatrix4 At(RbMatrix4 m, float x, float y, float z) {
    m.SetPosition({x, y, z});
    return m;
}

// The case's triangle listed twice among a far triangle and a number
// outside the array, moved by offset with the shape.
struct CaseTerrain {
    CaseTerrain(const BoundaryCase& c, const RbVector& offset) {
        terrain.AddTriangle(c.tri.v[0] + offset, c.tri.v[1] + offset, c.tri.v[2] + offset, 3);
        terrain.AddTriangle(RbVector(50, 0, 0) + offset, RbVector(52, 0, 0) + offset,
                            RbVector(50, 2, 0) + offset);
        triangles = terrain.triangles.data();
    }
    RbGeometry Set(bool cull) const {
        RbGeometry set;
        set.MakeTriangleSet(candidates, candidates + 4, &triangles, terrain.vertices.data(), 2);
        set.cullTriangles = cull;
        return set;
    }
    RbTestTerrain terrain;
    const RbTriangle* triangles;
    int candidates[4] = {1, 0, 7, 0};
};

Bits RunCase(const BoundaryCase& c, const RbVector& offset, bool cull, bool& touches) {
    CaseTerrain terrain(c, offset);
    RbGeometry set = terrain.Set(cull);
    RbMatrix4 pose =
        At(c.pose, c.pose.row[3].x + offset.x, c.pose.row[3].y + offset.y, c.pose.row[3].z + offset.z);
    Bits bits;
    if (c.probe == Probe::Sensor) {
        RbSensor sensor;
        sensor.SetLineSensor(pose.Position(), c.line);
        RbSensorLineTest(sensor, set, RbMatrix4());
        touches = sensor.detectDepth > 0.0f;
        bits.Add(sensor.detectDepth);
        bits.Add(sensor.detectNormal);
        bits.Add(sensor.detectPoint);
        bits.AddInt(sensor.detectMaterial);
        return bits;
    }
    RbGeometry shape;
    if (c.probe == Probe::Box)
        shape.SetBoxSize(1, 1, 1);
    else
        shape.SetCylinder(1, 2);
    RbCollisionResult r;
    RbTestGeometryPair(r, &shape, pose, &set, RbMatrix4(), {});
    touches = r.hasContact != 0;
    bits.AddInt(r.hasContact);
    if (r.hasContact) {
        bits.Add(r.depth);
        bits.Add(r.normal);
        bits.Add(r.pointA);
        bits.Add(r.pointB);
        bits.AddInt(r.materialB);
    }
    return bits;
}

// Shapes exactly on, just inside and just outside what they touch; the
// sensor runs from (0, 0, 1) down to the origin unless its line says
// otherwise, the box is a unit cube, the capsule has radius 0.5 and half
// height 1.
TEST(TerrainCulling, ShapesOnTheBoundaryGiveTheSameResults) {
    const RbMatrix4 turned = RbAxisRotation({0, 0, 1}, HalfPi / 2);
    const RbMatrix4 alongX = RbAxisRotation({0, 0, 1}, -HalfPi); // capsule axis along x
    const RbMatrix4 up = At(RbMatrix4(), 0, 0, 1), slanted = At(RbMatrix4(), 1, 1, 1);
    const RbMatrix4 resting = At(RbMatrix4(), 0, 0, 0.5f), sunk = At(RbMatrix4(), 0, 0, 0.49f);
    const RbMatrix4 lying = At(alongX, 0, 0, 0.4f), lyingHigher = At(alongX, 0, 0, 0.45f);
    const RbVector down(0, 0, -1), diagonal(-1, -1, -1), none;
    const Triangle floor{{{-2, -2, 0}, {2, -2, 0}, {0, 2, 0}}};
    const Triangle cornerAtOrigin{{{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}};
    const Triangle edgeThroughOrigin{{{-2, 0, 0}, {2, 0, 0}, {0, 2, 0}}};
    const Triangle cornerBehindOrigin{{{0, 0, 0}, {-2, 0, 0}, {0, -2, 0}}};
    const Triangle cornerUnderBox{{{0.5f, 0.5f, 0}, {2, 0.5f, 0}, {0.5f, 2, 0}}};
    const Triangle edgeUnderAxis{{{0, -2, -0.05f}, {0, 2, -0.05f}, {0, 0, -3}}};
    const Triangle cornerBeyondCap{{{1.5f, 0, 0}, {3, -1, 0}, {3, 1, 0}}};
    auto wall = [](float x) { return Triangle{{{x, -2, -2}, {x, 2, -2}, {x, 0, 2}}}; };
    const BoundaryCase cases[] = {
        {"sensor ending on a vertex", Probe::Sensor, up, down, cornerAtOrigin, false},
        {"sensor ending on an edge", Probe::Sensor, up, down, edgeThroughOrigin, false},
        {"sensor ending on a face", Probe::Sensor, up, down, floor, false},
        {"sensor through a face", Probe::Sensor, up, {0, 0, -1.5f}, floor, true},
        {"slanted sensor ending on a vertex", Probe::Sensor, slanted, diagonal, cornerBehindOrigin, false},
        {"slanted sensor through a corner", Probe::Sensor, slanted, diagonal * 1.2f, cornerBehindOrigin,
         true},
        {"box face in a triangle's plane", Probe::Box, resting, none, floor, false},
        {"box 1 cm into a triangle", Probe::Box, sunk, none, floor, true},
        {"box face in a wall's plane", Probe::Box, RbMatrix4(), none, wall(0.5f), false},
        {"box corner on a triangle's vertex", Probe::Box, resting, none, cornerUnderBox, false},
        {"turned box corner into a wall", Probe::Box, turned, none, wall(0.65f), true},
        {"capsule touching an edge", Probe::Capsule, lying, none, edgeUnderAxis, true},
        {"capsule one radius above an edge", Probe::Capsule, lyingHigher, none, edgeUnderAxis, false},
        {"capsule end into a wall", Probe::Capsule, alongX, none, wall(1.45f), true},
        {"capsule end on a triangle's vertex", Probe::Capsule, alongX, none, cornerBeyondCap, false},
    };
    const RbVector offsets[] = {{0, 0, 0}, {100000, -100000, 0}, {-3000000, 0, 2000}};
    for (const BoundaryCase& c : cases) {
        for (const RbVector& offset : offsets) {
            bool touchesCulled = false, touchesAll = false;
            Bits culled = RunCase(c, offset, true, touchesCulled);
            Bits all = RunCase(c, offset, false, touchesAll);
            EXPECT_EQ(culled.words, all.words) << c.name << " at x " << offset.x;
            if (offset.x == 0.0f) {
                EXPECT_EQ(touchesAll, c.touches) << c.name;
            }
        }
    }
}

// Two triangles meeting in a ridge along the y axis, listed again and again
// as a grid lists triangles that touch several cells.
struct Ridge {
    static void Query(const RbVector&, const RbVector&, const int** candidates,
                      const RbTriangle** triangleArray, const RbVector** vertexArray, int* candidateCount,
                      int* triangleCount, RbBody*) {
        static const int listed[] = {0, 1, 0, 1, 1, 0};
        *candidates = listed;
        *candidateCount = static_cast<int>(std::size(listed));
        *triangleArray = terrain->triangles.data();
        *vertexArray = terrain->vertices.data();
        *triangleCount = static_cast<int>(terrain->triangles.size());
    }
    static inline const RbTestTerrain* terrain = nullptr;
};

// The readings of a body's first sensor, taken while the step runs.
struct SensorReadings : RbControllerCallback {
    void UpdateController(RbController* controller, float) override {
        const RbSensor& s = *controller->GetBody()->sensors.head;
        bits.Add(s.GetDetectDepth());
        bits.Add(s.GetDetectNormal());
        bits.Add(s.GetDetectContactPoint());
    }
    Bits bits;
};

// A sensor ending below the ridge's edge hits both triangles at the same
// depth: the one listed last wins, culled or not.
TEST(TerrainCulling, ATieOnARidgeGoesToTheSameTriangle) {
    RbTestTerrain ridge;
    ridge.AddTriangle({0, -2, 0}, {0, 2, 0}, {2, 0, -0.5f}, 1);
    ridge.AddTriangle({0, 2, 0}, {0, -2, 0}, {-2, 0, -0.5f}, 2);
    Ridge::terrain = &ridge;
    Bits readings[2];
    for (int cull = 0; cull < 2; ++cull) {
        RbSizeInfo sizes;
        RbWorldPtr world(RbMakeSceneWorld(sizes));
        world->SetTerrainCulling(cull == 1);
        world->SetTerrainQueryCallback(&Ridge::Query);
        RbRigidBody* body = RbAddBox(*world, {0.2f, 0.2f, 0.2f}, 1, {0, 0, 1});
        body->SetGravityEnabled(false);
        body->AddSensor()->SetLineSensor({0, 0, 0}, {0, 0, -2});
        body->UpdateBoundingInfo();
        SensorReadings sensor;
        body->AddController(&sensor, 0);
        world->Advance(1.0f / 60, 1, nullptr);
        readings[cull] = sensor.bits;
        ASSERT_EQ(sensor.bits.words.size(), 9u);
        EXPECT_FLOAT_EQ(std::bit_cast<float>(sensor.bits.words[0]), 1.0f) << "the sensor crosses the edge";
    }
    EXPECT_EQ(readings[1].words, readings[0].words);
}

// Everything of a rigid body that a step reads or writes, pointers aside.
Bits BodyState(const RbRigidBody& body) {
    Bits bits;
    for (const RbVector& v : {body.externalForce,
                              body.externalTorque,
                              body.gravityForce,
                              body.controllerForce,
                              body.controllerTorque,
                              body.torqueAccumulator,
                              body.forceAccumulator,
                              body.acceleration,
                              body.orientation,
                              body.angularMomentum,
                              body.velocity,
                              body.angularVelocity,
                              body.orientationRate,
                              body.smoothedDisplacement,
                              body.worldMin,
                              body.worldMax,
                              body.idleReferencePosition,
                              body.idleReferenceOrientation,
                              body.idleReferenceVelocity,
                              body.idleReferenceAngularVelocity})
        bits.Add(v);
    bits.Add(body.transform);
    bits.Add(body.inverseWorldInertia);
    bits.Add(body.speed);
    for (std::int32_t value : {body.restState, body.idleSteps, body.contactLastStep, body.contactThisStep,
                               body.idleReferenceSteps, body.restBlock.validPointCount})
        bits.AddInt(value);
    for (int i = 0; i < 10; ++i) {
        bits.Add(body.restBlock.velocityHistory[i]);
        bits.Add(body.restBlock.angularVelocityHistory[i]);
    }
    for (const RbRestRecord& record : body.restBlock.records) {
        bits.Add(record.localPoint);
        bits.Add(record.supportLocalPoint);
        bits.Add(record.supportNormal);
    }
    return bits;
}

struct SceneRun {
    const char* name;
    PhysicsScene scene;
    SceneQuery query;
};

// One culled world compares the triangle boxes its terrain hands over; a
// third world culls by boxes made from the vertices instead.
TEST(TerrainCulling, ScenesStepToTheSameBits) {
    const int steps = 240;
    const SceneRun runs[] = {
        {"falling boxes", FallingBoxesScene(), SceneQuery::Helper},
        {"resting boxes", RestingBoxesScene(), SceneQuery::Helper},
        {"8 cars", SensorCarsScene(8), SceneQuery::Helper},
        {"50 cars", SensorCarsScene(50), SceneQuery::Helper},
        {"8 cars on the game's grid", SensorCarsScene(8), SceneQuery::GameGrid},
        {"50 cars on the game's grid", SensorCarsScene(50), SceneQuery::GameGrid},
    };
    for (const SceneRun& run : runs) {
        RbSceneWorld all(run.scene, run.query);
        all.world->SetTerrainCulling(false);
        std::vector<std::unique_ptr<RbSceneWorld>> culled;
        culled.push_back(std::make_unique<RbSceneWorld>(run.scene, run.query));
        culled.push_back(std::make_unique<RbSceneWorld>(run.scene, run.query));
        culled.back()->world->SetTerrainTriangleBounds(nullptr, nullptr, nullptr, 0);
        for (int step = 1; step <= steps; ++step) {
            all.Step();
            for (std::size_t w = 0; w < culled.size(); ++w) {
                culled[w]->Step();
                for (std::size_t i = 0; i < all.bodies.size(); ++i)
                    ASSERT_EQ(BodyState(*culled[w]->bodies[i]).words, BodyState(*all.bodies[i]).words)
                        << run.name << (w ? " by vertices" : "") << ": body " << i << " after step " << step;
            }
        }
    }
}

} // namespace
