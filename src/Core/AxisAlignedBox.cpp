#include "Core/AxisAlignedBox.h"

#include "Core/GeometryFunctions.h"

#include <cmath>

D3DXMATRIX g_ShadowMatrix;

namespace {

constexpr float kEmptyExtent = 1000000.0f;
// Projected corners whose w is smaller than this lie at infinity.
constexpr float kMinShadowW = 1e-6f;

} // namespace

void AxisAlignedBox::FromBoxes(std::span<const BoundingBox> boxes) {
    min = {kEmptyExtent, kEmptyExtent, kEmptyExtent};
    max = {-kEmptyExtent, -kEmptyExtent, -kEmptyExtent};
    if (boxes.empty())
        return;
    for (const BoundingBox& box : boxes) {
        min = Vec3Min(min, box.worldMin);
        max = Vec3Max(max, box.worldMax);
    }
    UpdateCenter();
}

void AxisAlignedBox::Merge(const AxisAlignedBox& other) {
    min = Vec3Min(min, other.min);
    max = Vec3Max(max, other.max);
    UpdateCenter();
}

void AxisAlignedBox::UpdateCenter() {
    center = (max + min) / 2.0f;
    half = (max - min) / 2.0f;
}

void AxisAlignedBox::SetFromBox(const BoundingBox& box) {
    min = box.worldMin;
    max = box.worldMax;
    half = (max - min) / 2.0f;
    center = min + half;
}

bool AxisAlignedBox::Contains(const D3DXVECTOR3& point) const {
    return std::fabs(center.x - point.x) < half.x && std::fabs(center.y - point.y) < half.y &&
           std::fabs(center.z - point.z) < half.z;
}

bool AxisAlignedBox::IntersectsSphere(const D3DXVECTOR3& sphereCenter, float radius) const {
    float squared = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        const float c = sphereCenter[axis];
        const float outside = c < min[axis] ? min[axis] - c : (c > max[axis] ? c - max[axis] : 0.0f);
        squared += outside * outside;
    }
    return squared <= radius * radius;
}

bool AxisAlignedBox::IntersectSegment(const D3DXVECTOR3& start, const D3DXVECTOR3& direction,
                                      float length) const {
    const float e = length / 2.0f;
    const D3DXVECTOR3 d = center - (start + e * direction);
    const D3DXVECTOR3 a(std::fabs(direction.x), std::fabs(direction.y), std::fabs(direction.z));
    if (e * a.x + half.x < std::fabs(d.x) || e * a.y + half.y < std::fabs(d.y) ||
        e * a.z + half.z < std::fabs(d.z))
        return false;
    if (half.y * a.z + half.z * a.y < std::fabs(d.y * direction.z - d.z * direction.y))
        return false;
    if (half.x * a.z + half.z * a.x < std::fabs(d.z * direction.x - d.x * direction.z))
        return false;
    return !(half.x * a.y + half.y * a.x < std::fabs(d.x * direction.y - d.y * direction.x));
}

void AxisAlignedBox::ApplyShadowMatrix() {
    const D3DXVECTOR3 low = min, high = max;
    // The union does not depend on the corners' order: bits 0, 1 and 2 of k
    // pick the x, y and z side.
    for (int k = 0; k < 8; ++k) {
        const D3DXVECTOR4 corner(k & 1 ? high.x : low.x, k & 2 ? high.y : low.y, k & 4 ? high.z : low.z,
                                 1.0f);
        D3DXVECTOR4 projected;
        D3DXVec4Transform(&projected, &corner, &g_ShadowMatrix);
        if (std::fabs(projected.w) < kMinShadowW)
            continue;
        const D3DXVECTOR3 point(projected.x / projected.w, projected.y / projected.w,
                                projected.z / projected.w);
        min = Vec3Min(min, point);
        max = Vec3Max(max, point);
    }
}
