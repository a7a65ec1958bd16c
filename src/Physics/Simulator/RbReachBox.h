#pragma once

#include "Physics/Simulator/RbFloats.h"
#include "Physics/Simulator/RbGeometry.h"
#include "Physics/Simulator/RbTriangleBounds.h"

#include <algorithm>
#include <cmath>

// A world-axis box around what a shape can touch: a box, a capsule or a line
// sensor where it stands now. A terrain triangle whose three vertices all lie
// beyond one face of the box, grown by a margin, can be neither hit nor
// touched by the shape, so the triangle loops pass over it without gathering
// its data. The margin, 1 cm plus 1e-5 of the largest coordinate, stays well
// above the float rounding of the pair tests, also far from the origin.
// NaN anywhere rules nothing out.
class RbReachBox {
public:
    static constexpr float Margin = 0.01f;
    static constexpr float RelativeMargin = 1e-5f;

    // An empty box, which the first Include replaces.
    RbReachBox() = default;

    // The segment from start to end.
    static RbReachBox Segment(const RbVector& start, const RbVector& end) {
        RbReachBox reach;
        reach.Include(start, start);
        reach.Include(end, end);
        return reach;
    }

    // A box or capsule geometry placed by transform (a triangle set reaches
    // nowhere).
    static RbReachBox Shape(const RbGeometry& shape, const RbMatrix4& transform) {
        RbReachBox reach;
        const RbVector* r = transform.row;
        if (shape.kind == RB_GEOMETRY_BOX) {
            RbVector extent;
            for (int i = 0; i < 3; ++i)
                extent[i] = std::fabs(r[0][i] * shape.halfExtents.x) +
                            std::fabs(r[1][i] * shape.halfExtents.y) +
                            std::fabs(r[2][i] * shape.halfExtents.z);
            reach.Include(r[3] - extent, r[3] + extent);
        } else if (shape.kind == RB_GEOMETRY_CYLINDER) {
            RbVector top = r[3] + r[1] * shape.halfHeight, bottom = r[3] - r[1] * shape.halfHeight;
            float radius = std::fabs(shape.radius);
            RbVector round(radius, radius, radius);
            reach.Include(top - round, top + round);
            reach.Include(bottom - round, bottom + round);
        }
        return reach;
    }

    void Include(const RbVector& low, const RbVector& high) { Include(Load(low), Load(high), Masks{}); }
    void Include(const RbReachBox& other) {
        if (!other.empty)
            Include(other.lo, other.hi, other.nan);
    }

    // Adds the margin; Excludes answers for the grown box. An empty box, or
    // one that met NaN, grows to everything.
    RbReachBox Grown() const {
        RbReachBox grown;
        grown.empty = false;
        if (empty || (nan[0] | nan[1] | nan[2])) {
            grown.lo = Floats{-INFINITY, -INFINITY, -INFINITY, -INFINITY};
            grown.hi = Floats{INFINITY, INFINITY, INFINITY, INFINITY};
            return grown;
        }
        float largest = 0.0f;
        for (int i = 0; i < 3; ++i)
            largest = std::max(largest, std::max(std::fabs(lo[i]), std::fabs(hi[i])));
        const float margin = Margin + RelativeMargin * largest;
        grown.lo = lo - margin;
        grown.hi = hi + margin;
        // The fourth floats then rule nothing out, whatever a vertex holds
        // there, and Excludes may look at all four lanes.
        grown.lo[3] = -INFINITY;
        grown.hi[3] = INFINITY;
        return grown;
    }

    // True when the triangle a b c lies wholly beyond one face of a grown
    // box. The three axes are compared at once, four floats to a register,
    // without branches: most candidates are decided by their first compare,
    // but not predictably. NaN compares false.
    bool Excludes(const RbVector& a, const RbVector& b, const RbVector& c) const {
        Floats va = Load(a), vb = Load(b), vc = Load(c);
        return RbAnyLane(((va < lo) & (vb < lo) & (vc < lo)) | ((va > hi) & (vb > hi) & (vc > hi)));
    }

    // The same answer from the triangle's box: all three vertices lie below
    // the low face exactly when the largest does, and above the high face
    // when the smallest does.
    bool Excludes(const RbTriangleBounds& triangle) const {
        return RbAnyLane((Load(triangle.high) < lo) | (Load(triangle.low) > hi));
    }

private:
    using Floats = RbFloats;
    using Masks = RbMasks;

    static Floats Load(const RbVector& v) { return RbLoadFloats(v); }

    void Include(Floats low, Floats high, Masks nanMet) {
        nan |= nanMet | (low != low) | (high != high);
        lo = empty ? low : (low < lo ? low : lo);
        hi = empty ? high : (high > hi ? high : hi);
        empty = false;
    }

    // The fourth floats carry no meaning.
    Floats lo{};
    Floats hi{};
    Masks nan{}; // lanes that met NaN
    bool empty = true;
};
