#pragma once

#include "Render/MeshFile.h"
#include "meshtool/ObjReader.h"

#include <string>
#include <vector>

// What a model description adds to an OBJ file: the names of the files to
// write, and per node its parent, its material and its boxes.
struct ModelNodeSpec {
    std::string name;
    std::string parent;
    std::string effect;
    std::vector<std::string> textures;
    std::vector<MeshPartBox> boxes;
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
// base in the physics layout). False with `error` for a node or parent that
// names no group, or a cycle of parents.
bool BuildMeshFile(const std::vector<ObjGroup>& groups, const ModelSpec& model, MeshFile& file,
                   std::string& error);

// The object description of the model: its mesh file, then a section per
// node with a material.
std::string BuildObjectDescription(const ModelSpec& model);

// The node tree of a read mesh file, one line per node, part box, shape and
// trailing entry, indented by depth.
std::string DumpMeshFile(const MeshFile& file);
