#include "Physics/Simulator/RbDefaultAllocator.h"

#include <cstdlib>

void* RbDefaultAllocator::Allocate(std::size_t size, int /*alignment*/) {
    allocatedBytes += size;
    return std::malloc(size);
}

void* RbDefaultAllocator::AllocateZeroed(std::size_t size) {
    allocatedBytes += size;
    return std::calloc(size ? size : 1, 1);
}

void RbDefaultAllocator::Free(void* block) {
    std::free(block);
}
