#include "Physics/Simulator/RbNarrowPhase.h"
#include "Platform/Random.h"
#include "RbTestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr float Pi = 3.14159265f;

RbGeometry Box(float x, float y, float z) {
    RbGeometry g;
    g.SetBoxSize(x, y, z);
    return g;
}

TEST(RbBoxBox, WorkedCases) {
    RbGeometry unit = Box(1, 1, 1);
    RbMatrix4 origin;
    RbCollisionResult r;

    // B's x face ties with A's and A's vertex lies over it: B's face wins.
    RbBoxBoxTest(r, unit, origin, unit, RbTranslation(0.9f, 0, 0));
    ASSERT_EQ(r.hasContact, 1);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
    ExpectVector(r.normal, {-1, 0, 0});
    ExpectVector(r.pointA, {0.5f, 0.5f, 0.5f});
    ExpectVector(r.pointB, {0.4f, 0.5f, 0.5f});

    RbBoxBoxTest(r, unit, origin, unit, RbTranslation(1.0f, 0, 0));
    EXPECT_EQ(r.hasContact, 0); // touching is not a contact

    // Edge across edge.
    RbBoxBoxTest(r, unit, RbAxisRotation({1, 0, 0}, Pi / 4), unit,
                 RbAxisRotation({0, 1, 0}, Pi / 4, {0, 0, std::sqrt(2.0f) - 0.05f}));
    ASSERT_EQ(r.hasContact, 1);
    EXPECT_NEAR(r.depth, 0.05f, 1e-4f);
    ExpectVector(r.normal, {0, 0, -1});
    ExpectVector(r.pointA, {0, 0, 0.7071f});
    ExpectVector(r.pointB, {0, 0, 0.6571f});
}

TEST(RbBoxBox, FlushFacesKeepTheFirstFaceUnlessTheVertexLiesOverTheLater) {
    RbGeometry wide = Box(4, 4, 1);
    RbGeometry small = Box(1, 1, 1);
    RbCollisionResult r;
    // A small box sunk 0.1 into a wide slab: the slab's z face and the small
    // box's z face are equally deep.
    RbBoxBoxTest(r, small, RbTranslation(0, 0, 0.9f), wide, RbMatrix4());
    ASSERT_EQ(r.hasContact, 1);
    EXPECT_NEAR(r.depth, 0.1f, 1e-5f);
    ExpectVector(r.normal, {0, 0, 1});
    EXPECT_NEAR(r.pointA.z, 0.4f, 1e-5f);
    EXPECT_NEAR(r.pointB.z, 0.5f, 1e-5f);
}

TEST(RbBoxBox, SwappingTheBoxesTurnsTheContactAround) {
    RbGeometry a = Box(1, 2, 0.5f);
    RbGeometry b = Box(1.5f, 0.7f, 1);
    RbMatrix4 ta = RbAxisRotation(RbSafeNormalise({1, 2, 3}), 0.7f, {0.1f, 0.2f, 0.3f});
    RbMatrix4 tb = RbAxisRotation(RbSafeNormalise({-2, 1, 1}), 1.9f, {0.8f, 0.4f, 0.5f});
    RbCollisionResult ab, ba;
    RbBoxBoxTest(ab, a, ta, b, tb);
    RbBoxBoxTest(ba, b, tb, a, ta);
    ASSERT_TRUE(ab.hasContact && ba.hasContact);
    EXPECT_NEAR(ab.depth, ba.depth, 1e-4f);
    ExpectVector(ab.normal, -ba.normal);

    RbCollisionResult record = ab;
    RbGeometry* ga = &a;
    RbGeometry* gb = &b;
    record.geometryA = ga;
    record.geometryB = gb;
    record.Swap();
    ExpectVector(record.normal, -ab.normal, 0);
    ExpectVector(record.pointA, ab.pointB, 0);
    ExpectVector(record.pointB, ab.pointA, 0);
    EXPECT_EQ(record.geometryA, gb);
    EXPECT_EQ(record.geometryB, ga);
}

// Exact overlap of two boxes by the separating-axis theorem in double
// precision: the smallest overlap over the 15 axes, or a negative number.
double SmallestOverlap(const RbGeometry& a, const RbMatrix4& ta, const RbGeometry& b, const RbMatrix4& tb) {
    auto project = [](const RbGeometry& g, const RbMatrix4& t, const double n[3], double& centre,
                      double& radius) {
        centre = t.row[3].x * n[0] + t.row[3].y * n[1] + t.row[3].z * n[2];
        radius = 0;
        for (int k = 0; k < 3; ++k)
            radius +=
                std::fabs(g.halfExtents[k] * (t.row[k].x * n[0] + t.row[k].y * n[1] + t.row[k].z * n[2]));
    };
    std::vector<std::array<double, 3>> axes;
    for (int k = 0; k < 3; ++k) {
        axes.push_back({ta.row[k].x, ta.row[k].y, ta.row[k].z});
        axes.push_back({tb.row[k].x, tb.row[k].y, tb.row[k].z});
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const RbVector &u = ta.row[i], &v = tb.row[j];
            std::array<double, 3> n = {double(u.y) * v.z - double(u.z) * v.y,
                                       double(u.z) * v.x - double(u.x) * v.z,
                                       double(u.x) * v.y - double(u.y) * v.x};
            double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            if (length > 1e-3)
                axes.push_back({n[0] / length, n[1] / length, n[2] / length});
        }
    }
    double smallest = 1e9;
    for (const auto& n : axes) {
        double ca, ra, cb, rb;
        project(a, ta, n.data(), ca, ra);
        project(b, tb, n.data(), cb, rb);
        smallest = std::min(smallest, ra + rb - std::fabs(ca - cb));
    }
    return smallest;
}

