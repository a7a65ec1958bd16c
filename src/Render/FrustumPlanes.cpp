#include "Render/FrustumPlanes.h"

#include "Render/PPerspectiveCamera.h"

FrustumPlanes::FrustumPlanes(const CPPerspectiveCamera& camera) : FrustumPlanes(camera.planes) {}

FrustumPlanes::FrustumPlanes(const D3DXPLANE (&source)[kPlaneCount]) {
    for (int group = 0; group < 2; ++group) {
        // Planes 4 and 5 share their group with plane 0 twice over.
        const D3DXPLANE* lanes[kLanes] = {&source[0], &source[0], &source[0], &source[0]};
        for (int i = 0; i < kLanes && group * kLanes + i < kPlaneCount; ++i)
            lanes[i] = &source[group * kLanes + i];
        PlaneGroup& planes = groups[group];
        planes.a = Lanes{lanes[0]->a, lanes[1]->a, lanes[2]->a, lanes[3]->a};
        planes.b = Lanes{lanes[0]->b, lanes[1]->b, lanes[2]->b, lanes[3]->b};
        planes.c = Lanes{lanes[0]->c, lanes[1]->c, lanes[2]->c, lanes[3]->c};
        planes.d = Lanes{lanes[0]->d, lanes[1]->d, lanes[2]->d, lanes[3]->d};
        // Comparisons set every bit of a lane where they hold.
        planes.farX = planes.a > 0;
        planes.farY = planes.b > 0;
        planes.farZ = planes.c > 0;
    }
}
