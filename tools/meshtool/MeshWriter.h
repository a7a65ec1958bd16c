#pragma once

#include "Render/MeshFile.h"

#include <cstdint>
#include <string>
#include <vector>

// Writes mesh files in the layouts the engine reads (Render/MeshFile.h),
// exactly as described: counts are written from the vectors, so a file
// always reads back as it was given. Tests use it to build fixtures.
std::vector<uint8_t> WriteMeshFile(const MeshFile& file);

// A unit quad in the XY plane at z = 0 (4 vertices, 2 triangles), facing +Z,
// white, with texture coordinates over the unit square.
void MakeQuad(std::vector<MeshVertex>& vertices, std::vector<uint16_t>& indices);

// A node of that name holding the unit quad of MakeQuad.
MeshFileNode MakeQuadNode(const std::string& name);
