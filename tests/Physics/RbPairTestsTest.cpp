// Cylinder and triangle pair tests: worked cases and the result convention
// over random poses.

#include "Physics/Simulator/RbNarrowPhase.h"
#include "Platform/Random.h"
#include "RbTestTerrain.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

namespace {

constexpr float HalfPi = 3.14159265f / 2;

RbGeometry Box(float size) {
    RbGeometry g;
    g.SetBoxSize(size, size, size);
    return g;
}

RbGeometry Capsule(float radius, float halfHeight) {
    RbGeometry g;
    g.SetCylinder(2 * radius, 2 * halfHeight);
    return g;
}

// A large horizontal triangle through the origin, plus a sliver.
struct Ground {
    Ground() {
        terrain.AddTriangle({-10, -10, 0}, {10, -10, 0}, {0, 10, 0}, 7);
        terrain.AddTriangle({-1, 0, 0.2f}, {1, 0, 0.2f}, {0, 0, 0.2f});
        triangles = terrain.triangles.data();
        set.MakeTriangleSet(indices, indices + 2, &triangles, terrain.vertices.data(), 2);
    }
    RbTestTerrain terrain;
    const RbTriangle* triangles;
    int indices[2] = {1, 0};
    RbGeometry set;
};

struct PairCase {
    const char* name;
    bool contact;
    float depth;
    RbVector normal;
    RbVector pointA;
};

void ExpectContact(const RbCollisionResult& r, const PairCase& c) {
    ASSERT_EQ(r.hasContact != 0, c.contact) << c.name;
    if (!c.contact)
        return;
    EXPECT_NEAR(r.depth, c.depth, 1e-5f) << c.name;
    ExpectVector(r.normal, c.normal, 1e-5f);
    ExpectVector(r.pointA, c.pointA, 1e-5f);
    ExpectVector(r.pointB, r.pointA + r.normal * r.depth, 1e-5f);
}

TEST(RbPairTests, WorkedCases) {
    RbGeometry box = Box(2), capsule = Capsule(0.5f, 1), small = Capsule(0.5f, 0.5f), unit = Box(1);
    RbMatrix4 alongX = RbAxisRotation({0, 0, 1}, -HalfPi); // local y along world x
    RbMatrix4 upright = RbAxisRotation({1, 0, 0}, HalfPi); // local y along world z
    RbCollisionResult r;
    auto at = [](RbMatrix4 m, float x, float y, float z) {
        m.SetPosition({x, y, z});
        return m;
    };

    RbBoxCylinderTest(r, box, RbMatrix4(), capsule, at(alongX, 0, 0, 1.4f));
    ExpectContact(r, {"capsule lying on a box", true, 0.1f, {0, 0, -1}, {-1, 0, 1}});
    RbBoxCylinderTest(r, box, RbMatrix4(), capsule, at(upright, 0.3f, 0, 2.3f));
    ExpectContact(r, {"capsule standing on a box", true, 0.2f, {0, 0, -1}, {0.3f, 0, 1}});
    RbBoxCylinderTest(r, box, RbMatrix4(), capsule, at(alongX, 0, 0, 1.5f));
    ExpectContact(r, {"one radius away", true, 0, {0, 0, -1}, {-1, 0, 1}});
    RbBoxCylinderTest(r, box, RbMatrix4(), capsule, at(alongX, 0, 0, 0));
    EXPECT_TRUE(r.hasContact && RbIsFinite(r.normal)) << "axis through the box";

    RbCylinderCylinderTest(r, small, at(upright, 0, 0, 1.9f), small, at(upright, 0, 0, 0));
    ExpectContact(r, {"stacked end to end", true, 0.1f, {0, 0, 1}, {0, 0, 0.9f}});
    RbCylinderCylinderTest(r, small, at(upright, 0, 0, 0), small, at(upright, 0.8f, 0, 0));
    ExpectContact(r, {"side by side", true, 0.2f, {-1, 0, 0}, {0.5f, 0, 0.5f}});
    RbCylinderCylinderTest(r, small, at(alongX, 0, 0, 0), small, at(RbMatrix4(), 0, 0, 1.1f));
    ExpectContact(r, {"crossing apart", false, 0, {}, {}});
    RbCylinderCylinderTest(r, small, at(upright, 0, 0, 0), small, at(upright, 0, 0, 0));
    EXPECT_TRUE(r.hasContact && RbIsFinite(r.normal)) << "coincident axes";

    Ground ground;
    RbBoxTrianglesTest(r, unit, at(RbMatrix4(), 3, 1, 0.49f), ground.set);
    ExpectContact(r, {"box flat on a triangle", true, 0.01f, {0, 0, 1}, {3.5f, 1.5f, -0.01f}});
    EXPECT_EQ(r.materialB, 7);
    RbBoxTrianglesTest(r, unit, at(RbMatrix4(), 3, 1, -0.49f), ground.set);
    ExpectContact(r, {"box under a triangle", true, 0.01f, {0, 0, -1}, {3.5f, 1.5f, 0.01f}});
    RbBoxTrianglesTest(r, unit, at(RbMatrix4(), 3, 1, 0.5f), ground.set);
    ExpectContact(r, {"face in the plane", false, 0, {}, {}});
    RbCylinderTrianglesTest(r, capsule, at(alongX, 3, 1, 0.45f), ground.set);
    ExpectContact(r, {"capsule lying on a triangle", true, 0.05f, {0, 0, 1}, {2, 1, -0.05f}});
    RbCylinderTrianglesTest(r, small, at(upright, 12, 0, 0.3f), ground.set);
    ExpectContact(r, {"off the triangle", false, 0, {}, {}});
}

float Random(float low, float high) {
    return low + (high - low) * PlatRand() / float(PLAT_RAND_MAX);
}

RbMatrix4 RandomPose(float spread) {
    RbMatrix3 r = RbQuaternionToRotation(
        RbNormaliseQuaternion({Random(-1, 1), Random(-1, 1), Random(-1, 1), Random(-1, 1)}));
    RbMatrix4 m;
    for (int i = 0; i < 3; ++i)
        m.row[i] = {r.row[i].x, r.row[i].y, r.row[i].z, 0};
    m.SetPosition({Random(-spread, spread), Random(-spread, spread), Random(-spread, spread)});
    return m;
}

// Every reported contact: a unit normal, depth >= 0, pointB = pointA + depth n.
// Triangles whose edge lines pass within the radius of a capsule lying along
// x from 0 to 2, while the edges themselves end a metre or more beyond it:
// the nearly parallel edge's line passes under one end of the axis, or the
// axis line passes by the edge's end.
TEST(RbPairTests, ACapsuleDoesNotTouchTheLineBeyondAnEdge) {
    const RbVector triangles[][3] = {
        {{3, 0.3f, -0.02f}, {10, 0.3f, 0.05f}, {6, 3, 0}},
        {{-10, 0.3f, -0.11f}, {-3, 0.3f, -0.04f}, {-6, 3, 0}},
    };
    RbMatrix4 alongX = RbAxisRotation({0, 0, 1}, -HalfPi);
    alongX.SetPosition({1, 0, 0});
    for (const auto& vertices : triangles) {
        RbTestTerrain terrain;
        terrain.AddTriangle(vertices[0], vertices[1], vertices[2]);
        const RbTriangle* array = terrain.triangles.data();
        const int index = 0;
        RbGeometry set;
        set.MakeTriangleSet(&index, &index + 1, &array, terrain.vertices.data(), 1);
        set.cullTriangles = false; // the test itself must find nothing
        RbCollisionResult r;
        RbCylinderTrianglesTest(r, Capsule(0.5f, 1), alongX, set);
        EXPECT_FALSE(r.hasContact) << "edge from x " << vertices[0].x << ", depth " << r.depth;
    }
}

TEST(RbPairTests, ResultConventionOverRandomPoses) {
    PlatSRand(7);
    RbGeometry box = Box(1.2f), capsule = Capsule(0.4f, 0.6f);
    Ground ground;
    int contacts = 0;
    for (int i = 0; i < 2000; ++i) {
        RbCollisionResult r;
        RbMatrix4 a = RandomPose(1), b = RandomPose(1);
        switch (i % 4) {
        case 0:
            RbBoxCylinderTest(r, box, a, capsule, b);
            break;
        case 1:
            RbCylinderCylinderTest(r, capsule, a, capsule, b);
            break;
        case 2:
            RbBoxTrianglesTest(r, box, a, ground.set);
            break;
        default:
            RbCylinderTrianglesTest(r, capsule, a, ground.set);
            break;
        }
        if (!r.hasContact)
            continue;
        ++contacts;
        EXPECT_NEAR(RbSafeLength(r.normal), 1.0f, 1e-4f) << "case " << i;
        EXPECT_GE(r.depth, 0.0f) << "case " << i;
        EXPECT_LT(RbSafeLength(r.pointB - (r.pointA + r.normal * r.depth)), 2e-3f) << "case " << i;
    }
    EXPECT_GT(contacts, 300);
}

} // namespace
