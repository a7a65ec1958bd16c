#pragma once

#include "Physics/Simulator/RbVector.h"

struct RbBody;
struct RbCollisionInfo;
struct RbTriangle;

// Receives every contact whose collision-table code has bit 1 set.
using RbCollisionCallback = void (*)(RbCollisionInfo* info);

// Gathers the terrain triangles near a body's world box: candidate triangle
// numbers, the triangle and vertex arrays they index, and both counts.
using RbTerrainQueryCallback = void (*)(const RbVector& boxMin, const RbVector& boxMax,
                                        const int** candidates, const RbTriangle** triangles,
                                        const RbVector** vertices, int* candidateCount, int* triangleCount,
                                        RbBody* body);

// Receives the world's messages ("Run out of ...") with their level.
using RbLogCallback = void (*)(int level, const char* message, void* context);
