#pragma once

#include "Physics/Simulator/RbGeometry.h"
#include "Physics/Simulator/RbReachBox.h"
#include "Physics/Simulator/RbTriangle.h"

// One terrain triangle of a triangle set, gathered for the tests: vertices,
// edges (edge j from vertex j to vertex j + 1), unit normal and plane offset.
struct RbTriangleData {
    RbVector vertex[3];
    RbVector edge[3];
    RbVector normal;
    float offset = 0.0f;
    int material = 0;
    int mode = 0;
};

// Calls visit(data) for every candidate triangle of the set in list order.
// Candidate numbers outside the triangle array and triangles without a
// normal (doubled area below 0.001) are skipped: such a sliver has no plane to
// collide with, and would report contacts with a zero normal. So are, when the
// set culls, the triangles out of the tested shape's reach (already grown).
template <class Visit>
void RbForEachTriangle(const RbGeometry& set, const RbReachBox& reach, Visit visit) {
    if (!set.triangleArray || !*set.triangleArray || !set.vertexArray)
        return;
    const RbTriangle* triangles = *set.triangleArray;
    for (const int* index = set.triangleIndices; index != set.triangleIndicesEnd; ++index) {
        if (*index < 0 || *index >= set.triangleCount)
            continue;
        const RbTriangle& triangle = triangles[*index];
        const RbVector& v0 = set.vertexArray[triangle.vertex[0]];
        const RbVector& v1 = set.vertexArray[triangle.vertex[1]];
        const RbVector& v2 = set.vertexArray[triangle.vertex[2]];
        if (set.cullTriangles && reach.Excludes(v0, v1, v2))
            continue;
        RbTriangleData data;
        data.vertex[0] = v0;
        data.vertex[1] = v1;
        data.vertex[2] = v2;
        for (int j = 0; j < 3; ++j)
            data.edge[j] = data.vertex[(j + 1) % 3] - data.vertex[j];
        data.normal = RbSafeNormalise(RbCross(data.edge[0], data.edge[1]));
        if (RbLengthSquared(data.normal) == 0.0f)
            continue;
        data.offset = RbDot(data.normal, data.vertex[0]);
        data.material = triangle.material;
        data.mode = triangle.mode;
        visit(data);
    }
}
