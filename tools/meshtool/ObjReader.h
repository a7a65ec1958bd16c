#pragma once

#include "Render/MeshVertex.h"

#include <cstdint>
#include <string>
#include <vector>

// One object ("o") or group ("g") of a Wavefront OBJ file as a triangle
// list: each distinct position/texture/normal triple is one vertex.
struct ObjGroup {
    std::string name;
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
};

// Reads the text of an OBJ file: "v", "vt", "vn", "o", "g" and "f" lines
// (faces of three or more corners "p", "p/t", "p//n" or "p/t/n", indices
// from 1 or negative from the end, polygons fanned from their first
// corner); every other line is ignored. Faces before any "o" or "g" belong
// to a group of `defaultName`; groups without faces are dropped. Positions
// and normals are kept as they stand, v becomes 1 - v, colours are white.
// False with `error` naming the line for a malformed line, an index out of
// range or a group of more than 65535 vertices.
bool ReadObj(const std::string& text, const std::string& defaultName, std::vector<ObjGroup>& groups,
             std::string& error);
