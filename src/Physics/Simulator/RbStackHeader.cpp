#include "Physics/Simulator/RbStackHeader.h"

#include "Physics/Simulator/RbSimulator.h"

void RbStackHeader::Append(RbStackInfo* info) {
    members.Append(info);
    info->header = this;
}

void RbStackHeader::Remove(RbStackInfo* info) {
    members.Remove(info);
    info->header = nullptr;
}

void RbStackHeader::Merge(RbStackHeader* destination) {
    while (RbStackInfo* info = members.head) {
        Remove(info);
        destination->Append(info);
    }
}

// Joins member a and the record d of a rigid body that a rests on into one
// stack.
static void Connect(RbSimulator& world, RbStackInfo* a, RbStackInfo* d) {
    RbStackHeader* e = d->header;
    if (e && e->isSingles) {
        // A support resting only on the ground joins the stack like a
        // support without a stack.
        e->Remove(d);
        e = nullptr;
    }
    if (e) {
        if (!a->header) {
            e->Append(a);
        } else if (a->header != e) {
            e->Merge(a->header);
            world.ReleaseStackHeader(e);
        }
    } else if (a->header) {
        a->header->Append(d);
    } else if (RbStackHeader* created = world.AllocStackHeader(a)) {
        created->Append(d);
    }
}

void RbStackHeader::Resolve() {
    RbSimulator& world = *simulator;
    RbArray<RbStackInfo*>& work = world.StackWorkList();
    work.Clear();
    while (RbStackInfo* info = members.head) {
        Remove(info);
        if (!work.Append(info))
            info->body->LeaveStacking();
    }
    for (RbStackInfo* a : work) {
        if (a->unsupported)
            continue;
        for (RbRestRecord& record : a->body->restBlock.records) {
            if (record.state == kRbNoSupport || !record.support->isRigid)
                continue;
            if (RbStackInfo* d = static_cast<RbRigidBody*>(record.support)->stackInfo)
                Connect(world, a, d);
        }
    }
    for (RbStackInfo* a : work)
        if (!a->header)
            a->body->LeaveStacking();
}

void RbStackHeader::Dissolve() {
    RbSimulator& world = *simulator;
    RbStackInfo* only = members.head;
    if (only)
        Remove(only);
    world.ReleaseStackHeader(this);
    if (!only)
        return;
    if (only->supportOnly) {
        only->body->stackInfo = nullptr;
        world.StackInfoPool().Return(only);
    } else {
        world.SingleBodies().Append(only);
    }
}

void RbStackHeader::GatherGroup() {
    RbBodyGroup& group = simulator->ContactGroup();
    for (RbStackInfo* info = members.head; info; info = info->poolNext)
        info->marked = 0;
    for (RbStackInfo* info = members.head; info; info = info->poolNext) {
        if (info->marked)
            continue;
        if (!info->body->group)
            group.Add(info->body);
        if (!info->supportOnly)
            info->MarkConnected(true);
    }
}

int RbStackInfo::MarkConnected(bool link) {
    marked = 1;
    RbBodyGroup& group = body->simulator->ContactGroup();
    for (RbRestRecord& record : body->restBlock.records) {
        if (record.state == kRbNoSupport || !record.support->isRigid)
            continue;
        auto* support = static_cast<RbRigidBody*>(record.support);
        RbStackInfo* s = support->stackInfo;
        if (!s || s->marked)
            continue;
        if (link && !support->group)
            group.Add(support);
        if (!s->supportOnly)
            s->MarkConnected(link);
    }
    return body->BuildRestRows(link);
}
