#pragma once

#include "Platform/D3DX9Math.h"

#include <algorithm>
#include <bit>
#include <cstdint>

class CPPerspectiveCamera;

// The six planes of a camera's frustum, copied once per frame, with the box
// test that culling runs for every node. For each plane only one corner of
// a box is measured: the one farthest along the plane's normal. Floating-point
// products and sums are monotonic, so that corner gives exactly the answer
// of measuring all eight. The planes sit side by side in vector lanes, four
// to a group, so that one box meets all six in a few vector operations.
class FrustumPlanes {
public:
    static constexpr int kPlaneCount = 6;

    explicit FrustumPlanes(const CPPerspectiveCamera& camera);
    explicit FrustumPlanes(const D3DXPLANE (&planes)[kPlaneCount]);

    // False when some plane has all eight corners of the box on or outside
    // it (a point p is inside when a*p.x + b*p.y + c*p.z + d > 0).
    // Conservative: a box near an edge of the frustum may count as inside.
    bool MeetsBox(const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax) const {
        return MeetsOrderedBox(Lowest(boxMin, boxMax), Highest(boxMin, boxMax));
    }
    // MeetsBox for a box given by its lowest and highest coordinates.
    bool MeetsOrderedBox(const D3DXVECTOR3& low, const D3DXVECTOR3& high) const {
        const LaneMask inside = groups[0].Inside(low, high) & groups[1].Inside(low, high);
        return (inside[0] & inside[1] & inside[2] & inside[3]) != 0;
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

private:
    using Lanes = float __attribute__((vector_size(16)));
    using LaneMask = std::int32_t __attribute__((vector_size(16)));
    static constexpr int kLanes = 4;

    // Four planes, one a lane, with the side of a box each normal points to
    // on each axis (all bits set: the high side).
    struct PlaneGroup {
        // All bits set in the lanes whose plane has the box's farthest
        // corner strictly inside. Summed in the order of D3DXPlaneDotCoord,
        // so that each lane's value is the one that function gives at that
        // corner; a plane of NaNs hides the box.
        LaneMask Inside(const D3DXVECTOR3& low, const D3DXVECTOR3& high) const {
            const Lanes x = Pick(farX, high.x, low.x);
            const Lanes y = Pick(farY, high.y, low.y);
            const Lanes z = Pick(farZ, high.z, low.z);
            return a * x + b * y + c * z + d > 0;
        }
        static Lanes Pick(LaneMask far, float high, float low) {
            const LaneMask highBits = Bits(Lanes{high, high, high, high});
            const LaneMask lowBits = Bits(Lanes{low, low, low, low});
            return Floats((far & highBits) | (~far & lowBits));
        }
        static LaneMask Bits(Lanes lanes) { return std::bit_cast<LaneMask>(lanes); }
        static Lanes Floats(LaneMask bits) { return std::bit_cast<Lanes>(bits); }

        Lanes a, b, c, d;
        LaneMask farX, farY, farZ;
    };

    // Planes 0 to 3, then 4 and 5 with plane 0 again in the spare lanes.
    PlaneGroup groups[2];
};
