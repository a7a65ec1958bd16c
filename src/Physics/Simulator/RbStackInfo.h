#pragma once

#include <cstdint>

struct RbRigidBody;
struct RbStackHeader;

// A rigid body's membership in stacking: on the world's list of bodies resting
// alone, or in one stack of bodies resting on one another.
struct RbStackInfo {
    // Visited flag of the graph walk that gathers a stack's rows.
    std::int32_t marked = 0;
    // 1 when the body is in the stack only because others rest on it.
    std::int32_t supportOnly = 0;
    // 1 when the last check of its rest records kept none.
    std::int32_t unsupported = 0;
    RbStackHeader* header = nullptr;
    RbRigidBody* body = nullptr;

    RbStackInfo* poolNext = nullptr;
    RbStackInfo* poolPrev = nullptr;
    std::uint8_t inUse = 0;

    // Graph walk from this member over its rest records: marks it, pulls the
    // rigid supports into the contact group (with link set), recurses into
    // supports that rest on something themselves and builds this body's
    // resting rows. Returns the number of rows' valid points.
    int MarkConnected(bool link);
};
