#include "Physics/Simulator/RbRestRecord.h"

#include "Physics/Simulator/RbBody.h"

void RbRestRecord::Drop() {
    state = kRbNoSupport;
    stepCreated = 0;
    if (support)
        support->supportedRecords.Remove(this);
    support = nullptr;
}
