#pragma once

#include "Platform/Win32Types.h"

#include <cstdint>

// The vertex of all 3D geometry, as stored in mesh files and in every vertex
// buffer: position, normal, diffuse and specular colours (ARGB), two sets of
// texture coordinates. Indices are 16-bit triangle lists.
struct MeshVertex {
    float x, y, z;
    float nx, ny, nz;
    DWORD diffuse;
    DWORD specular;
    float u0, v0;
    float u1, v1;
};
static_assert(sizeof(MeshVertex) == 48);

// XYZ | NORMAL | DIFFUSE | SPECULAR | TEX2
inline constexpr DWORD MESH_VERTEX_FVF = 0x2D2;
