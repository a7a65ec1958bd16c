#pragma once

#include "Physics/Simulator/RbVector.h"
#include "Platform/D3DX9Math.h"

// The game's vectors and quaternions as the world's, and back.

inline RbVector ToRb(const D3DXVECTOR3& v) {
    return {v.x, v.y, v.z};
}

inline RbVector ToRb(const D3DXQUATERNION& q) {
    return {q.x, q.y, q.z, q.w};
}

inline D3DXVECTOR3 ToD3D(const RbVector& v) {
    return {v.x, v.y, v.z};
}
