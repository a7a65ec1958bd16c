#pragma once

#include "Core/BoundingBox.h"
#include "Platform/D3DX9Math.h"

#include <span>

// The planar shadow projection of the current level (built by the level
// loader); ApplyShadowMatrix grows boxes by their shadows with it.
extern D3DXMATRIX g_ShadowMatrix;

// An axis-aligned box in world space. `half` and `center` follow `min` and
// `max` only where an operation says so.
struct AxisAlignedBox {
    // The union of the boxes' world extents, then UpdateCenter. No boxes
    // give the inverted box min (1e6, 1e6, 1e6), max (-1e6, -1e6, -1e6)
    // and leave half and center as they were.
    void FromBoxes(std::span<const BoundingBox> boxes);
    // Grows to contain the other box, then UpdateCenter.
    void Merge(const AxisAlignedBox& other);
    void UpdateCenter();
    void SetFromBox(const BoundingBox& box);

    // Strictly inside on all three axes (a point on a face is outside).
    bool Contains(const D3DXVECTOR3& point) const;
    // Touching counts: the distance from the centre to the box may equal the
    // radius.
    bool IntersectsSphere(const D3DXVECTOR3& sphereCenter, float radius) const;
    // Separating-axis test of the segment from start to
    // start + length * direction; the direction is of unit length.
    bool IntersectSegment(const D3DXVECTOR3& start, const D3DXVECTOR3& direction, float length) const;
    // Grows min and max to also contain the box's eight corners projected by
    // g_ShadowMatrix; corners that project to infinity (w near 0) are left
    // out. half and center are not updated.
    void ApplyShadowMatrix();

    D3DXVECTOR3 min;
    D3DXVECTOR3 max;
    D3DXVECTOR3 half;
    D3DXVECTOR3 center;
};
