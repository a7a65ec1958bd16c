#include "Physics/Simulator/RbAxisList.h"

#include "Physics/Simulator/RbBody.h"
#include "Physics/Simulator/RbRegion.h"

bool RbAxisList::Reserve(int axisNumber, int endpointCount, RbAllocator* allocator) {
    axis = axisNumber;
    bit = static_cast<std::uint8_t>(1u << axisNumber);
    list = {};
    return pool.Reserve(endpointCount, allocator);
}

void RbAxisList::Insert(RbBody* body) {
    RbEndpoint* low = pool.Take();
    RbEndpoint* high = pool.Take();
    if (!low || !high) {
        // Cannot happen: the pool holds two endpoints for every body.
        pool.Return(low);
        pool.Return(high);
        return;
    }
    low->isMax = 0;
    high->isMax = 1;
    low->body = high->body = body;
    low->value = body->worldMin[axis];
    high->value = body->worldMax[axis];
    body->minEndpoints[axis] = low;
    body->maxEndpoints[axis] = high;

    RbEndpoint* formerHead = list.head;
    list.PushFront(low);
    list.PushFront(high);
    body->UpdateWorldBounds();
    if (!formerHead || !(low->value < formerHead->value))
        return;

    list.Remove(low);
    list.Remove(high);
    RbEndpoint* e = list.head;
    while (e && !(e->value <= low->value))
        e = e->poolNext;
    list.InsertBefore(low, e);
    // The maximum stays in front of its own minimum even for an empty interval.
    e = formerHead;
    while (e && e != low && !(e->value < high->value))
        e = e->poolNext;
    list.InsertBefore(high, e);
}

void RbAxisList::Remove(RbBody* body) {
    for (RbEndpoint** slot : {&body->minEndpoints[axis], &body->maxEndpoints[axis]}) {
        if (*slot) {
            list.Remove(*slot);
            pool.Return(*slot);
            *slot = nullptr;
        }
    }
}

void RbAxisList::Resort(RbRegion& region) {
    // The old list is consumed from its tail (smallest value first) and each
    // endpoint is inserted into the new list walking from its head: an
    // unchanged order costs one comparison per endpoint.
    RbEndpoint* x = list.tail;
    list = {};
    while (x) {
        RbEndpoint* towardHead = x->poolPrev;
        RbEndpoint* y = list.head;
        while (y) {
            if (y->body == x->body) {
                if (x->isMax)
                    break;
            } else if (y->value <= x->value) {
                break;
            } else if (y->isMax != x->isMax && !(x->body->IsParticle() && y->body->IsParticle())) {
                region.AddOverlapPair(y->body, x->body, bit);
            }
            y = y->poolNext;
        }
        list.InsertBefore(x, y);
        x = towardHead;
    }
}
