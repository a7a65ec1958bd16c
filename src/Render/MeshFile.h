#pragma once

#include "Platform/D3DX9Math.h"
#include "Render/MeshVertex.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The binary mesh files of Data\Meshes: a tree of named nodes, little-endian,
// names in 260-byte fields, vertices as 48-byte MeshVertex records and
// 16-bit triangle-list indices. Three node layouts exist:
// - Static (files not ending in "p3d"): int32 (ignored), name, vertices,
//   indices, part boxes (96-byte records: centre in floats 0-2, half size in
//   floats 4-6), children;
// - Physics (files ending in "p3d"): int32 (ignored), name, position,
//   rotation, body shape, vertices, indices, collision shapes, children;
// - Animation (the files of an "anim" description): name, a 28-byte
//   transform, body shape, bounds shape, vertex frames, shapes, children.
// Static and Physics files start with an int32 and the root count, and may
// end with a trailing block (int32 count, then count entries of a counted
// string and 12 floats); Animation files start with two int32 and hold one
// root node.

enum class EMeshFileFormat { Static, Physics, Animation };

inline constexpr int kMeshNameSize = 260;
inline constexpr int kMeshShapeSize = 52;
inline constexpr int kMeshPartBoxSize = 96;
// Deeper trees are refused rather than read by ever deeper recursion.
inline constexpr int kMaxMeshDepth = 64;

// A body, bounds or collision shape: kind 0 box, 1 cylinder.
struct MeshShape {
    int32_t kind = 0;
    float size1 = 0, size2 = 0, size3 = 0;
    D3DXVECTOR3 position;
    D3DXQUATERNION rotation{0, 0, 0, 1};
    float diameter = 0;
    float mass = 0;
};

struct MeshPartBox {
    D3DXVECTOR3 center;
    D3DXVECTOR3 halfSize;
};

struct MeshFrame {
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
};

struct MeshFileNode {
    std::string name;
    // Physics and Animation layouts.
    D3DXVECTOR3 position;
    D3DXQUATERNION rotation{0, 0, 0, 1};
    MeshShape body;
    // Animation layout.
    MeshShape bounds;
    // Static and Physics layouts.
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
    // Static layout.
    std::vector<MeshPartBox> partBoxes;
    // Physics and Animation layouts.
    std::vector<MeshShape> shapes;
    // Animation layout: frame time in units of 1/2400 s.
    float frameTime = 0;
    std::vector<MeshFrame> frames;
    std::vector<MeshFileNode> children;
};

struct MeshTrailingEntry {
    std::string name;
    // A 4x3 matrix stored column by column.
    float matrix[12] = {};
};

struct MeshFile {
    EMeshFileFormat format = EMeshFileFormat::Static;
    int32_t header = 0;
    // The second ignored int32 of an Animation file.
    int32_t header2 = 0;
    std::vector<MeshFileNode> roots;
    bool hasTrailingBlock = false;
    std::vector<MeshTrailingEntry> trailing;
};

// Static unless the name ends in "p3d" (any case).
EMeshFileFormat MeshFileFormatFor(const std::string& fileName);

// Reads a whole file. Every count and length is checked against the bytes
// that remain: a negative or oversized count, a truncated record, bytes
// left that do not form a trailing block or a tree deeper than
// kMaxMeshDepth make it false with `error` saying where. Names end at their
// first NUL (or after 260 bytes). Triangles naming a vertex the node (or
// frame) does not have are dropped, and so are indices that do not fill a
// triangle.
bool ReadMeshFile(const uint8_t* data, std::size_t size, EMeshFileFormat format, MeshFile& file,
                  std::string& error);
