#include "Physics/Simulator/RbBodyGroup.h"

#include "Physics/Simulator/RbRigidBody.h"

void RbBodyGroup::Add(RbBody* body) {
    bodies.Append(body);
    body->group = this;
}

void RbBodyGroup::Clear() {
    while (RbBody* body = bodies.head) {
        bodies.Remove(body);
        body->group = nullptr;
    }
}

bool RbBodyGroup::AllIdle() {
    bool idle = true;
    for (RbBody* body = bodies.head; body; body = body->groupNext)
        if (body->isRigid && !static_cast<RbRigidBody*>(body)->IsIdle())
            idle = false;
    return idle;
}

void RbBodyGroup::PutToRest(bool checkDrift) {
    for (RbBody* body = bodies.head; body; body = body->groupNext) {
        if (!body->isRigid)
            continue;
        auto* rigid = static_cast<RbRigidBody*>(body);
        if (!checkDrift || rigid->CheckRestDrift())
            rigid->PutToRest();
    }
}
