#pragma once

#include "Physics/Simulator/RbVector.h"

#include <bit>
#include <cstring>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

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

// Whether any lane of the mask is set: one instruction where there is SSE.
inline bool RbAnyLane(RbMasks mask) {
#if defined(__SSE__)
    return _mm_movemask_ps(std::bit_cast<__m128>(mask)) != 0;
#else
    return (mask[0] | mask[1] | mask[2] | mask[3]) != 0;
#endif
}
