#pragma once

#include "Physics/Simulator/RbVector.h"

// Inertia tensor diagonals used by the game. The box gives the same value on
// all three axes, from the largest of its sizes.
RbVector RbBoxInertiaTensor(float a, float b, float c, float mass);
RbVector RbBoxInertiaTensorFromVector(const RbVector& sizes, float mass);
// A cylinder along its local y axis.
RbVector RbCylinderInertiaTensor(float diameter, float height, float mass);
