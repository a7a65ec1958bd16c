#pragma once

#include "Physics/Simulator/RbVector.h"

// Closest points of the two lines through segments P1-P2 and P3-P4.
struct RbSegmentPoints {
    float mua = 0.0f;
    float mub = 0.0f;
    RbVector pointA;
    RbVector pointB;
    float distance = 0.0f;
    // Both parameters in [0, 1): the points lie on the segments themselves.
    bool inside = false;
};

// False (inside false) for a degenerate segment or parallel lines.
bool RbSegmentClosestPoints(const RbVector& p1, const RbVector& p2, const RbVector& p3, const RbVector& p4,
                            RbSegmentPoints& out);

// The closest points of a segment (p1 to p2) and a box of the given half
// extents, all in the box's frame.
void RbSegmentBoxClosestPoints(const RbVector& p1, const RbVector& p2, const RbVector& halfExtents,
                               RbVector& segmentPoint, RbVector& boxPoint);
