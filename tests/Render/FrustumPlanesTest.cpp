#include "Render/FrustumPlanes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

using Planes = D3DXPLANE[FrustumPlanes::kPlaneCount];

// The rule the one-corner tests must agree with: a plane hides the box when
// none of its eight corners lies strictly inside it.
bool AnyCornerInside(const D3DXPLANE& plane, const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax) {
    for (int corner = 0; corner < 8; ++corner) {
        const D3DXVECTOR3 p((corner & 1) ? boxMax.x : boxMin.x, (corner & 2) ? boxMax.y : boxMin.y,
                            (corner & 4) ? boxMax.z : boxMin.z);
        if (D3DXPlaneDotCoord(&plane, &p) > 0)
            return true;
    }
    return false;
}

// Checks MeetsBox against the eight-corner rule.
void ExpectSameAsEveryCorner(const Planes& planes, const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax) {
    bool meets = true;
    for (const D3DXPLANE& plane : planes)
        meets = meets && AnyCornerInside(plane, boxMin, boxMax);
    EXPECT_EQ(FrustumPlanes(planes).MeetsBox(boxMin, boxMax), meets);
}

// The unit cube's faces, pointing inward; values of 0 are exact.
constexpr Planes kCube = {{1, 0, 0, 0},  {-1, 0, 0, 1}, {0, 1, 0, 0},
                          {0, -1, 0, 1}, {0, 0, 1, 0},  {0, 0, -1, 1}};

} // namespace

TEST(FrustumPlanes, BoxesOnTheBoundariesAnswerAsEveryCornerWould) {
    struct Case {
        const char* name;
        D3DXVECTOR3 boxMin;
        D3DXVECTOR3 boxMax;
        bool meets;
    };
    const float tiny = std::numeric_limits<float>::denorm_min();
    const Case cases[] = {
        {"touching a face from outside", {1, 0, 0}, {2, 1, 1}, false},
        {"touching at one corner", {-1, -1, -1}, {0, 0, 0}, false},
        {"touching along an edge", {-1, -1, 0}, {0, 0, 1}, false},
        {"lying flat in a face", {0, 0, 0}, {0, 1, 1}, false},
        {"a point on a corner", {1, 1, 1}, {1, 1, 1}, false},
        {"a point inside", {0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}, true},
        {"reaching just inside", {-1, -1, -1}, {0.01f, 0.01f, 0.01f}, true},
        {"reaching the smallest step inside", {-1, -1, -1}, {tiny, tiny, tiny}, true},
        {"the cube itself", {0, 0, 0}, {1, 1, 1}, true},
        {"around the cube", {-5, -5, -5}, {5, 5, 5}, true},
        {"inverted, min above max", {0.75f, 0.75f, 0.75f}, {0.25f, 0.25f, 0.25f}, true},
        {"inverted across a face", {2, 0.5f, 0.5f}, {0.5f, 0.75f, 0.75f}, true},
        {"inverted outside", {3, 0.5f, 0.5f}, {2, 0.75f, 0.75f}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FrustumPlanes(kCube).MeetsBox(c.boxMin, c.boxMax), c.meets);
        ExpectSameAsEveryCorner(kCube, c.boxMin, c.boxMax);
    }
}

TEST(FrustumPlanes, PlanesWithZeroOrNanCoefficientsAnswerAsEveryCornerWould) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Planes planes = {{0, 0, 0, 1},  {-0.0f, 0, 0, 1}, {0, 1, 0, 0},
                     {0, -1, 0, 1}, {0, 0, 1, 0},     {0, 0, -1, 1}};
    const D3DXVECTOR3 boxes[][2] = {{{-3, 0.25f, 0.25f}, {-2, 0.75f, 0.75f}}, {{0, 1, 0}, {1, 2, 1}}};
    for (const auto& box : boxes)
        ExpectSameAsEveryCorner(planes, box[0], box[1]);
    planes[2] = {nan, 1, 0, 0};
    for (const auto& box : boxes) {
        ExpectSameAsEveryCorner(planes, box[0], box[1]);
        EXPECT_FALSE(FrustumPlanes(planes).MeetsBox(box[0], box[1])) << "a plane of NaN hides everything";
    }
}

// Tilted planes whose values round: boxes near each plane, with corners a
// few units in the last place either side of it.
TEST(FrustumPlanes, BoxesGrazingTiltedPlanesAnswerAsEveryCornerWould) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(-1, 1);
    std::uniform_int_distribution<int> ulps(-3, 3);
    for (int round = 0; round < 2000; ++round) {
        Planes planes;
        for (D3DXPLANE& plane : planes)
            plane = {unit(random), unit(random), unit(random), 100 * unit(random)};
        // A corner placed on the first plane, then moved a few steps.
        const D3DXPLANE& first = planes[0];
        D3DXVECTOR3 onPlane(unit(random) * 50, unit(random) * 50, 0);
        onPlane.z = -(first.a * onPlane.x + first.b * onPlane.y + first.d) / first.c;
        for (float* coordinate : {&onPlane.x, &onPlane.y, &onPlane.z}) {
            for (int step = ulps(random); step != 0; step += step > 0 ? -1 : 1)
                *coordinate = std::nextafter(*coordinate, step > 0 ? INFINITY : -INFINITY);
        }
        const D3DXVECTOR3 size(std::fabs(unit(random)) * 10, std::fabs(unit(random)) * 10,
                               std::fabs(unit(random)) * 10);
        SCOPED_TRACE(round);
        ExpectSameAsEveryCorner(planes, onPlane, onPlane + size);
        ExpectSameAsEveryCorner(planes, onPlane - size, onPlane);
    }
}
