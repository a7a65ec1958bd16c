#pragma once

#include "Physics/Simulator/RbFloats.h"

#include <cmath>

// The world-axis box of one terrain triangle: per axis the smallest and the
// largest of its three vertices' coordinates. A coordinate that is NaN makes
// both ends of its axis NaN, so that a comparison on that axis, like one on
// the vertices themselves, never rules the triangle out. The fourth floats
// carry no meaning.
struct RbTriangleBounds {
    RbVector low;
    RbVector high;

    static RbTriangleBounds Of(const RbVector& a, const RbVector& b, const RbVector& c) {
        const RbFloats va = RbLoadFloats(a), vb = RbLoadFloats(b), vc = RbLoadFloats(c);
        const RbMasks anyNan = (va != va) | (vb != vb) | (vc != vc);
        const RbFloats unknown{NAN, NAN, NAN, NAN};
        RbFloats low = vb < va ? vb : va, high = vb > va ? vb : va;
        low = vc < low ? vc : low;
        high = vc > high ? vc : high;
        return {RbStoreFloats(anyNan ? unknown : low), RbStoreFloats(anyNan ? unknown : high)};
    }
};
