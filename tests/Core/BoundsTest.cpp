#include "Core/AxisAlignedBox.h"
#include "Core/BoundingBox.h"
#include "Core/GeometryFunctions.h"
#include "Platform/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace {

float Uniform(float low, float high) {
    return low + (high - low) * static_cast<float>(PlatRand()) / static_cast<float>(PLAT_RAND_MAX);
}

D3DXVECTOR3 RandomVector(float range) {
    return {Uniform(-range, range), Uniform(-range, range), Uniform(-range, range)};
}

D3DXVECTOR3 RandomDirection() {
    D3DXVECTOR3 v;
    do {
        v = RandomVector(1.0f);
    } while (D3DXVec3LengthSq(&v) < 0.01f);
    return *D3DXVec3Normalize(&v, &v);
}

BoundingBox UnitBox() {
    BoundingBox box({0, 0, 0}, {0.5f, 0.5f, 0.5f});
    box.Update();
    return box;
}

// Entry and exit parameters of the line origin + t * direction through the
// box [low, high]; nullopt when the line misses it.
std::optional<std::pair<float, float>> Slabs(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction,
                                             const D3DXVECTOR3& low, const D3DXVECTOR3& high) {
    float enter = -std::numeric_limits<float>::infinity(), exit = std::numeric_limits<float>::infinity();
    for (int axis = 0; axis < 3; ++axis) {
        if (std::fabs(direction[axis]) < 1e-9f) {
            if (origin[axis] < low[axis] || origin[axis] > high[axis])
                return std::nullopt;
            continue;
        }
        float t0 = (low[axis] - origin[axis]) / direction[axis];
        float t1 = (high[axis] - origin[axis]) / direction[axis];
        if (t0 > t1)
            std::swap(t0, t1);
        enter = std::max(enter, t0);
        exit = std::min(exit, t1);
    }
    if (enter > exit)
        return std::nullopt;
    return std::make_pair(enter, exit);
}

TEST(BoundingBox, ConstructionSetsTheWorldExtentAndIdentityMatrices) {
    const BoundingBox box({1, 2, 3}, {0.5f, 1, 2});
    EXPECT_EQ(box.worldMin, D3DXVECTOR3(0.5f, 1, 1));
    EXPECT_EQ(box.worldMax, D3DXVECTOR3(1.5f, 3, 5));
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_EQ(box.worldMatrix, identity);
    EXPECT_EQ(box.localMatrix, identity);
    EXPECT_EQ(box.frameMatrix, identity);
}

TEST(BoundingBox, UnitBoxPlanesPointOutward) {
    const BoundingBox box = UnitBox();
    const D3DXPLANE expected[6] = {{0, 0, -1, -0.5f}, {1, 0, 0, -0.5f},  {0, 1, 0, -0.5f},
                                   {-1, 0, 0, -0.5f}, {0, -1, 0, -0.5f}, {0, 0, 1, -0.5f}};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(box.planes[k], expected[k]) << "plane " << k;
    EXPECT_EQ(box.corners[0], D3DXVECTOR3(-0.5f, -0.5f, -0.5f));
    EXPECT_EQ(box.corners[6], D3DXVECTOR3(0.5f, 0.5f, 0.5f));
    EXPECT_EQ(box.worldMin, D3DXVECTOR3(-0.5f, -0.5f, -0.5f));
}

TEST(BoundingBox, RayFromAboveHitsTheTopFace) {
    const BoundingBox box = UnitBox();
    float distance = 100.0f;
    D3DXPLANE plane;
    ASSERT_TRUE(box.IntersectRay({0, 0, 5}, {0, 0, -1}, distance, plane));
    EXPECT_FLOAT_EQ(distance, 4.5f);
    EXPECT_EQ(plane, box.planes[5]);

    // A nearer hit already found is kept.
    distance = 4.0f;
    plane = {9, 9, 9, 9};
    EXPECT_FALSE(box.IntersectRay({0, 0, 5}, {0, 0, -1}, distance, plane));
    EXPECT_EQ(distance, 4.0f);
    EXPECT_EQ(plane, D3DXPLANE(9, 9, 9, 9));
}

TEST(BoundingBox, RayFromInsideAnUnmirroredBoxFindsNoHit) {
    const BoundingBox box = UnitBox();
    float distance = 100.0f;
    D3DXPLANE plane;
    EXPECT_FALSE(box.IntersectRay({0, 0, 0.2f}, {0, 0, -1}, distance, plane));
    EXPECT_EQ(distance, 100.0f);
}