// Over random poses: every contact has a unit normal, a positive depth and
// pointB = pointA + depth * normal; moving A by depth + 1e-3 along the normal
// separates the boxes; and the depth is the smallest overlap of the boxes.
TEST(RbBoxBox, ContactsFollowTheConventionOverRandomPoses) {
    PlatSRand(99);
    auto random = [](float low, float high) {
        return low + (high - low) * PlatRand() / float(PLAT_RAND_MAX);
    };
    int contacts = 0;
    for (int round = 0; round < 3000; ++round) {
        RbGeometry a = Box(random(0.2f, 2), random(0.2f, 2), random(0.2f, 2));
        RbGeometry b = Box(random(0.2f, 2), random(0.2f, 2), random(0.2f, 2));
        RbMatrix4 ta = RbAxisRotation(RbSafeNormalise({random(-1, 1), random(-1, 1), random(-1, 1) + 0.01f}),
                                      random(0, 6.3f), {random(-1, 1), random(-1, 1), random(-1, 1)});
        RbMatrix4 tb = round % 5 == 0 ? RbTranslation(random(-1, 1), random(-1, 1), random(-1, 1))
                                      : RbAxisRotation(RbSafeNormalise({random(-1, 1), 0.01f, random(-1, 1)}),
                                                       random(0, 6.3f), {random(-1, 1), random(-1, 1), 0});
        RbCollisionResult r;
        RbBoxBoxTest(r, a, ta, b, tb);
        double overlap = SmallestOverlap(a, ta, b, tb);
        if (!r.hasContact) {
            EXPECT_LT(overlap, 1e-4) << "round " << round;
            continue;
        }
        ++contacts;
        EXPECT_NEAR(RbSafeLength(r.normal), 1.0f, 1e-5f) << "round " << round;
        EXPECT_GT(r.depth, 0.0f);
        ExpectVector(r.pointB, r.pointA + r.normal * r.depth, 2e-4f);
        EXPECT_NEAR(r.depth, overlap, 2e-4) << "round " << round;
        RbMatrix4 moved = ta;
        moved.SetPosition(ta.Position() + r.normal * (r.depth + 1e-3f));
        EXPECT_LT(SmallestOverlap(a, moved, b, tb), 0.0) << "round " << round;
    }
    EXPECT_GT(contacts, 1000);
}

TEST(RbTestGeometries, DeepestPairOfSeveralGeometriesWins) {
    RbWorldPtr world = MakeWorld();
    RbRigidBody* a = world->CreateRigidBody();
    RbRigidBody* b = world->CreateRigidBody();
    RbGeometry* aShapes[3];
    for (int i = 0; i < 3; ++i) {
        aShapes[i] = a->AddGeometry();
        aShapes[i]->SetTransform(RbTranslation(2.0f * i, 0, 0));
        aShapes[i]->SetMaterialIndex(10 + i);
    }
    RbGeometry* bShapes[2];
    for (int i = 0; i < 2; ++i) {
        bShapes[i] = b->AddGeometry();
        bShapes[i]->SetTransform(RbTranslation(2.0f * i, 0, 0));
        bShapes[i]->SetMaterialIndex(20 + i);
    }
    a->UpdateBoundingInfo();
    b->UpdateBoundingInfo();
    a->SetPosition({0, 0, 0});
    // B lies across A's first two boxes from above, tilted so that its second
    // box sinks deeper (about 0.3) than its first (about 0.1).
    b->SetPosition({0, 0, 0.9f});
    b->SetRotation({0.0f, std::sin(0.05f), 0.0f, std::cos(0.05f)});
    RbCollisionResult r;
    RbTestGeometries(r, a, a->GetTransform(), b, b->GetTransform(), {});
    ASSERT_EQ(r.hasContact, 1);
    EXPECT_EQ(r.geometryA, aShapes[1]);
    EXPECT_EQ(r.geometryB, bShapes[1]);
    EXPECT_EQ(r.materialA, 11);
    EXPECT_EQ(r.materialB, 21);
    // The record carries lever arms and body-frame points.
    ExpectVector(r.pointA, r.worldPointA - a->GetPosition());
    ExpectVector(r.pointB, r.worldPointB - b->GetPosition());
    ExpectVector(r.bodyPointB, RbToFrame(r.pointB, b->transform.row));

    b->SetPosition({0, 0, 3});
    RbTestGeometries(r, a, a->GetTransform(), b, b->GetTransform(), {});
    EXPECT_EQ(r.hasContact, 0);
}

TEST(RbTestGeometries, OneBoxAgainstOneBoxAndBodiesWithoutShapes) {
    RbWorldPtr world = MakeWorld();
    RbRigidBody* a = world->CreateRigidBody();
    RbAnimatedBody* b = world->CreateAnimatedBody();
    RbRigidBody* empty = world->CreateRigidBody();
    RbGeometry* ga = a->AddGeometry();
    RbGeometry* gb = b->AddGeometry();
    gb->SetBoxSize(10, 10, 1);
    a->SetPosition({1, 1, 0.9f});
    RbCollisionResult r;
    RbTestGeometries(r, a, a->GetTransform(), b, b->worldTransform, {});
    ASSERT_EQ(r.hasContact, 1);
    EXPECT_EQ(r.geometryA, ga);
    EXPECT_EQ(r.geometryB, gb);
    ExpectVector(r.normal, {0, 0, 1});
    ExpectVector(r.bodyPointA, r.pointA);
    RbTestGeometries(r, a, a->GetTransform(), empty, empty->GetTransform(), {});
    EXPECT_EQ(r.hasContact, 0);
}

} // namespace
