#pragma once

#include "Core/BoundingBox.h"
#include "Render/MeshVertex.h"

#include <vector>

// One dentable region of a vehicle body: groups of coincident vertices (each
// a vertex inside the object-space vertices of the body mesh or one of its
// sub-meshes), the region's box and the damage it has taken. The meshes'
// vertex arrays must not be reallocated while the part exists.
struct DeformPart {
    std::vector<std::vector<MeshVertex*>> groups;
    // Identity local matrix; the world matrix follows the owner until the
    // part is fully damaged.
    BoundingBox box{D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 0)};
    float damage = 0;
};
