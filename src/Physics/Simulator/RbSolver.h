#pragma once

#include "Physics/Simulator/RbCollisionResult.h"

class RbSimulator;

// The contact solver: impulses with Coulomb friction and restitution for
// collision rows at detection, and for resting rows in the contact phase,
// each against the current velocities of the row's rigid bodies.

enum ERbSolveMode : int {
    RB_SOLVE_COLLISION = 1,
    RB_SOLVE_RESTING = 2,
};

// relativeVelocity, frameVelocity and relativeSpeed of a row from the current
// velocities of its rigid bodies (a side that is not rigid stands still).
void RbUpdateRowVelocity(RbCollisionResult& row);

// The impulse in the contact frame (tangent1, tangent2, normal) that stops the
// contact or, when that needs more than friction allows, slides it along the
// friction cone. No impulse for a matrix without a usable normal term.
RbVector RbContactImpulse(const RbSimulator& world, const RbCollisionResult& row, bool noRestitution);

// Mode 1 applies one collision impulse to approaching bodies (without waking
// them); mode 2 solves a resting row once. Always returns 0.
float RbResolveCollision(RbSimulator& world, RbBody* bodyA, RbBody* bodyB, RbCollisionResult& row,
                         ERbSolveMode mode, float scale);

// One resting-row solve: stops the approach and, in the position pass, pushes
// a penetrating body out. Returns the correction speed applied, or 0.
float RbSolveRestingRow(RbSimulator& world, RbCollisionResult& row);

// Refreshes a resting row's velocities and solves it.
float RbSolveRow(RbSimulator& world, RbCollisionResult& row);
