#include "Render/FrustumPlanes.h"

namespace {

// Where the coordinate on an axis of the box's lowest (far false) or
// highest corner lies in BoxLanes.
std::ptrdiff_t CornerOffset(bool far, int axis) {
    return static_cast<std::ptrdiff_t>((far ? 3 : 0) + axis) *
           static_cast<std::ptrdiff_t>(sizeof(FrustumPlanes::Lanes));
}

} // namespace

FrustumPlanes::FrustumPlanes(const D3DXPLANE (&source)[kPlaneCount]) {
    for (int i = 0; i < kPlaneCount; ++i) {
        const D3DXPLANE& plane = source[i];
        planes[i] = {Splat(plane.a),
                     Splat(plane.b),
                     Splat(plane.c),
                     Splat(plane.d),
                     CornerOffset(plane.a > 0, 0),
                     CornerOffset(plane.b > 0, 1),
                     CornerOffset(plane.c > 0, 2)};
    }
}
