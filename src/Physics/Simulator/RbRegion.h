#pragma once

#include "Physics/Simulator/RbArray.h"
#include "Physics/Simulator/RbAxisList.h"
#include "Physics/Simulator/RbList.h"

#include <cstddef>
#include <cstdint>

class RbSimulator;

// The broad phase: sorted interval endpoints on all three axes, re-sorted by
// insertion every step; each order change toggles an overlap bit of the pair
// of bodies involved, and a pair with every bit set is an overlap pair on the
// active pair list. Bodies registered between updates join the lists at the
// next update.
class RbRegion {
public:
    // The overlap bits of a pair that overlaps on x, y and z.
    static constexpr std::uint8_t AllAxes = 7;

    bool Initialise(RbSimulator* owner);

    void AddBody(RbBody* body);
    void RemoveBody(RbBody* body);
    // Drops a freed body from the bodies waiting for the next update.
    void ForgetPendingBody(RbBody* body);
    void Update();

    // Toggles the pair's bit of one axis and creates or removes its overlap pair.
    void AddOverlapPair(RbBody* a, RbBody* b, std::uint8_t bit);

    const RbList<RbOverlapPair>& ActivePairs() const { return activePairs; }
    const RbAxisList& Axis(int i) const { return axes[i]; }

private:
    RbPairSlot& SlotOf(const RbBody* a, const RbBody* b);
    void InitPairBits(RbBody* added, RbBody* other);
    void InsertPendingBody(RbBody* body);
    RbOverlapPair* TakePair(RbPairSlot& slot);
    void ReturnPair(RbPairSlot& slot, RbOverlapPair* pair);

    RbSimulator* simulator = nullptr;
    std::size_t rigidCapacity = 0;
    std::size_t animatedCapacity = 0;
    std::size_t bodyCount = 0;
    std::size_t particleCapacity = 0;
    RbArray<RbPairSlot> pairTable;
    RbArray<RbPairSlot> particlePairTable;
    RbArray<RbBody*> pending;
    RbPool<RbRegionEntry> entryPool;
    RbList<RbRegionEntry> registered;
    RbPool<RbOverlapPair> pairPool;
    RbList<RbOverlapPair> activePairs;
    RbAxisList axes[3];
};
