#pragma once

#include "Physics/Simulator/RbAllocator.h"

// malloc and free, with a running total of the bytes requested. Zeroed
// blocks come from calloc: a large one is pages the system zeroes when they
// are first touched, so a big table costs only what is used of it.
class RbDefaultAllocator : public RbAllocator {
public:
    void* Allocate(std::size_t size, int alignment) override;
    void Free(void* block) override;
    void* AllocateZeroed(std::size_t size) override;

    // Sum of every requested size; freeing does not decrease it.
    std::size_t AllocatedBytes() const { return allocatedBytes; }

private:
    std::size_t allocatedBytes = 0;
};
