// Stacking: rigid bodies resting on other rigid bodies are grouped into
// stacks, kept up to date every step and rebuilt in turns while unsettled.

#include "Physics/Simulator/RbSimulator.h"
#include "Physics/Simulator/RbStackHeader.h"

namespace {

const char* const StackFullMessage = "Stacking Buffer full Error. Please contact techincal support\n";

RbRigidBody* RigidSupport(const RbRestRecord& filled) {
    return filled.support->isRigid ? static_cast<RbRigidBody*>(filled.support) : nullptr;
}

} // namespace

RbStackInfo* RbSimulator::TakeStackInfo(RbRigidBody* body, int supportOnly) {
    RbStackInfo* info = stackInfoPool.Take();
    if (!info) {
        Log(1, "%s", StackFullMessage);
        return nullptr;
    }
    info->header = nullptr;
    info->body = body;
    info->supportOnly = supportOnly;
    info->unsupported = 0;
    info->marked = 0;
    return info;
}

RbStackHeader* RbSimulator::AllocStackHeader(RbStackInfo* info) {
    RbStackHeader* header = stackHeaderPool.Take();
    if (!header) {
        Log(1, "%s", StackFullMessage);
        return nullptr;
    }
    stackHeaders.Append(header);
    header->members = {};
    header->isSingles = 0;
    header->allResting = 0;
    header->simulator = this;
    if (info)
        header->Append(info);
    return header;
}

void RbSimulator::ReleaseStackHeader(RbStackHeader* header) {
    if (header->isSingles || !header->inUse)
        return;
    stackHeaders.Remove(header);
    stackHeaderPool.Return(header);
}

bool RbRigidBody::NewStackInfo(const RbRestRecord& filled) {
    RbStackInfo* info = simulator->TakeStackInfo(this, 0);
    stackInfo = info;
    if (!info)
        return false;
    AddRestRecord(filled);
    RbRigidBody* support = RigidSupport(filled);
    if (!support) {
        simulator->SingleBodies().Append(info);
        return true;
    }
    RbStackInfo* s = support->stackInfo;
    if (!s) {
        RbStackHeader* header = simulator->AllocStackHeader(info);
        if (!header) {
            simulator->SingleBodies().Append(info);
            return false;
        }
        return support->JoinStackAsSupport(header);
    }
    if (s->header->isSingles) {
        s->header->Remove(s);
        RbStackHeader* header = simulator->AllocStackHeader(info);
        if (!header) {
            simulator->SingleBodies().Append(s);
            simulator->SingleBodies().Append(info);
            return false;
        }
        header->Append(s);
    } else {
        s->header->Append(info);
    }
    if (!support->group)
        support->WakeUp();
    return true;
}

bool RbRigidBody::JoinStackAsSupport(RbStackHeader* header) {
    RbStackInfo* info = simulator->TakeStackInfo(this, 1);
    stackInfo = info;
    if (!info)
        return false;
    header->Append(info);
    return true;
}

bool RbRigidBody::AddStackContact(const RbRestRecord& filled) {
    if (!stackInfo)
        return NewStackInfo(filled);
    RbStackInfo* m = stackInfo;
    m->supportOnly = 0;
    AddRestRecord(filled);
    RbRigidBody* support = RigidSupport(filled);
    if (!support)
        return true;
    RbStackHeader& singles = simulator->SingleBodies();
    RbStackInfo* s = support->stackInfo;
    if (!s) {
        if (m->header == &singles) {
            singles.Remove(m);
            if (!simulator->AllocStackHeader(m)) {
                singles.Append(m);
                return false;
            }
        }
        return support->JoinStackAsSupport(m->header);
    }
    if (s->header == &singles) {
        singles.Remove(s);
        if (m->header == &singles) {
            singles.Remove(m);
            RbStackHeader* header = simulator->AllocStackHeader(m);
            if (!header) {
                singles.Append(m);
                singles.Append(s);
                return false;
            }
        }
        m->header->Append(s);
    } else if (m->header == &singles) {
        singles.Remove(m);
        s->header->Append(m);
    } else if (m->header != s->header) {
        RbStackHeader* merged = s->header;
        merged->Merge(m->header);
        simulator->ReleaseStackHeader(merged);
    }
    return true;
}

void RbRigidBody::ReleaseStackInfo() {
    if (!stackInfo)
        return;
    if (stackInfo->header)
        stackInfo->header->Remove(stackInfo);
    simulator->StackInfoPool().Return(stackInfo);
    stackInfo = nullptr;
}

void RbRigidBody::LeaveStacking() {
    ReleaseStackInfo();
    for (RbRestRecord& record : restBlock.records)
        if (record.state != kRbNoSupport)
            record.Drop();
}

void RbSimulator::SolveStacks() {
    groupList.Clear();
    for (RbStackHeader* header = stackHeaders.head; header; header = header->poolNext) {
        header->allResting = 1;
        for (RbStackInfo* info = header->members.head; info; info = info->poolNext) {
            if (info->body->restState != kRbResting || info->body->contactLastStep) {
                header->allResting = 0;
                break;
            }
        }
        if (!header->allResting)
            groupList.Append(header);
    }
    for (RbBodyLists* lists : {&rigidLists, &particleLists}) {
        for (RbBody* b = lists->active.head; b; b = b->poolNext) {
            auto* body = static_cast<RbRigidBody*>(b);
            if (!body->stackInfo || body->stackInfo->supportOnly)
                continue;
            int kept = body->CheckRestingContacts();
            body->contactLastStep = 0;
            if (kept == 0 && body->stackInfo->header == &singleBodies)
                body->ReleaseStackInfo();
            if (kept <= 1 && body->restState == kRbResting && !body->group)
                body->WakeUp();
        }
    }
    int turn = stepCounter % 5;
    for (std::size_t i = static_cast<std::size_t>(turn); i < groupList.Count(); i += 5) {
        RbStackHeader* header = groupList[i];
        // A stack merged away by an earlier rebuild of this step is gone.
        if (!header->inUse || header->allResting)
            continue;
        header->Resolve();
        ReleaseStackHeader(header);
    }
    for (RbStackHeader* header = stackHeaders.head; header;) {
        RbStackHeader* next = header->poolNext;
        if (header->members.count == 0)
            ReleaseStackHeader(header);
        header = next;
    }
}
