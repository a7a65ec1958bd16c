#include "Core/GeometryFunctions.h"

#include <algorithm>
#include <cmath>

namespace {

struct Point2 {
    float u, v;
};

// Whether the edge from p to q lies at or above the point at the point's u.
bool EdgeAbove(const Point2& point, const Point2& p, const Point2& q) {
    if (p.u == q.u)
        return false;
    if (point.u < std::min(p.u, q.u) || point.u > std::max(p.u, q.u))
        return false;
    const float edgeV = p.v + (point.u - p.u) * (q.v - p.v) / (q.u - p.u);
    return point.v <= edgeV;
}

} // namespace

float RayPlaneDistance(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXPLANE& plane) {
    const float denominator = plane.a * direction.x + plane.b * direction.y + plane.c * direction.z;
    if (denominator >= 0.0f)
        return -1.0f;
    return -D3DXPlaneDotCoord(&plane, &origin) / denominator;
}

bool PointInTriangle(const D3DXVECTOR3& point, const D3DXVECTOR3& a, const D3DXVECTOR3& b,
                     const D3DXVECTOR3& c) {
    const D3DXVECTOR3 ab = a - b, cb = c - b;
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &ab, &cb);
    const float nx = std::fabs(normal.x), ny = std::fabs(normal.y), nz = std::fabs(normal.z);

    // The two coordinates (u, v) kept after dropping the dominant one.
    auto project = [&](const D3DXVECTOR3& p) -> Point2 {
        if (nz >= nx && nz >= ny)
            return {p.x, p.y};
        if (ny >= nz && ny >= nx)
            return {p.x, p.z};
        return {p.y, p.z};
    };
    const Point2 p = project(point), pa = project(a), pb = project(b), pc = project(c);
    const int above = EdgeAbove(p, pa, pb) + EdgeAbove(p, pb, pc) + EdgeAbove(p, pc, pa);
    return above == 1;
}

D3DXVECTOR3 Vec3Min(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
}

D3DXVECTOR3 Vec3Max(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
}

float ClampedAcos(float x) {
    return std::acos(std::clamp(x, -1.0f, 1.0f));
}

float ClampedAsin(float x) {
    return std::asin(std::clamp(x, -1.0f, 1.0f));
}

D3DXVECTOR3 RotatedAxis(const D3DXMATRIX& first, const D3DXMATRIX& second, int row) {
    // That row of the product, in D3DXMatrixMultiply's order. The transform
    // adds only zeros to it (its other terms, then the product's fourth row)
    // and divides by 1; the row holds no -0 for those zeros to turn into +0,
    // as each of its sums ends with +0 * +0 from the fourth column and row.
    const D3DXVECTOR4 axis(first.m[row][0], first.m[row][1], first.m[row][2], first.m[row][3]);
    D3DXVECTOR4 rotated;
    D3DXVec4Transform(&rotated, &axis, &second);
    return {rotated.x, rotated.y, rotated.z};
}

D3DXVECTOR3 QuaternionZAxis(const D3DXQUATERNION& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    return {2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)};
}
