#pragma once

#include "Physics/Simulator/RbCollisionResult.h"

struct RbBody;
struct RbGeometry;
struct RbTriangleData;

// The deepest contact between any geometry of body A and any geometry of body
// B; the record is finished with lever arms, body-frame points and materials.
// The motion vector is handed on to the pair tests, which do not read it.
void RbTestGeometries(RbCollisionResult& result, RbBody* bodyA, const RbMatrix4& transformA, RbBody* bodyB,
                      const RbMatrix4& transformB, const RbVector& motion);

// One geometry pair in world placement, dispatched on the two kinds.
void RbTestGeometryPair(RbCollisionResult& result, RbGeometry* a, const RbMatrix4& transformA, RbGeometry* b,
                        const RbMatrix4& transformB, const RbVector& motion);

// The pair tests. Each clears hasContact and reports at most one contact with
// a unit normal from B toward A, a positive depth and pointB = pointA + depth
// * normal (world points).
void RbBoxBoxTest(RbCollisionResult& result, const RbGeometry& a, const RbMatrix4& transformA,
                  const RbGeometry& b, const RbMatrix4& transformB);
void RbBoxCylinderTest(RbCollisionResult& result, const RbGeometry& box, const RbMatrix4& boxTransform,
                       const RbGeometry& cylinder, const RbMatrix4& cylinderTransform);
void RbCylinderCylinderTest(RbCollisionResult& result, const RbGeometry& a, const RbMatrix4& transformA,
                            const RbGeometry& b, const RbMatrix4& transformB);
void RbBoxTrianglesTest(RbCollisionResult& result, const RbGeometry& box, const RbMatrix4& boxTransform,
                        const RbGeometry& triangles);
void RbCylinderTrianglesTest(RbCollisionResult& result, const RbGeometry& cylinder,
                             const RbMatrix4& cylinderTransform, const RbGeometry& triangles);

// True when the point lies inside the triangle's projection along its
// dominant normal axis (a point on an edge counts as inside).
bool RbPointInTriangle(const RbTriangleData& triangle, const RbVector& point);
