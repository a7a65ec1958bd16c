#include "Physics/Simulator/RbGeometry.h"

#include <cmath>

void RbGeometry::Reset() {
    SetBoxSize(1.0f, 1.0f, 1.0f);
    localTransform = RbMatrix4();
    materialIndex = 0;
}

void RbGeometry::SetBoxSize(float width, float height, float depth) {
    SetHalfExtents({width * 0.5f, height * 0.5f, depth * 0.5f});
}

void RbGeometry::SetHalfExtents(const RbVector& half) {
    kind = RB_GEOMETRY_BOX;
    halfExtents = {half.x, half.y, half.z, RbSafeLength(half)};
}

void RbGeometry::SetCylinder(float diameter, float height) {
    kind = RB_GEOMETRY_CYLINDER;
    radius = diameter * 0.5f;
    radiusSquared = radius * radius;
    halfHeight = height * 0.5f;
}

void RbGeometry::MakeTriangleSet(const int* indices, const int* indicesEnd,
                                 const RbTriangle* const* triangles, const RbVector* vertices, int count) {
    kind = RB_GEOMETRY_TRIANGLES;
    triangleIndices = indices;
    triangleIndicesEnd = indicesEnd;
    triangleArray = triangles;
    vertexArray = vertices;
    triangleCount = count;
}

void RbGeometry::GetLocalBox(RbVector& boxMin, RbVector& boxMax) const {
    const RbVector* r = localTransform.row;
    const RbVector& centre = localTransform.row[3];
    for (int i = 0; i < 3; ++i) {
        float extent;
        if (kind == RB_GEOMETRY_CYLINDER)
            extent = (std::fabs(r[0][i]) + std::fabs(r[2][i])) * radius +
                     std::fabs(r[1][i]) * (halfHeight + radius);
        else
            extent = std::fabs(r[0][i]) * halfExtents.x + std::fabs(r[1][i]) * halfExtents.y +
                     std::fabs(r[2][i]) * halfExtents.z;
        boxMin[i] = centre[i] - extent;
        boxMax[i] = centre[i] + extent;
    }
}
