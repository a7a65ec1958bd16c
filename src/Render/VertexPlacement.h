#pragma once

#include "Platform/D3DX9Math.h"
#include "Render/MeshVertex.h"

// Writes the source's position times the matrix (row vector with w = 1,
// translation included) and its normal times the 3x3 part (not
// renormalised) into the target; the target's other members stay.
inline void PlaceVertex(const MeshVertex& source, const D3DXMATRIX& m, MeshVertex& target) {
    const float x = source.x, y = source.y, z = source.z;
    target.x = x * m._11 + y * m._21 + z * m._31 + m._41;
    target.y = x * m._12 + y * m._22 + z * m._32 + m._42;
    target.z = x * m._13 + y * m._23 + z * m._33 + m._43;
    const float nx = source.nx, ny = source.ny, nz = source.nz;
    target.nx = nx * m._11 + ny * m._21 + nz * m._31;
    target.ny = nx * m._12 + ny * m._22 + nz * m._32;
    target.nz = nx * m._13 + ny * m._23 + nz * m._33;
}
