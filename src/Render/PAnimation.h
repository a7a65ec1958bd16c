#pragma once

#include "Core/BoundingBox.h"
#include "Core/PObject.h"
#include "Render/MeshFile.h"

#include <string>
#include <vector>

// Stands in for the vertex-frame animation until the vertex animations land:
// it keeps the frames of one node of a mesh file, their frame time and the
// box over every vertex of every frame.
class CPAnimation : public CPObject {
public:
    CPAnimation() : bounds(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 0)) {}

    // Takes the node's frames with every vertex's diffuse colour replaced.
    // Frames without vertices leave the box empty at the origin.
    void Load(const MeshFileNode& node, DWORD diffuse);

    size_t GetSize() const override { return sizeof(CPAnimation); }
    std::string GetClassName() const override { return "CPAnimation"; }

    std::vector<MeshFrame> frames;
    float frameTime = 0;
    BoundingBox bounds;
};
