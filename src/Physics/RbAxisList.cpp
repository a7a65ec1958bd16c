#include "Physics/RbAxisList.h"

#include "Physics/RbBody.h"
#include "Physics/RbRegion.h"

bool RbAxisList::Reserve(int axisNumber, int endpointCount, RbAllocator* allocator) {
    axis = axisNumber;
    bit = static_cast<std::uint8_t>(1u << axisNumber);
    head = tail = nullptr;
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

    RbEndpoint* formerHead = head;
    InsertBefore(low, head);
    InsertBefore(high, head);
    body->UpdateWorldBounds();
    if (!formerHead || !(low->value < formerHead->value))
        return;

    Unlink(low);
    Unlink(high);
    RbEndpoint* e = head;
    while (e && !(e->value <= low->value))
        e = e->poolNext;
    InsertBefore(low, e);
    // The maximum stays in front of its own minimum even for an empty interval.
    e = formerHead;
    while (e && e != low && !(e->value < high->value))
        e = e->poolNext;
    InsertBefore(high, e);
}

void RbAxisList::Remove(RbBody* body) {
    for (RbEndpoint** slot : {&body->minEndpoints[axis], &body->maxEndpoints[axis]}) {
        if (*slot) {
            Unlink(*slot);
            pool.Return(*slot);
            *slot = nullptr;
        }
    }
}

void RbAxisList::Resort(RbRegion& region) {
    // The old list is consumed from its tail (smallest value first) and each
    // endpoint is inserted into the new list walking from its head: an
    // unchanged order costs one comparison per endpoint.
    RbEndpoint* x = tail;
    head = tail = nullptr;
    while (x) {
        RbEndpoint* towardHead = x->poolPrev;
        x->poolNext = x->poolPrev = nullptr;
        RbEndpoint* y = head;
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
        InsertBefore(x, y);
        x = towardHead;
    }
}

void RbAxisList::Unlink(RbEndpoint* e) {
    if (e->poolNext)
        e->poolNext->poolPrev = e->poolPrev;
    else
        tail = e->poolPrev;
    if (e->poolPrev)
        e->poolPrev->poolNext = e->poolNext;
    else
        head = e->poolNext;
    e->poolNext = e->poolPrev = nullptr;
}

void RbAxisList::InsertBefore(RbEndpoint* e, RbEndpoint* before) {
    if (!before) {
        e->poolPrev = tail;
        e->poolNext = nullptr;
        if (tail)
            tail->poolNext = e;
        else
            head = e;
        tail = e;
        return;
    }
    e->poolNext = before;
    e->poolPrev = before->poolPrev;
    if (before->poolPrev)
        before->poolPrev->poolNext = e;
    else
        head = e;
    before->poolPrev = e;
}
