#pragma once

#include "Physics/Simulator/RbList.h"
#include "Physics/Simulator/RbStackInfo.h"

#include <cstdint>

class RbSimulator;

// A stack: the records of rigid bodies that rest on one another, solved and
// put to rest together. The world's single-bodies list is a header too, with
// isSingles set.
struct RbStackHeader {
    RbSimulator* simulator = nullptr;
    RbList<RbStackInfo> members;
    std::int32_t isSingles = 0;
    // Every member resting and without contact in the last step.
    std::int32_t allResting = 0;

    RbStackHeader* poolNext = nullptr;
    RbStackHeader* poolPrev = nullptr;
    std::uint8_t inUse = 0;

    void Append(RbStackInfo* info);
    void Remove(RbStackInfo* info);
    // Moves every member, in order, to the end of the destination stack.
    void Merge(RbStackHeader* destination);
    // Regroups the members into the connected parts of their rest-record
    // graph; members resting on nothing rigid leave stacking. Leaves this
    // header empty.
    void Resolve();
    // Releases a stack of at most one member, the member going back to the
    // single bodies (or leaving stacking when it only supported others).
    void Dissolve();
    // Fills the world's contact group and resting rows for this stack.
    void GatherGroup();
};
