#pragma once

#include "Physics/Simulator/RbVector.h"

#include <cstring>

// Four floats, or four lane masks, to a register: the vector's components
// compared or combined at once without branches.
using RbFloats = float __attribute__((vector_size(16)));
using RbMasks = int __attribute__((vector_size(16)));

inline RbFloats RbLoadFloats(const RbVector& v) {
    RbFloats f;
    std::memcpy(&f, &v, sizeof f);
    return f;
}

inline RbVector RbStoreFloats(RbFloats f) {
    return {f[0], f[1], f[2], f[3]};
}
