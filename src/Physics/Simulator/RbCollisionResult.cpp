#include "Physics/Simulator/RbCollisionResult.h"

#include "Physics/Simulator/RbRigidBody.h"

#include <cmath>
#include <utility>

void RbFrameFromNormal(const RbVector& n, RbVector& tangent1, RbVector& tangent2) {
    if (RbLengthSquared(n) < 1e-6f) {
        // The last branch would divide by a zero z.
        tangent1 = tangent2 = {};
        return;
    }
    float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    RbVector t;
    if (ax > ay && ax > az)
        t = {-(n.y + n.z) / n.x, 1.0f, 1.0f};
    else if (ax > ay)
        t = {1.0f, 1.0f, -(n.x + n.y) / n.z};
    else if (ay > az)
        t = {1.0f, -(n.x + n.z) / n.y, 1.0f};
    else
        t = {1.0f, 1.0f, -(n.x + n.y) / n.z};
    tangent1 = RbSafeNormalise(t);
    tangent2 = RbCross(n, tangent1);
}

static const RbRigidBody* MovableSide(const RbBody* body, bool excluded) {
    if (!body || !body->isRigid || excluded)
        return nullptr;
    return static_cast<const RbRigidBody*>(body);
}

void RbCollisionResult::Prepare(bool excludeA, bool excludeB) {
    RbFrameFromNormal(normal, tangent1, tangent2);
    for (int i = 0; i < 3; ++i)
        frameToWorld.row[i] = {tangent1[i], tangent2[i], normal[i]};
    ComputeCollisionMatrix(MovableSide(bodyA, excludeA), MovableSide(bodyB, excludeB));
}

void RbCollisionResult::ComputeCollisionMatrix(const RbRigidBody* bodyOfA, const RbRigidBody* bodyOfB) {
    float inverseMass = (bodyOfA ? bodyOfA->inverseMass : 0.0f) + (bodyOfB ? bodyOfB->inverseMass : 0.0f);
    RbMatrix3 k = RbMatrix3::Diagonal(inverseMass, inverseMass, inverseMass);
    auto subtractRotational = [&k](const RbRigidBody* body, const RbVector& r) {
        if (!body)
            return;
        RbMatrix3 cross = RbCrossMatrix(r);
        RbMatrix3 term = RbMultiply(RbMultiply(cross, body->inverseWorldInertia), cross);
        for (int i = 0; i < 3; ++i)
            k.row[i] -= term.row[i];
    };
    subtractRotational(bodyOfA, pointA);
    subtractRotational(bodyOfB, pointB);
    collisionMatrix = RbMultiply(RbMultiply(RbTranspose(frameToWorld), k), frameToWorld);
    inverseCollisionMatrix = RbInverse(collisionMatrix);
}

bool RbCollisionResult::Validate() {
    if (relativeSpeed > 1.0f)
        return false;
    auto* a = bodyA && bodyA->isRigid ? static_cast<RbRigidBody*>(bodyA) : nullptr;
    auto* b = bodyB && bodyB->isRigid ? static_cast<RbRigidBody*>(bodyB) : nullptr;
    if (a && a->restState == kRbResting) {
        if (!b || b->restState == kRbResting)
            return true;
        bodyA = nullptr;
        return false;
    }
    if (b && b->restState == kRbResting && a)
        bodyB = nullptr;
    return false;
}

void RbCollisionResult::Swap() {
    normal = -normal;
    std::swap(pointA, pointB);
    std::swap(geometryA, geometryB);
}
