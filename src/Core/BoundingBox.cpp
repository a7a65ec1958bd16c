#include "Core/BoundingBox.h"

#include "Core/GeometryFunctions.h"

#include <algorithm>
#include <iterator>

namespace {

// Sign of each corner's offset along x, y and z.
constexpr float kCornerSigns[8][3] = {
    {-1, -1, -1}, {+1, -1, -1}, {+1, +1, -1}, {-1, +1, -1},
    {-1, -1, +1}, {+1, -1, +1}, {+1, +1, +1}, {-1, +1, +1},
};

struct Face {
    int plane[3];        // P, Q, R: normal = (R - P) x (Q - P)
    int triangles[2][3]; // the two triangles a hit point is tested against
};

// -z, +x, +y, -x, -y, +z for an unrotated box.
constexpr Face kFaces[6] = {
    {{0, 1, 2}, {{0, 1, 2}, {0, 2, 3}}}, {{1, 5, 6}, {{1, 5, 6}, {1, 2, 6}}},
    {{2, 6, 7}, {{2, 6, 7}, {2, 7, 3}}}, {{3, 7, 4}, {{3, 4, 7}, {3, 4, 0}}},
    {{0, 4, 5}, {{0, 4, 5}, {0, 5, 1}}}, {{5, 4, 7}, {{4, 5, 6}, {4, 6, 7}}},
};

constexpr float kMinHalfSize = 0.001f;

D3DXPLANE PlaneThrough(const D3DXVECTOR3& p, const D3DXVECTOR3& q, const D3DXVECTOR3& r) {
    const D3DXVECTOR3 rp = r - p, qp = q - p;
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &rp, &qp);
    return {normal.x, normal.y, normal.z, -D3DXVec3Dot(&normal, &p)};
}

} // namespace

BoundingBox::BoundingBox(const D3DXVECTOR3& center, const D3DXVECTOR3& halfSize)
    : center(center), halfSize(halfSize), frameMatrix(PlatIdentityMatrix()), worldMin(center - halfSize),
      worldMax(center + halfSize), worldMatrix(PlatIdentityMatrix()), localMatrix(PlatIdentityMatrix()) {}

void BoundingBox::Update() {
    for (float* h : {&halfSize.x, &halfSize.y, &halfSize.z}) {
        if (!(*h >= kMinHalfSize))
            *h = kMinHalfSize;
    }
    for (int k = 0; k < 8; ++k) {
        const D3DXVECTOR3 local(center.x + kCornerSigns[k][0] * halfSize.x,
                                center.y + kCornerSigns[k][1] * halfSize.y,
                                center.z + kCornerSigns[k][2] * halfSize.z);
        D3DXVec3TransformCoord(&corners[k], &local, &worldMatrix);
    }
    for (int k = 0; k < 6; ++k) {
        const int* pqr = kFaces[k].plane;
        planes[k] = PlaneThrough(corners[pqr[0]], corners[pqr[1]], corners[pqr[2]]);
    }
    worldMin = worldMax = corners[0];
    for (const D3DXVECTOR3& corner : corners) {
        worldMin = Vec3Min(worldMin, corner);
        worldMax = Vec3Max(worldMax, corner);
    }
}

bool BoundingBox::IntersectRay(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, float& distance,
                               D3DXPLANE& plane) const {
    if (std::all_of(std::begin(planes), std::end(planes),
                    [&](const D3DXPLANE& p) { return D3DXPlaneDotCoord(&p, &origin) > 0.0f; })) {
        distance = 0.0f;
        return true;
    }
    bool hit = false;
    for (int k = 0; k < 6; ++k) {
        const float t = RayPlaneDistance(origin, direction, planes[k]);
        if (!(t < distance && t >= 0.0f))
            continue;
        const D3DXVECTOR3 point = origin + t * direction;
        for (const auto& triangle : kFaces[k].triangles) {
            if (PointInTriangle(point, corners[triangle[0]], corners[triangle[1]], corners[triangle[2]])) {
                distance = t;
                plane = planes[k];
                hit = true;
                break;
            }
        }
    }
    return hit;
}
