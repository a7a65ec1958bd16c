#pragma once

#include "Platform/D3DX9Math.h"

// Geometry helpers of the bounding volumes and the game code.

// Distance along the ray to the plane when the ray runs against the plane's
// normal; -1 when it runs parallel to the plane or along the normal.
float RayPlaneDistance(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXPLANE& plane);

// Whether the point, taken to lie in the triangle's plane, is inside the
// triangle: the test runs in the two coordinates that remain after dropping
// the one where the triangle's normal is largest, and counts the edges lying
// above the point (ends included); inside when exactly one does. Edges that
// are vertical in that view never count.
bool PointInTriangle(const D3DXVECTOR3& point, const D3DXVECTOR3& a, const D3DXVECTOR3& b,
                     const D3DXVECTOR3& c);

// Componentwise minimum and maximum.
D3DXVECTOR3 Vec3Min(const D3DXVECTOR3& a, const D3DXVECTOR3& b);
D3DXVECTOR3 Vec3Max(const D3DXVECTOR3& a, const D3DXVECTOR3& b);

// Arc cosine and arc sine of x clamped to [-1, 1], so that rounding noise in
// dot products of unit vectors never gives NaN.
float ClampedAcos(float x);
float ClampedAsin(float x);

// Axis `row` (0 for x, 1 for y, 2 for z) of the rotation `first` followed by
// the rotation `second`, both finite with the identity's fourth row and
// column (as D3DXMatrixRotation* build them): bit for bit what
// D3DXVec3TransformCoord gives for that unit vector through first * second,
// without taking the whole product.
D3DXVECTOR3 RotatedAxis(const D3DXMATRIX& first, const D3DXMATRIX& second, int row);

// The third row of the rotation matrix of q (where the z axis turns to), bit
// for bit what D3DXMatrixRotationQuaternion writes there, without the rest
// of the matrix.
D3DXVECTOR3 QuaternionZAxis(const D3DXQUATERNION& q);
