#pragma once

#include "Physics/Simulator/RbList.h"
#include "Physics/Simulator/RbPool.h"
#include "Physics/Simulator/RbRegionRecords.h"

#include <cstdint>

class RbRegion;

// The endpoints of every body in the broad phase on one axis, kept in
// descending order of value from head to tail.
class RbAxisList {
public:
    bool Reserve(int axisNumber, int endpointCount, RbAllocator* allocator);

    // Adds a new body's two endpoints in sorted place; at equal values the new
    // minimum sorts toward the head and the new maximum toward the tail, so
    // touching intervals do not overlap.
    void Insert(RbBody* body);
    void Remove(RbBody* body);
    // Re-sorts by insertion after the values changed, reporting every crossing
    // of a minimum and another body's maximum to the region.
    void Resort(RbRegion& region);

    std::uint8_t Bit() const { return bit; }

private:
    RbPool<RbEndpoint> pool;
    RbList<RbEndpoint> list;
    int axis = 0;
    std::uint8_t bit = 0;
};
