// Stand-ins for the phases that contacts, resting and stacking will fill:
// the body and terrain collision passes, the stack upkeep, the contact solver
// and the rest decisions. Until then the pipeline runs end to end without
// contacts, and no body ever comes to rest.

#include "Physics/RbNarrowPhase.h"
#include "Physics/RbSimulator.h"

void RbSimulator::CheckBodyCollisions() {}

void RbSimulator::CheckTerrainCollisions() {}

void RbSimulator::ResetStackFlags() {}

void RbSimulator::SolveStacks() {}

void RbSimulator::ResolveContacts() {}

bool RbRigidBody::HoldAtRest() {
    return true;
}

void RbRigidBody::UpdateRestState() {}

void RbBoxCylinderTest(RbCollisionResult& result, const RbGeometry&, const RbMatrix4&, const RbGeometry&,
                       const RbMatrix4&) {
    result.hasContact = 0;
}

void RbCylinderCylinderTest(RbCollisionResult& result, const RbGeometry&, const RbMatrix4&, const RbGeometry&,
                            const RbMatrix4&) {
    result.hasContact = 0;
}

void RbBoxTrianglesTest(RbCollisionResult& result, const RbGeometry&, const RbMatrix4&, const RbGeometry&) {
    result.hasContact = 0;
}

void RbCylinderTrianglesTest(RbCollisionResult& result, const RbGeometry&, const RbMatrix4&,
                             const RbGeometry&) {
    result.hasContact = 0;
}
