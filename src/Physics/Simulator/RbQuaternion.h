#pragma once

#include "Physics/Simulator/RbMatrix.h"

#include <cmath>

// Quaternion helpers on RbVector (x, y, z, w): Hamilton products with the
// vector part first.

inline RbVector RbIdentityQuaternion() {
    return {0, 0, 0, 1};
}

// q / |q| over all four floats; the identity for a (nearly) zero quaternion,
// which would otherwise divide by zero.
inline RbVector RbNormaliseQuaternion(const RbVector& q) {
    float squared = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    if (!(squared >= 1e-12f) || !std::isfinite(squared))
        return RbIdentityQuaternion();
    float length = std::sqrt(squared);
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}

// Rows of the rotation: the body's axes in world space.
inline RbMatrix3 RbQuaternionToRotation(const RbVector& q) {
    float x = q.x, y = q.y, z = q.z, w = q.w;
    return {{{1 - 2 * (y * y + z * z), 2 * (x * y + w * z), 2 * (x * z - w * y)},
             {2 * (x * y - w * z), 1 - 2 * (x * x + z * z), 2 * (y * z + w * x)},
             {2 * (x * z + w * y), 2 * (y * z - w * x), 1 - 2 * (x * x + y * y)}}};
}

// Time derivative of an orientation under angular velocity omega:
// 1/2 (omega, 0) * q.
inline RbVector RbQuaternionRate(const RbVector& omega, const RbVector& q) {
    RbVector v = omega * q.w + RbCross(omega, q);
    float s = -RbDot(omega, q);
    return RbVector(v.x, v.y, v.z, s) * 0.5f;
}
