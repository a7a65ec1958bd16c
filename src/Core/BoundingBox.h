#pragma once

#include "Platform/D3DX9Math.h"

// An oriented box: centre and half size in the box's own space, placed in
// the world by worldMatrix. Owners set worldMatrix (normally localMatrix
// times their own world matrix) and call Update, which computes the world
// corners, the six face planes and the world minimum and maximum.
//
// Corner k has the offset (-/+ h.x, -/+ h.y, -/+ h.z) of the table in
// BoundingBox.cpp: corners 0-3 are the -z face counter-clockwise from
// (-,-), corners 4-7 the same above them. Plane normals point out of the box
// unless the world matrix mirrors it; a point is outside a face when
// a*x + b*y + c*z + d > 0.
class BoundingBox {
public:
    BoundingBox(const D3DXVECTOR3& center, const D3DXVECTOR3& halfSize);
    virtual ~BoundingBox() = default;

    // Clamps each half size to at least 0.001 (NaN too), then recomputes
    // corners, planes, worldMin and worldMax from worldMatrix.
    void Update();

    // Ray against the box's faces. When the origin lies outside all six
    // planes (only possible for a mirrored box) the distance becomes 0 and the
    // result is true. Otherwise each face hit at a distance of 0 or more that
    // is below `distance` lowers it and writes the face's plane to `plane`;
    // true when any face was hit.
    bool IntersectRay(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, float& distance,
                      D3DXPLANE& plane) const;

    D3DXVECTOR3 center;
    D3DXVECTOR3 halfSize;
    D3DXMATRIX frameMatrix;
    D3DXVECTOR3 corners[8];
    D3DXPLANE planes[6];
    D3DXVECTOR3 worldMin;
    D3DXVECTOR3 worldMax;
    D3DXMATRIX worldMatrix;
    D3DXMATRIX localMatrix;
};
