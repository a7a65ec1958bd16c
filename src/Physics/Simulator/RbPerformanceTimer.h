#pragma once

#include <cstdint>

// The timer slots of the phases of a step.
enum RbPhaseSlot : int {
    kRbForcesSlot = 0,       // gravity, external and controller forces
    kRbIntegrationSlot = 1,  // integrating the bodies
    kRbJointsSlot = 2,       // after integration (the world holds no joints)
    kRbStackGatherSlot = 3,  // gathering a stack's contact group
    kRbContactsSlot = 4,     // solving the stacks and the contacts
    kRbBroadPhaseSlot = 5,   // body bounds and the broad phase
    kRbBodyPairsSlot = 6,    // body against body
    kRbTerrainSlot = 7,      // body against terrain
    kRbTerrainQuerySlot = 8, // the terrain query callback
    kRbPhaseSlotCount = 9,
};

// Seconds spent in the phases of the running Advance, one slot per phase.
class RbPerformanceTimer {
public:
    RbPerformanceTimer();
    // Zeroes the slots and starts measuring.
    void Restart();
    // Adds the time since the last mark to slot k, less the cost of reading
    // the clock, and makes now the last mark.
    void Lap(RbPhaseSlot slot);
    float Total() const;
    float Slot(int k) const { return slots[k]; }

private:
    static std::int64_t Now();

    float slots[kRbPhaseSlotCount] = {};
    std::int64_t last = 0;
    std::int64_t overhead = 0;
};
