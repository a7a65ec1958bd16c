#include "../PhysicsScenes.h"
#include "Kernels.h"
#include "Physics/Simulator/RbQuaternion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

float Length(const RbVector& v) {
    return std::sqrt(RbLengthSquared(v));
}

// How far one library's answers are from ours over a set of cases.
struct Agreement {
    const char* library;
    int bothHit = 0;
    int onlyOurs = 0;
    int onlyTheirs = 0;
    float depth = 0, normal = 0, point = 0; // largest differences

    void Count(bool ours, bool theirs) {
        bothHit += ours && theirs;
        onlyOurs += ours && !theirs;
        onlyTheirs += theirs && !ours;
    }
    void Differ(float ours, float theirs, const RbVector& n, const RbVector& p = {}) {
        depth = std::max(depth, std::abs(ours - theirs));
        normal = std::max(normal, Length(n));
        point = std::max(point, Length(p));
    }
    void PrintCounts() const {
        std::printf("  %-7s both hit %3d, only ours %d, only %s %d;", library, bothHit, onlyOurs, library,
                    onlyTheirs);
    }
    void PrintDifferences() const {
        std::printf(" max |depth diff| %.2e, max |normal diff| %.2e", depth, normal);
    }
};

// Box pairs where the two kernels pick the same separating axis are compared
// number for number; where they pick different axes, only which is shallower.
struct BoxAgreement : Agreement {
    int otherAxis = 0;
    int oursShallower = 0;
    float largestRatio = 1; // their depth over ours where the axes differ

    void Compare(const BoxContact& ours, const BoxContact& theirs) {
        Count(ours.hit, theirs.hit);
        if (!ours.hit || !theirs.hit)
            return;
        if (Length(ours.normal - theirs.normal) < 1e-3f) {
            Differ(ours.depth, theirs.depth, ours.normal - theirs.normal);
            return;
        }
        ++otherAxis;
        oursShallower += ours.depth < theirs.depth;
        largestRatio = std::max(largestRatio, theirs.depth / ours.depth);
    }
    void Print() const {
        PrintCounts();
        std::printf("\n          same axis %d:", bothHit - otherAxis);
        PrintDifferences();
        std::printf(";\n          other axis %d, ours the shallower in %d, their depth at most %.4f x ours\n",
                    otherAxis, oursShallower, largestRatio);
    }
};

RbVector RandomPoint(float half, float low, float high) {
    float x = SceneRandom(-half, half), y = SceneRandom(-half, half);
    return {x, y, SceneRandom(low, high)};
}

// Terrain faces up: counter-clockwise seen from above, sloping by at most 60
// degrees.
void RandomTerrainTriangle(RbVector triangle[3]) {
    for (;;) {
        for (int i = 0; i < 3; ++i)
            triangle[i] = RandomPoint(5, -1, 1);
        RbVector normal = RbCross(triangle[1] - triangle[0], triangle[2] - triangle[0]);
        if (normal.z < 0) {
            std::swap(triangle[1], triangle[2]);
            normal = -normal;
        }
        if (normal.z >= 0.5f * Length(normal))
            return;
    }
}

// A segment aimed at a point of the triangle's plane near the triangle
// (inside or up to 15% of an edge outside), ending below the plane.
void RandomSegment(const RbVector triangle[3], RbVector& start, RbVector& line) {
    float u = SceneRandom(-0.15f, 1), v = SceneRandom(-0.15f, 1);
    RbVector target = triangle[0] + (triangle[1] - triangle[0]) * u + (triangle[2] - triangle[0]) * v;
    float dx = SceneRandom(-0.4f, 0.4f), dy = SceneRandom(-0.4f, 0.4f);
    line = RbVector{dx, dy, -1} * SceneRandom(1, 3);
    start = target - line * SceneRandom(0.2f, 0.9f);
}

void RayTriangleCases(int cases) {
    Agreement bullet{"Bullet"}, ode{"ODE"};
    PlatSRand(11);
    for (int i = 0; i < cases; ++i) {
        RbVector triangle[3];
        RandomTerrainTriangle(triangle);
        RbVector start, line;
        RandomSegment(triangle, start, line);
        RayHit ours = OurRayTriangle(triangle, start, line);
        for (auto [agreement, kernel] :
             {std::pair{&bullet, &BulletRayTriangle}, std::pair{&ode, &OdeRayTriangle}}) {
            RayHit theirs = kernel(triangle, start, line);
            agreement->Count(ours.hit, theirs.hit);
            if (ours.hit && theirs.hit)
                agreement->Differ(ours.depth, theirs.depth, ours.normal - theirs.normal,
                                  ours.point - theirs.point);
        }
    }
    std::printf(
        "Line sensor against one terrain triangle (vertices in [-5, 5]^2 x [-1, 1], sloping at most 60\n"
        "degrees), %d seeded cases: segments of 1 to 3 m pointing down at up to 30 degrees, aimed\n"
        "inside the triangle or just outside an edge; depth = length beyond the surface:\n",
        cases);
    for (const Agreement* agreement : {&bullet, &ode}) {
        agreement->PrintCounts();
        agreement->PrintDifferences();
        std::printf(", max |point diff| %.2e\n", agreement->point);
    }
}

BoxPose RandomBox(const RbVector& centre) {
    float x = SceneRandom(0.2f, 1), y = SceneRandom(0.2f, 1);
    BoxPose box{{x, y, SceneRandom(0.2f, 1)}, {}};
    float qx = SceneRandom(-1, 1), qy = SceneRandom(-1, 1), qz = SceneRandom(-1, 1);
    RbMatrix3 r = RbQuaternionToRotation(RbNormaliseQuaternion({qx, qy, qz, SceneRandom(-1, 1)}));
    for (int i = 0; i < 3; ++i)
        box.transform.row[i] = r.row[i];
    box.transform.SetPosition(centre);
    return box;
}

void BoxBoxCases(int cases) {
    BoxAgreement bullet{{"Bullet"}}, ode{{"ODE"}};
    PlatSRand(12);
    for (int i = 0; i < cases; ++i) {
        BoxPose a = RandomBox({});
        BoxPose b = RandomBox(RandomPoint(1.5f, -1.5f, 1.5f));
        BoxContact ours = OurBoxBox(a, b);
        bullet.Compare(ours, BulletBoxBox(a, b));
        ode.Compare(ours, OdeBoxBox(a, b));
    }
    std::printf(
        "Box against box, deepest contact only (depth, normal from B toward A), %d seeded cases\n"
        "(half extents 0.2 to 1, random rotations, B's centre within 1.5 of A's on each axis); Bullet's\n"
        "btBoxBoxDetector is a port of ODE's dBoxBox; \"same axis\": normals within 1e-3:\n",
        cases);
    bullet.Print();
    ode.Print();
}

} // namespace

void PrintKernelAgreement(int cases) {
    RayTriangleCases(cases);
    BoxBoxCases(cases);
}
