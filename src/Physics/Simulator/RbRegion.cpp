#include "Physics/Simulator/RbRegion.h"

#include "Physics/Simulator/RbBody.h"
#include "Physics/Simulator/RbSimulator.h"

bool RbRegion::Initialise(RbSimulator* owner) {
    simulator = owner;
    const RbSizeInfo& sizes = owner->SizeInfo();
    rigidCapacity = static_cast<std::size_t>(sizes.rigidBodiesCount);
    animatedCapacity = static_cast<std::size_t>(sizes.animatedBodiesCount);
    particleCapacity = static_cast<std::size_t>(sizes.rigidParticleCount);
    bodyCount = rigidCapacity + animatedCapacity;
    std::size_t allBodies = bodyCount + particleCapacity;
    RbAllocator* allocator = owner->Allocator();

    // The pair tables are large and mostly never touched: they start as
    // zeroed memory (an empty slot is all zero) rather than being filled.
    bool ok = pairTable.InitZeroed(allocator, bodyCount * (bodyCount - (bodyCount > 0)) / 2) &&
              particlePairTable.InitZeroed(allocator, bodyCount * particleCapacity) &&
              pending.Init(allocator, allBodies, 100) &&
              entryPool.Reserve(static_cast<int>(allBodies), allocator) &&
              pairPool.Reserve(sizes.overlapPairsCount, allocator);
    for (int i = 0; i < 3 && ok; ++i)
        ok = axes[i].Reserve(i, static_cast<int>(2 * allBodies), allocator);
    return ok;
}

void RbRegion::AddBody(RbBody* body) {
    if (body->regionEntry)
        return;
    RbRegionEntry* entry = entryPool.Take();
    if (!entry)
        return; // cannot happen: the pool holds an entry for every body
    if (body->regionState == kRbRegionIdle) {
        if (pending.Count() == pending.Capacity()) {
            // Entries of freed bodies are dropped before the array grows.
            std::size_t kept = 0;
            for (RbBody* waiting : pending)
                if (waiting)
                    pending[kept++] = waiting;
            pending.Truncate(kept);
        }
        pending.Append(body);
    }
    registered.PushFront(entry);
    entry->body = body;
    body->regionEntry = entry;
    body->regionState = kRbRegionWaiting;
}

void RbRegion::RemoveBody(RbBody* body) {
    if (!body->regionEntry)
        return;
    if (body->regionState == kRbRegionWaiting)
        body->regionState = kRbRegionRemovedWhileWaiting;
    for (RbAxisList& axis : axes)
        axis.Remove(body);
    registered.Remove(body->regionEntry);
    entryPool.Return(body->regionEntry);
    body->regionEntry = nullptr;
    for (RbOverlapPair* pair = activePairs.head; pair;) {
        RbOverlapPair* next = pair->poolNext;
        if (pair->bodyA == body || pair->bodyB == body)
            ReturnPair(SlotOf(pair->bodyA, pair->bodyB), pair);
        pair = next;
    }
}

void RbRegion::ForgetPendingBody(RbBody* body) {
    for (RbBody*& waiting : pending)
        if (waiting == body)
            waiting = nullptr;
}

void RbRegion::Update() {
    for (RbAxisList& axis : axes)
        axis.Resort(*this);
    for (RbBody* body : pending) {
        if (!body || !body->InUse())
            continue;
        if (body->regionState == kRbRegionRemovedWhileWaiting) {
            body->regionState = kRbRegionIdle;
            continue;
        }
        body->regionState = kRbRegionIdle;
        InsertPendingBody(body);
    }
    pending.Clear();
}

void RbRegion::InsertPendingBody(RbBody* body) {
    for (RbAxisList& axis : axes)
        axis.Insert(body);
    bool particle = body->IsParticle();
    for (RbRegionEntry* entry = registered.head; entry; entry = entry->poolNext) {
        RbBody* other = entry->body;
        if (other == body || !other->minEndpoints[0] || (particle && other->IsParticle()))
            continue;
        InitPairBits(body, other);
    }
}

RbPairSlot& RbRegion::SlotOf(const RbBody* a, const RbBody* b) {
    auto low = static_cast<std::size_t>(a->broadPhaseIndex);
    auto high = static_cast<std::size_t>(b->broadPhaseIndex);
    if (low > high)
        std::swap(low, high);
    if (high < bodyCount)
        return pairTable[high * (high - 1) / 2 + low];
    return particlePairTable[low * particleCapacity + (high - bodyCount)];
}

void RbRegion::AddOverlapPair(RbBody* a, RbBody* b, std::uint8_t bit) {
    RbPairSlot& slot = SlotOf(a, b);
    std::uint8_t old = slot.overlapBits;
    slot.overlapBits = static_cast<std::uint8_t>(old ^ bit);
    if (old == AllAxes && slot.pair) {
        ReturnPair(slot, slot.pair);
    } else if (slot.overlapBits == AllAxes &&
               simulator->GetCollisionTable().Get(a->collisionGroup, b->collisionGroup) != 0) {
        if (RbOverlapPair* pair = TakePair(slot)) {
            pair->bodyA = a;
            pair->bodyB = b;
        }
    }
}

void RbRegion::InitPairBits(RbBody* added, RbBody* other) {
    std::uint8_t bits = 0;
    for (int i = 0; i < 3; ++i) {
        if (added->minEndpoints[i]->value < other->maxEndpoints[i]->value &&
            added->maxEndpoints[i]->value > other->minEndpoints[i]->value)
            bits |= static_cast<std::uint8_t>(1u << i);
    }
    RbPairSlot& slot = SlotOf(added, other);
    slot.overlapBits = bits;
    slot.pair = nullptr;
    if (bits != AllAxes)
        return;
    RbOverlapPair* pair = TakePair(slot);
    if (!pair)
        return;
    bool addedSecond = !added->isRigid || (added->IsParticle() && other->isRigid);
    pair->bodyA = addedSecond ? other : added;
    pair->bodyB = addedSecond ? added : other;
}

RbOverlapPair* RbRegion::TakePair(RbPairSlot& slot) {
    RbOverlapPair* pair = pairPool.Take();
    if (!pair) {
        simulator->Log(1, "Overlap Pair buffer full. Increase buffer size.\n");
        return nullptr;
    }
    activePairs.PushFront(pair);
    slot.pair = pair;
    return pair;
}

void RbRegion::ReturnPair(RbPairSlot& slot, RbOverlapPair* pair) {
    activePairs.Remove(pair);
    pairPool.Return(pair);
    slot.pair = nullptr;
}
