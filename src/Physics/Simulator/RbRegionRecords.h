#pragma once

#include <cstdint>

struct RbBody;

// One end of a body's interval on one axis of the broad phase. The pool links
// chain the endpoints of an axis in descending order of value: poolPrev toward
// the head (larger values), poolNext toward the tail.
struct RbEndpoint {
    std::uint8_t isMax = 0;
    float value = 0.0f;
    RbBody* body = nullptr;
    RbEndpoint* poolNext = nullptr;
    RbEndpoint* poolPrev = nullptr;
    std::uint8_t inUse = 0;
};

// A body registered with the broad phase.
struct RbRegionEntry {
    RbBody* body = nullptr;
    RbRegionEntry* poolNext = nullptr;
    RbRegionEntry* poolPrev = nullptr;
    std::uint8_t inUse = 0;
};

// Two bodies whose world boxes overlap on every swept axis.
struct RbOverlapPair {
    RbBody* bodyA = nullptr;
    RbBody* bodyB = nullptr;
    RbOverlapPair* poolNext = nullptr;
    RbOverlapPair* poolPrev = nullptr;
    std::uint8_t inUse = 0;
};

// The broad phase's record of one pair of bodies: a bit per axis on which
// their intervals overlap, and their overlap pair while there is one.
struct RbPairSlot {
    std::uint8_t overlapBits = 0;
    RbOverlapPair* pair = nullptr;
};
