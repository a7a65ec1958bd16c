#pragma once

#include "Physics/Simulator/RbVector.h"

#include <cstdint>

struct RbBody;
struct RbGeometry;

// The contact report handed to the collision callback; valid only during the
// call. Types: 1 rigid (rigid bodies and particles), 2 animated, 0 terrain.
struct RbCollisionInfo {
    RbBody* bodyA = nullptr;
    RbBody* bodyB = nullptr;
    std::int32_t typeA = 0;
    std::int32_t typeB = 0;
    RbGeometry* geometryA = nullptr;
    RbGeometry* geometryB = nullptr;
    std::int32_t materialIdA = 0;
    std::int32_t materialIdB = 0;
    RbVector bodyContactPointA;
    RbVector bodyContactPointB;
    RbVector worldContactPointA;
    RbVector worldContactPointB;
    RbVector relativeVelocity;
    RbVector collisionNormal;
};