TEST(BoundingBox, OriginInsideAMirroredBoxHitsAtZero) {
    BoundingBox box({0, 0, 0}, {0.5f, 0.5f, 0.5f});
    D3DXMatrixScaling(&box.worldMatrix, -1, 1, 1);
    box.Update();
    float distance = 100.0f;
    D3DXPLANE plane(7, 7, 7, 7);
    EXPECT_TRUE(box.IntersectRay({0.1f, 0, 0}, {0, 0, 1}, distance, plane));
    EXPECT_EQ(distance, 0.0f);
    EXPECT_EQ(plane, D3DXPLANE(7, 7, 7, 7));
}

TEST(BoundingBox, TinyZeroAndNaNHalfSizesAreClamped) {
    BoundingBox box({0, 0, 0}, {0, std::nanf(""), -2});
    box.Update();
    EXPECT_EQ(box.halfSize, D3DXVECTOR3(0.001f, 0.001f, 0.001f));
    EXPECT_EQ(box.worldMax, D3DXVECTOR3(0.001f, 0.001f, 0.001f));
}

TEST(BoundingBox, RaysAgreeWithASlabOracleUnderRandomPlacements) {
    PlatSRand(1109);
    int hits = 0, checked = 0;
    for (int round = 0; round < 2000; ++round) {
        BoundingBox box(RandomVector(2), {Uniform(0.1f, 3), Uniform(0.1f, 3), Uniform(0.1f, 3)});
        D3DXMATRIX rotation, translation, scaling;
        const D3DXVECTOR3 axis = RandomDirection();
        D3DXMatrixRotationAxis(&rotation, &axis, Uniform(-3.1f, 3.1f));
        D3DXMatrixScaling(&scaling, Uniform(0.5f, 2), Uniform(0.5f, 2), Uniform(0.5f, 2));
        const D3DXVECTOR3 offset = RandomVector(10);
        D3DXMatrixTranslation(&translation, offset.x, offset.y, offset.z);
        box.worldMatrix = scaling * rotation * translation;
        box.Update();

        // The ray aims near the box, in the box's space for the oracle.
        const D3DXVECTOR3 origin = offset + RandomVector(12);
        D3DXVECTOR3 target;
        const D3DXVECTOR3 localTarget = box.center + RandomVector(3);
        D3DXVec3TransformCoord(&target, &localTarget, &box.worldMatrix);
        D3DXVECTOR3 direction = target - origin;
        D3DXVec3Normalize(&direction, &direction);
        D3DXMATRIX inverse;
        ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &box.worldMatrix), nullptr);
        D3DXVECTOR3 localOrigin, localDirection;
        D3DXVec3TransformCoord(&localOrigin, &origin, &inverse);
        D3DXVec3TransformNormal(&localDirection, &direction, &inverse);
        const auto slabs =
            Slabs(localOrigin, localDirection, box.center - box.halfSize, box.center + box.halfSize);

        // Rays that graze an edge or a corner may go either way in floats.
        if (slabs && slabs->second - slabs->first < 1e-3f)
            continue;
        const float limit = Uniform(0, 40);
        const bool expectHit = slabs && slabs->first >= 0 && slabs->first < limit;
        float distance = limit;
        D3DXPLANE plane;
        ++checked;
        ASSERT_EQ(box.IntersectRay(origin, direction, distance, plane), expectHit) << "round " << round;
        if (expectHit) {
            ++hits;
            EXPECT_NEAR(distance, slabs->first, 1e-3f * std::max(1.0f, slabs->first)) << "round " << round;
            const D3DXVECTOR3 point = origin + distance * direction;
            EXPECT_NEAR(D3DXPlaneDotCoord(&plane, &point), 0.0f, 1e-2f) << "round " << round;
        } else {
            EXPECT_EQ(distance, limit);
        }
    }
    EXPECT_GT(checked, 1900);
    EXPECT_GT(hits, 300); // the cases cover both outcomes
    EXPECT_LT(hits, checked - 300);
}

