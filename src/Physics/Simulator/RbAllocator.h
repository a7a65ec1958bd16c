#pragma once

#include <cstddef>

// The one interface through which the simulator obtains memory. A caller of
// RbSimulator::Create may supply its own; it must outlive the world.
class RbAllocator {
public:
    virtual ~RbAllocator() = default;
    // A block of at least size bytes, or null. Every caller passes alignment 0.
    virtual void* Allocate(std::size_t size, int alignment) = 0;
    virtual void Free(void* block) = 0;
};
