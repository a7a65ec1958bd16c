#pragma once

#include <cstddef>
#include <cstring>

// The one interface through which the simulator obtains memory. A caller of
// RbSimulator::Create may supply its own; it must outlive the world.
class RbAllocator {
public:
    virtual ~RbAllocator() = default;
    // A block of at least size bytes, or null. Every caller passes alignment 0.
    virtual void* Allocate(std::size_t size, int alignment) = 0;
    virtual void Free(void* block) = 0;
    // A block of size bytes, all zero, or null. An allocator that gets fresh
    // pages from the system zeroed may skip the filling.
    virtual void* AllocateZeroed(std::size_t size) {
        void* block = Allocate(size, 0);
        if (block)
            std::memset(block, 0, size);
        return block;
    }
};