TEST(GeometryFunctions, RayPlaneDistance) {
    const D3DXPLANE floor(0, 0, 1, 0);
    EXPECT_FLOAT_EQ(RayPlaneDistance({0, 0, 3}, {0, 0, -1}, floor), 3.0f);
    EXPECT_FLOAT_EQ(RayPlaneDistance({0, 0, 3}, {0, 0.6f, -0.8f}, floor), 3.75f);
    EXPECT_EQ(RayPlaneDistance({0, 0, 3}, {1, 0, 0}, floor), -1.0f);         // parallel
    EXPECT_EQ(RayPlaneDistance({0, 0, 3}, {0, 0, 1}, floor), -1.0f);         // along the normal
    EXPECT_FLOAT_EQ(RayPlaneDistance({0, 0, -2}, {0, 0, -1}, floor), -2.0f); // plane behind
}

TEST(GeometryFunctions, PointInTriangleInEachProjection) {
    const struct {
        const char* name;
        D3DXVECTOR3 a, b, c, inside, outside;
    } cases[] = {
        {"XY", {0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {1, 1, 0}, {3, 3, 0}},
        {"XZ", {0, 5, 0}, {4, 5, 0}, {0, 5, 4}, {1, 5, 1}, {3, 5, 3}},
        {"YZ", {2, 0, 0}, {2, 4, 0}, {2, 0, 4}, {2, 1, 1}, {2, 3, 3}},
        {"Tilted", {0, 0, 0}, {4, 0, 1}, {0, 4, 3}, {1, 1, 1}, {-1, 1, -0.25f}},
        {"Reversed", {0, 4, 0}, {4, 0, 0}, {0, 0, 0}, {1, 1, 0}, {3, 3, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(PointInTriangle(c.inside, c.a, c.b, c.c)) << c.name;
        EXPECT_FALSE(PointInTriangle(c.outside, c.a, c.b, c.c)) << c.name;
    }
}

TEST(GeometryFunctions, PointInTriangleWithVerticalEdges) {
    // a-b has equal u (x) in the XY view; it never counts, and no division by
    // zero decides anything.
    const D3DXVECTOR3 a(0, 0, 0), b(0, 1, 0), c(1, 0, 0);
    EXPECT_TRUE(PointInTriangle({0.2f, 0.2f, 0}, a, b, c));
    EXPECT_TRUE(PointInTriangle({0, 0.5f, 0}, a, b, c)); // on the vertical edge
    EXPECT_FALSE(PointInTriangle({-0.1f, 0.5f, 0}, a, b, c));
    EXPECT_FALSE(PointInTriangle({0.6f, 0.6f, 0}, a, b, c));
    // A triangle seen edge-on has only vertical edges: nothing is inside.
    EXPECT_FALSE(PointInTriangle({0, 0.5f, 0.5f}, {0, 0, 0}, {0, 1, 0}, {0, 1, 0}));
}

TEST(GeometryFunctions, PointInTriangleAgreesWithBarycentricCoordinates) {
    PlatSRand(23);
    int inside = 0;
    for (int round = 0; round < 3000; ++round) {
        const D3DXVECTOR3 a = RandomVector(5), b = RandomVector(5), c = RandomVector(5);
        const float u = Uniform(-0.5f, 1.5f), v = Uniform(-0.5f, 1.5f);
        const float w = 1 - u - v;
        const D3DXVECTOR3 point = w * a + u * b + v * c;
        const D3DXVECTOR3 ab = b - a, ac = c - a;
        D3DXVECTOR3 normal;
        D3DXVec3Cross(&normal, &ab, &ac);
        const float margin = 1e-3f;
        if (D3DXVec3Length(&normal) < 0.5f || std::fabs(std::min({u, v, w})) < margin)
            continue;
        const bool expected = u > 0 && v > 0 && w > 0;
        inside += expected;
        EXPECT_EQ(PointInTriangle(point, a, b, c), expected) << "round " << round;
    }
    EXPECT_GT(inside, 300);
}

TEST(GeometryFunctions, ClampedArcFunctionsNeverGiveNaN) {
    EXPECT_EQ(ClampedAcos(1.0000001f), 0.0f);
    EXPECT_FLOAT_EQ(ClampedAcos(-1.5f), D3DX_PI);
    EXPECT_FLOAT_EQ(ClampedAsin(-1.00001f), -D3DX_PI / 2);
    EXPECT_FLOAT_EQ(ClampedAsin(0.5f), std::asin(0.5f));
    EXPECT_FLOAT_EQ(ClampedAcos(0.5f), std::acos(0.5f));
}

AxisAlignedBox Box(const D3DXVECTOR3& min, const D3DXVECTOR3& max) {
    AxisAlignedBox box;
    box.min = min;
    box.max = max;
    box.UpdateCenter();
    return box;
}

// RotatedAxis against the plain rule, bit for bit: the product of the two
// rotations and the unit axis carried through it. Angles of 0, -0, quarter
// and half turns give entries of +0 and -0.
TEST(GeometryFunctions, RotatedAxisIsTheAxisThroughTheProduct) {
    const float angles[] = {0.0f, -0.0f, 0.3f, -1.2f, D3DX_PI / 2, -D3DX_PI / 2, D3DX_PI, 2.5f, 1e-20f};
    const D3DXVECTOR3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const D3DXVECTOR3 tiltAxis(0.6f, -0.48f, 0.64f);
    for (float a : angles)
        for (float b : angles) {
            D3DXMATRIX pitch, yaw, tilt;
            D3DXMatrixRotationY(&pitch, a);
            D3DXMatrixRotationZ(&yaw, b);
            D3DXMatrixRotationAxis(&tilt, &tiltAxis, a + b);
            const std::pair<const D3DXMATRIX&, const D3DXMATRIX&> pairs[] = {{pitch, yaw}, {yaw, tilt}};
            for (const auto& [first, second] : pairs) {
                const D3DXMATRIX product = first * second;
                for (int row = 0; row < 3; ++row) {
                    SCOPED_TRACE(testing::Message() << a << " " << b << " row " << row);
                    D3DXVECTOR3 expected;
                    D3DXVec3TransformCoord(&expected, &axes[row], &product);
                    const D3DXVECTOR3 rotated = RotatedAxis(first, second, row);
                    EXPECT_EQ(std::memcmp(&rotated, &expected, sizeof(expected)), 0);
                }
            }
        }
}

// QuaternionZAxis against the matrix's third row, bit for bit, for unit,
// scaled and signed-zero quaternions.
TEST(GeometryFunctions, QuaternionZAxisIsTheMatrixRow) {
    const D3DXQUATERNION quaternions[] = {
        {0, 0, 0, 1},
        {-0.0f, 0, -0.0f, 1},
        {0.7071068f, 0, 0, 0.7071068f},
        {0, -1, 0, 0},
        {0.1f, -0.5f, 0.3f, 0.8f},
        {2, 3, -4, 5},
        {1e-20f, -1e20f, 0.5f, -0.0f},
    };
    for (const D3DXQUATERNION& q : quaternions) {
        SCOPED_TRACE(testing::Message() << q.x << " " << q.y << " " << q.z << " " << q.w);
        D3DXMATRIX rotation;
        D3DXMatrixRotationQuaternion(&rotation, &q);
        const D3DXVECTOR3 expected(rotation._31, rotation._32, rotation._33);
        const D3DXVECTOR3 axis = QuaternionZAxis(q);
        EXPECT_EQ(std::memcmp(&axis, &expected, sizeof(expected)), 0);
    }
}

TEST(AxisAlignedBox, BuildingFromOrientedBoxes) {
    std::vector<BoundingBox> boxes = {BoundingBox({0, 0, 0}, {1, 1, 1}),
                                      BoundingBox({5, 0, 0}, {1, 2, 0.5f})};
    AxisAlignedBox box;
    box.FromBoxes(boxes);
    EXPECT_EQ(box.min, D3DXVECTOR3(-1, -2, -1));
    EXPECT_EQ(box.max, D3DXVECTOR3(6, 2, 1));
    EXPECT_EQ(box.center, D3DXVECTOR3(2.5f, 0, 0));
    EXPECT_EQ(box.half, D3DXVECTOR3(3.5f, 2, 1));

    box.FromBoxes({});
    EXPECT_EQ(box.min, D3DXVECTOR3(1e6f, 1e6f, 1e6f));
    EXPECT_EQ(box.max, D3DXVECTOR3(-1e6f, -1e6f, -1e6f));
    EXPECT_EQ(box.center, D3DXVECTOR3(2.5f, 0, 0)); // left as it was

    AxisAlignedBox fresh;
    fresh.FromBoxes({});
    EXPECT_EQ(fresh.center, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(fresh.half, D3DXVECTOR3(0, 0, 0));

    box.SetFromBox(boxes[1]);
    EXPECT_EQ(box.min, D3DXVECTOR3(4, -2, -0.5f));
    EXPECT_EQ(box.center, D3DXVECTOR3(5, 0, 0));
    box.Merge(Box({-1, -1, -1}, {0, 0, 3}));
    EXPECT_EQ(box.min, D3DXVECTOR3(-1, -2, -1));
    EXPECT_EQ(box.max, D3DXVECTOR3(6, 2, 3));
    EXPECT_EQ(box.center, D3DXVECTOR3(2.5f, 0, 1));
}

TEST(AxisAlignedBox, ContainmentIsStrictAndTouchingSpheresIntersect) {
    const AxisAlignedBox box = Box({-1, -1, -1}, {1, 1, 1});
    EXPECT_TRUE(box.Contains({0.99f, 0, -0.99f}));
    EXPECT_FALSE(box.Contains({1, 0, 0}));
    EXPECT_FALSE(box.Contains({0, -1, 0}));
    EXPECT_TRUE(box.IntersectsSphere({3, 0, 0}, 2));
    EXPECT_FALSE(box.IntersectsSphere({3, 0, 0}, 1.99f));
    EXPECT_TRUE(box.IntersectsSphere({4, 5, 1}, 5)); // 3-4-5 from the edge
    EXPECT_FALSE(box.IntersectsSphere({4, 5, 1}, 4.99f));
    EXPECT_TRUE(box.IntersectsSphere({0, 0, 0}, 0));
}

TEST(AxisAlignedBox, SegmentsAgreeWithASlabOracle) {
    PlatSRand(2024);
    int hits = 0, checked = 0;
    for (int round = 0; round < 600; ++round) {
        const D3DXVECTOR3 low = RandomVector(5);
        const AxisAlignedBox box =
            Box(low, low + D3DXVECTOR3(Uniform(0.1f, 4), Uniform(0.1f, 4), Uniform(0.1f, 4)));
        const D3DXVECTOR3 start = box.center + RandomVector(8);
        D3DXVECTOR3 direction = box.center + RandomVector(1.5f) - start;
        D3DXVec3Normalize(&direction, &direction);
        const float length = Uniform(0, 16);
        const auto slabs = Slabs(start, direction, box.min, box.max);
        const float near = slabs ? std::max(slabs->first, 0.0f) : 0,
                    far = slabs ? std::min(slabs->second, length) : 0;
        // Segments that end at or graze the box may go either way in floats.
        if (slabs && std::fabs(far - near) < 1e-3f)
            continue;
        ++checked;
        const bool expected = slabs && near < far;
        hits += expected;
        EXPECT_EQ(box.IntersectSegment(start, direction, length), expected) << "round " << round;
    }
    EXPECT_GT(checked, 550);
    EXPECT_GT(hits, 100);
    EXPECT_LT(hits, checked - 100);
}

TEST(AxisAlignedBox, ShadowCornersGrowTheBoxAndCornersAtInfinityAreLeftOut) {
    const D3DXMATRIX saved = g_ShadowMatrix;

    // A directional light along (0.5, 0, 1) onto the plane z = -2: the top
    // corners fall 3 units and move 1.5 units towards -x.
    const D3DXPLANE ground(0, 0, 1, 2);
    const D3DXVECTOR4 light(0.5f, 0, 1, 0);
    D3DXMatrixShadow(&g_ShadowMatrix, &light, &ground);
    AxisAlignedBox box = Box({0, 0, 0}, {1, 1, 1});
    box.ApplyShadowMatrix();
    EXPECT_NEAR(box.min.z, -2, 1e-5f);
    EXPECT_NEAR(box.min.x, -1.5f, 1e-5f);
    EXPECT_EQ(box.max, D3DXVECTOR3(1, 1, 1));
    EXPECT_EQ(box.center, D3DXVECTOR3(0.5f, 0.5f, 0.5f)); // not recomputed

    // w = z: the corners on z = 0 project to infinity and are skipped.
    g_ShadowMatrix = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0);
    box = Box({0, 0, 0}, {2, 2, 2});
    box.ApplyShadowMatrix();
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_TRUE(std::isfinite(box.min[axis]));
        EXPECT_TRUE(std::isfinite(box.max[axis]));
    }
    EXPECT_EQ(box.min, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(box.max, D3DXVECTOR3(2, 2, 2)); // (2, 2, 2) / 2 = (1, 1, 1) stays inside

    g_ShadowMatrix = saved;
}

} // namespace
