#pragma once

#include "Physics/Simulator/RbBody.h"

using RbGroupBodyList = RbList<RbBody, RbBody, &RbBody::groupNext, &RbBody::groupPrev>;

// The bodies of the stack being solved by the contact phase.
struct RbBodyGroup {
    RbGroupBodyList bodies;

    void Add(RbBody* body);
    // Unlinks every body (group null) and empties the group.
    void Clear();
    // True when every rigid body is idle; every body is tested, since the
    // test renews a moving body's idle reference.
    bool AllIdle();
    // Puts every rigid body to rest, skipping, with checkDrift, those whose
    // support points drifted.
    void PutToRest(bool checkDrift);
};
