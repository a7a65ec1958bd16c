#pragma once

#include "Render/MeshVertex.h"

// A per-vertex effect applied to a mesh while it is written into the frame's
// buffers (texture animation, flicker, fading ...). The kinds are built from
// object descriptions.
class CPVertexEffect {
public:
    CPVertexEffect() = default;
    virtual ~CPVertexEffect() = default;
    CPVertexEffect(const CPVertexEffect&) = delete;
    CPVertexEffect& operator=(const CPVertexEffect&) = delete;

    // Writes `count` vertices to `destination` from `source` (which may be
    // the destination itself).
    virtual void Apply(MeshVertex* destination, const MeshVertex* source, int count) = 0;
    virtual CPVertexEffect* Clone() const = 0;
};
