#pragma once

#include "Render/MeshFile.h"
#include "meshtool/ObjReader.h"

#include <string>
#include <vector>

// What a model description adds to an OBJ file: the names of the files to
// write, and per node its parent, its material and its boxes, and in a
// physics layout its place in its parent and its body record.
struct ModelNodeSpec {
    std::string name;
    std::string parent;
    std::string effect;
    std::vector<std::string> textures;
    std::vector<MeshPartBox> boxes;
    D3DXVECTOR3 position;
    D3DXQUATERNION rotation{0, 0, 0, 1};
    // Sizes along x, y and z, and the mass; no body when the mass is 0.
    D3DXVECTOR3 bodySize;
    float bodyMass = 0.0f;
    // Whether a position, rotation or body line was given.
    bool placed = false;
};

struct ModelSpec {
    std::string meshFile;
    std::string descriptionFile;
    std::vector<ModelNodeSpec> nodes;
};

// Reads a model description (see the README): false with `error` naming
// the line for an unknown keyword, a missing value or a bad number.
bool ReadModelSpec(const std::string& text, ModelSpec& model, std::string& error);

// Builds the mesh file: one node per OBJ group, hung below its parent, with
// its boxes (part boxes in the static layout; box shapes standing on their
// base in the physics layout). The OBJ and the boxes are in model space; in
// the physics layout each node's vertices and box centres are moved into the
// node's own frame (its position and rotation within its parent's). False
// with `error` for a node or parent that names no group, a cycle of parents,
// or a position, rotation or body in the static layout.
bool BuildMeshFile(const std::vector<ObjGroup>& groups, const ModelSpec& model, MeshFile& file,
                   std::string& error);

// The object description of the model: its mesh file, then a section per
// node with a material.
std::string BuildObjectDescription(const ModelSpec& model);

// The node tree of a read mesh file, one line per node, part box, shape and
// trailing entry, indented by depth.
std::string DumpMeshFile(const MeshFile& file);
