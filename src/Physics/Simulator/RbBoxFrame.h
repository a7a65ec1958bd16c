#pragma once

#include "Physics/Simulator/RbGeometry.h"

// A box placed in the world for the box-box test: its transform and its three
// world axes scaled by the half extents.
struct RbBoxFrame {
    const RbGeometry& box;
    const RbMatrix4& transform;
    RbVector scaledAxes[3];

    RbBoxFrame(const RbGeometry& g, const RbMatrix4& t) : box(g), transform(t) {
        for (int k = 0; k < 3; ++k)
            scaledAxes[k] = t.row[k] * g.halfExtents[k];
    }

    const RbVector& Centre() const { return transform.row[3]; }
    const RbVector& Axis(int k) const { return transform.row[k]; }
};
