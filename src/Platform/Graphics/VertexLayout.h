#pragma once

#include "Platform/Win32Types.h"

// Where each element of a flexible vertex format sits in one vertex, in the
// order the format's bits define: position, normal, diffuse, specular,
// texture coordinate sets. Absent elements have offset -1.
struct PlatVertexLayout {
    UINT stride = 0;
    int positionComponents = 0; // 3 (XYZ) or 4 (XYZRHW, pre-transformed)
    int normalOffset = -1;
    int diffuseOffset = -1;
    int specularOffset = -1;
    int texCoordOffset[2] = {-1, -1};
    int texCoordSets = 0;

    bool IsPretransformed() const { return positionComponents == 4; }

    // False when the format has no position or more texture sets than the
    // fixed-function emulation reads.
    static bool FromFvf(DWORD fvf, PlatVertexLayout* layout);
};

// The vertices (or indices) a draw of primitiveCount primitives reads.
UINT PlatPrimitiveVertexCount(DWORD primitiveType, UINT primitiveCount);
