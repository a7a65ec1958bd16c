#pragma once

#include "Physics/Simulator/RbMatrix.h"

#include <cstdint>

struct RbTriangle;

enum ERbGeometryType : std::int32_t {
    RB_GEOMETRY_BOX = 3,
    RB_GEOMETRY_CYLINDER = 5,
    RB_GEOMETRY_TRIANGLES = 6,
};

// One collision shape of a body, placed by localTransform in the body's frame.
// Boxes have half extents (the fourth float holds the bounding radius);
// cylinders run along their local y axis and collide as capsules; a triangle
// set is the terrain near one body for one step, in world space.
struct RbGeometry {
    RbVector halfExtents;
    float radius = 0.0f;
    float radiusSquared = 0.0f;
    float halfHeight = 0.0f;
    RbMatrix4 localTransform;
    ERbGeometryType kind = RB_GEOMETRY_BOX;
    std::int32_t materialIndex = 0;
    const int* triangleIndices = nullptr;
    const int* triangleIndicesEnd = nullptr;
    const RbTriangle* const* triangleArray = nullptr;
    const RbVector* vertexArray = nullptr;
    // Triangles in the array; candidate numbers outside it are skipped.
    std::int32_t triangleCount = 0;
    // Whether the tests pass over the triangles out of the tested shape's
    // reach (RbReachBox). That never changes a result; it is off for a list
    // culled for the shape already, and to show that it changes nothing.
    bool cullTriangles = true;

    RbGeometry* poolNext = nullptr;
    RbGeometry* poolPrev = nullptr;
    std::uint8_t inUse = 0;

    RbGeometry() { Reset(); }

    // A 1 x 1 x 1 box with identity transform and material 0.
    void Reset();
    void SetBoxSize(float width, float height, float depth);
    void SetBoxSizeVector(const RbVector& sizes) { SetBoxSize(sizes.x, sizes.y, sizes.z); }
    void SetHalfExtents(const RbVector& half);
    void SetCylinder(float diameter, float height);
    void SetTransform(const RbMatrix4& transform) { localTransform = transform; }
    void SetMaterialIndex(int index) { materialIndex = index; }
    int GetMaterialIndex() const { return materialIndex; }
    ERbGeometryType GetKind() const { return kind; }
    void MakeTriangleSet(const int* indices, const int* indicesEnd, const RbTriangle* const* triangles,
                         const RbVector* vertices, int count);

    // The axis-aligned box of the shape in its body's frame.
    void GetLocalBox(RbVector& boxMin, RbVector& boxMax) const;
};
