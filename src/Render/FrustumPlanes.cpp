#include "Render/FrustumPlanes.h"

#include "Render/PPerspectiveCamera.h"

FrustumPlanes::FrustumPlanes(const CPPerspectiveCamera& camera) : FrustumPlanes(camera.planes) {}

FrustumPlanes::FrustumPlanes(const D3DXPLANE (&source)[kPlaneCount]) {
    for (int i = 0; i < kPlaneCount; ++i) {
        const D3DXPLANE& plane = source[i];
        planes[i] = {plane.a, plane.b, plane.c, plane.d, plane.a > 0, plane.b > 0, plane.c > 0};
    }
}
