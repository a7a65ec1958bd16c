#pragma once

#include "Platform/D3DX9Math.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

// The six planes of a camera's frustum, laid out once per camera update,
// with the box test that culling runs for every node. For each plane only one corner of
// a box is measured: the one farthest along the plane's normal. Floating-point
// products and sums are monotonic, so that corner gives exactly the answer
// of measuring all eight. Boxes go four at a time, side by side in vector
// lanes, so that four nodes meet each plane in a few vector operations.
class FrustumPlanes {
public:
    static constexpr int kPlaneCount = 6;
    static constexpr int kLanes = 4;
    using Lanes = float __attribute__((vector_size(16)));

    // Up to four boxes, each by its lowest (corner 0) and highest (corner 1)
    // coordinates on the three axes.
    struct BoxLanes {
        Lanes corners[2][3];
    };

    explicit FrustumPlanes(const D3DXPLANE (&planes)[kPlaneCount]);

    // False when some plane has all eight corners of the box on or outside
    // it (a point p is inside when a*p.x + b*p.y + c*p.z + d > 0).
    // Conservative: a box near an edge of the frustum may count as inside.
    bool MeetsBox(const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax) const {
        const D3DXVECTOR3 low = Lowest(boxMin, boxMax);
        const D3DXVECTOR3 high = Highest(boxMin, boxMax);
        const BoxLanes box = {Splat(low.x),  Splat(low.y),  Splat(low.z),
                              Splat(high.x), Splat(high.y), Splat(high.z)};
        return (MeetBoxes(box) & 1u) != 0;
    }
    // MeetsBox for each lane's box: bit i is set when lane i's box meets
    // the frustum.
    unsigned MeetBoxes(const BoxLanes& boxes) const {
        LaneMask inside = planes[0].Inside(boxes);
        for (int i = 1; i < kPlaneCount; ++i)
            inside &= planes[i].Inside(boxes);
        // A lane that holds has every bit set.
        return (inside[0] & 1u) | (inside[1] & 2u) | (inside[2] & 4u) | (inside[3] & 8u);
    }

    // The corners of a box whose min lies above its max on some axis (an
    // empty box) are still the eight corners of its coordinates: these
    // give the lowest and highest of them.
    static D3DXVECTOR3 Lowest(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
        return {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
    }
    static D3DXVECTOR3 Highest(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
        return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
    }
    static Lanes Splat(float value) { return Lanes{value, value, value, value}; }

private:
    using LaneMask = std::int32_t __attribute__((vector_size(16)));

    // A plane in every lane, with the side of a box its normal points to.
    struct Plane {
        // All bits set in the lanes whose box has its farthest corner
        // strictly inside. Summed in the order of D3DXPlaneDotCoord, so that
        // each lane's value is the one that function gives at that corner; a
        // plane of NaNs hides the box.
        LaneMask Inside(const BoxLanes& boxes) const {
            return a * Far(boxes, farX) + b * Far(boxes, farY) + c * Far(boxes, farZ) + d > 0;
        }

        // The lanes of BoxLanes `offset` bytes in: no branch picks the corner.
        static const Lanes& Far(const BoxLanes& boxes, std::ptrdiff_t offset) {
            return *reinterpret_cast<const Lanes*>(reinterpret_cast<const char*>(&boxes) + offset);
        }

        Lanes a, b, c, d;
        // Where in BoxLanes the coordinate of the corner farthest along the
        // normal lies, for each axis.
        std::ptrdiff_t farX, farY, farZ;
    };

    Plane planes[kPlaneCount];
};
