#include "Physics/Simulator/RbDefaultAllocator.h"

#include <cstdlib>

void* RbDefaultAllocator::Allocate(std::size_t size, int /*alignment*/) {
    allocatedBytes += size;
    return std::malloc(size);
}

void RbDefaultAllocator::Free(void* block) {
    std::free(block);
}
