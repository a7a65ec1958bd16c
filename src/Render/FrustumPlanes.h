#pragma once

#include "Platform/D3DX9Math.h"

#include <algorithm>

class CPPerspectiveCamera;

// The six planes of a camera's frustum, copied once per frame, with the box
// tests that culling runs for every node. For each plane only one corner of
// a box is measured: the one farthest along the plane's normal for "is any
// part inside", the nearest for "is all of it inside". Floating-point
// products and sums are monotonic, so the farthest corner gives exactly the
// answer of measuring all eight.
class FrustumPlanes {
public:
    static constexpr int kPlaneCount = 6;
    // Every plane still to be tested, for the root of a tree.
    static constexpr unsigned kAllPlanes = (1u << kPlaneCount) - 1;

    explicit FrustumPlanes(const CPPerspectiveCamera& camera);
    explicit FrustumPlanes(const D3DXPLANE (&planes)[kPlaneCount]);

    // False when some plane has all eight corners of the box on or outside
    // it (a point p is inside when a*p.x + b*p.y + c*p.z + d > 0).
    // Conservative: a box near an edge of the frustum may count as inside.
    bool MeetsBox(const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax) const {
        const D3DXVECTOR3 low = Lowest(boxMin, boxMax);
        const D3DXVECTOR3 high = Highest(boxMin, boxMax);
        for (const Plane& plane : planes) {
            // "Not above 0" rather than "at most 0": a plane of NaNs hides the box.
            if (!(plane.Farthest(low, high) > 0))
                return false;
        }
        return true;
    }
    // MeetsBox over the planes of `mask` only. When the box meets them, the
    // planes it lies wholly inside are cleared from `mask`: they hold every
    // box within this one too (within Lowest to Highest of both), so its
    // sub-boxes need not test them again.
    bool NarrowMask(const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax, unsigned& mask) const {
        const D3DXVECTOR3 low = Lowest(boxMin, boxMax);
        const D3DXVECTOR3 high = Highest(boxMin, boxMax);
        for (int i = 0; i < kPlaneCount; ++i) {
            const unsigned bit = 1u << i;
            if ((mask & bit) == 0)
                continue;
            if (!(planes[i].Farthest(low, high) > 0))
                return false;
            if (planes[i].Farthest(high, low) > 0)
                mask &= ~bit;
        }
        return true;
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
    // A plane with the sides of a box its normal points to.
    struct Plane {
        // The value at the corner of the box from `low` to `high` farthest
        // along the normal; swapping the two gives the nearest corner.
        // Summed in the order of D3DXPlaneDotCoord, so that the value is the
        // one that function gives at that corner.
        float Farthest(const D3DXVECTOR3& low, const D3DXVECTOR3& high) const {
            return a * (farX ? high.x : low.x) + b * (farY ? high.y : low.y) + c * (farZ ? high.z : low.z) +
                   d;
        }

        float a, b, c, d;
        bool farX, farY, farZ;
    };

    Plane planes[kPlaneCount];
};
