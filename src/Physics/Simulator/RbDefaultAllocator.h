#pragma once

#include "Physics/Simulator/RbAllocator.h"

// malloc and free, with a running total of the bytes requested.
class RbDefaultAllocator : public RbAllocator {
public:
    void* Allocate(std::size_t size, int alignment) override;
    void Free(void* block) override;

    // Sum of every requested size; freeing does not decrease it.
    std::size_t AllocatedBytes() const { return allocatedBytes; }

private:
    std::size_t allocatedBytes = 0;
};
