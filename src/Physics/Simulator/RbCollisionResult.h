#pragma once

#include "Physics/Simulator/RbMatrix.h"

#include <cstdint>

struct RbBody;
struct RbGeometry;
struct RbRigidBody;

enum ERbRowKind : std::int32_t {
    RB_ROW_COLLISION = 1,
    RB_ROW_RESTING = 2,
};

// One point contact between two bodies, from the narrow phase to the solver.
// The normal points from B toward A; pointA and pointB are world points from
// the pair tests, then lever arms (point minus body centre, world axes).
struct RbCollisionResult {
    RbVector pointA;
    RbVector pointB;
    RbVector bodyPointA;
    RbVector bodyPointB;
    RbVector worldPointA;
    RbVector worldPointB;
    RbVector tangent1;
    RbVector tangent2;
    RbVector normal;
    // Columns tangent1, tangent2, normal: world vector = frameToWorld * frame vector.
    RbMatrix3 frameToWorld;
    RbVector relativeVelocity;
    RbVector frameVelocity;
    std::int32_t materialA = 0;
    std::int32_t materialB = 0;
    float depth = 0.0f;
    std::int32_t hasContact = 0;
    RbBody* bodyA = nullptr;
    RbBody* bodyB = nullptr;
    float relativeSpeed = 0.0f;
    RbGeometry* geometryA = nullptr;
    RbGeometry* geometryB = nullptr;
    // K and its inverse in the contact frame.
    RbMatrix3 collisionMatrix = RbMatrix3::Zero();
    RbMatrix3 inverseCollisionMatrix = RbMatrix3::Zero();
    ERbRowKind kind = RB_ROW_COLLISION;

    // Contact frame and collision matrix; an excluded or non-rigid side is
    // immovable.
    void Prepare(bool excludeA, bool excludeB);
    // True when the row can be skipped because its bodies rest; drops a
    // resting side from a row whose other rigid body is awake.
    bool Validate();
    // Exchanges the roles of A and B: the normal is negated, points and
    // geometries swap places.
    void Swap();

private:
    void ComputeCollisionMatrix(const RbRigidBody* a, const RbRigidBody* b);
};

// Two tangents completing a unit normal to a right-handed frame
// (tangent1 x tangent2 = normal); zero tangents for a zero normal.
void RbFrameFromNormal(const RbVector& normal, RbVector& tangent1, RbVector& tangent2);
