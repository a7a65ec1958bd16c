#include "Physics/Simulator/RbNarrowPhase.h"

#include "Physics/Simulator/RbBody.h"

#include <utility>

namespace {

// Candidate geometries of a body with several, when both bodies have several.
constexpr int CandidateCapacity = 100;

// The best contact so far and the geometries that produced it.
struct BestContact {
    RbCollisionResult record;
    bool found = false;

    void Offer(const RbCollisionResult& test, RbGeometry* a, RbGeometry* b) {
        if (!test.hasContact || !(test.depth > (found ? record.depth : 0.0f)))
            return;
        record = test;
        record.geometryA = a;
        record.geometryB = b;
        found = true;
    }
};

struct PlacedBody {
    RbBody* body;
    const RbMatrix4& transform;

    RbMatrix4 Place(const RbGeometry& g) const { return RbCompose(g.localTransform, transform); }
};

bool Touches(RbGeometry* a, const RbMatrix4& transformA, RbGeometry* b, const RbMatrix4& transformB,
             const RbVector& motion) {
    RbCollisionResult test;
    RbTestGeometryPair(test, a, transformA, b, transformB, motion);
    return test.hasContact != 0;
}

void TestAgainstEach(BestContact& best, RbGeometry* single, const PlacedBody& singleBody,
                     const PlacedBody& many, bool singleIsA, const RbVector& motion) {
    RbMatrix4 singleTransform = singleBody.Place(*single);
    for (RbGeometry* g = many.body->geometries.head; g; g = g->poolNext) {
        RbCollisionResult test;
        RbMatrix4 placed = many.Place(*g);
        if (singleIsA) {
            RbTestGeometryPair(test, single, singleTransform, g, placed, motion);
            best.Offer(test, single, g);
        } else {
            RbTestGeometryPair(test, g, placed, single, singleTransform, motion);
            best.Offer(test, g, single);
        }
    }
}

// The geometries of one body that touch the other body's bounds box, in list
// order; at most CandidateCapacity of them.
int GatherCandidates(RbGeometry** out, const PlacedBody& owner, RbGeometry& otherBounds,
                     const RbMatrix4& otherBoundsTransform, bool ownerIsA, const RbVector& motion) {
    int count = 0;
    for (RbGeometry* g = owner.body->geometries.head; g && count < CandidateCapacity; g = g->poolNext) {
        RbMatrix4 placed = owner.Place(*g);
        bool touches = ownerIsA ? Touches(g, placed, &otherBounds, otherBoundsTransform, motion)
                                : Touches(&otherBounds, otherBoundsTransform, g, placed, motion);
        if (touches)
            out[count++] = g;
    }
    return count;
}

void TestCandidates(BestContact& best, const PlacedBody& a, const PlacedBody& b, RbGeometry& boundsA,
                    const RbMatrix4& boundsTransformA, RbGeometry& boundsB, const RbMatrix4& boundsTransformB,
                    const RbVector& motion) {
    RbGeometry* candidatesA[CandidateCapacity];
    RbGeometry* candidatesB[CandidateCapacity];
    int countA = GatherCandidates(candidatesA, a, boundsB, boundsTransformB, true, motion);
    int countB = GatherCandidates(candidatesB, b, boundsA, boundsTransformA, false, motion);
    for (int i = 0; i < countA; ++i) {
        RbMatrix4 placedA = a.Place(*candidatesA[i]);
        for (int j = 0; j < countB; ++j) {
            RbCollisionResult test;
            RbTestGeometryPair(test, candidatesA[i], placedA, candidatesB[j], b.Place(*candidatesB[j]),
                               motion);
            best.Offer(test, candidatesA[i], candidatesB[j]);
        }
    }
}

// Turns the pair test's world points into lever arms and body-frame points.
void FinishRecord(RbCollisionResult& result, const RbMatrix4& transformA, const RbMatrix4& transformB) {
    result.worldPointA = result.pointA;
    result.worldPointB = result.pointB;
    result.pointA -= transformA.Position();
    result.pointB -= transformB.Position();
    result.bodyPointA = RbToFrame(result.pointA, transformA.row);
    result.bodyPointB = RbToFrame(result.pointB, transformB.row);
    result.materialA = result.geometryA->materialIndex;
    if (result.geometryB->kind != RB_GEOMETRY_TRIANGLES)
        result.materialB = result.geometryB->materialIndex;
}

} // namespace

void RbTestGeometries(RbCollisionResult& result, RbBody* bodyA, const RbMatrix4& transformA, RbBody* bodyB,
                      const RbMatrix4& transformB, const RbVector& motion) {
    result.hasContact = 0;
    int countA = bodyA->geometries.count;
    int countB = bodyB->geometries.count;
    if (countA == 0 || countB == 0)
        return;
    PlacedBody a{bodyA, transformA};
    PlacedBody b{bodyB, transformB};
    BestContact best;
    if (countA == 1 && countB == 1) {
        RbGeometry* ga = bodyA->geometries.head;
        RbGeometry* gb = bodyB->geometries.head;
        RbCollisionResult test;
        RbTestGeometryPair(test, ga, a.Place(*ga), gb, b.Place(*gb), motion);
        if (test.hasContact) {
            best.record = test;
            best.record.geometryA = ga;
            best.record.geometryB = gb;
            best.found = true;
        }
    } else {
        RbMatrix4 boundsTransformA = a.Place(bodyA->localBounds);
        RbMatrix4 boundsTransformB = b.Place(bodyB->localBounds);
        if (!Touches(&bodyA->localBounds, boundsTransformA, &bodyB->localBounds, boundsTransformB, motion))
            return;
        if (countA == 1)
            TestAgainstEach(best, bodyA->geometries.head, a, b, true, motion);
        else if (countB == 1)
            TestAgainstEach(best, bodyB->geometries.head, b, a, false, motion);
        else
            TestCandidates(best, a, b, bodyA->localBounds, boundsTransformA, bodyB->localBounds,
                           boundsTransformB, motion);
    }
    if (!best.found)
        return;
    result = best.record;
    FinishRecord(result, transformA, transformB);
}

void RbTestGeometryPair(RbCollisionResult& result, RbGeometry* a, const RbMatrix4& transformA, RbGeometry* b,
                        const RbMatrix4& transformB, const RbVector& /*motion*/) {
    if (a->kind == RB_GEOMETRY_BOX) {
        if (b->kind == RB_GEOMETRY_BOX)
            RbBoxBoxTest(result, *a, transformA, *b, transformB);
        else if (b->kind == RB_GEOMETRY_CYLINDER)
            RbBoxCylinderTest(result, *a, transformA, *b, transformB);
        else if (b->kind == RB_GEOMETRY_TRIANGLES)
            RbBoxTrianglesTest(result, *a, transformA, *b);
    } else if (a->kind == RB_GEOMETRY_CYLINDER) {
        if (b->kind == RB_GEOMETRY_BOX) {
            RbBoxCylinderTest(result, *b, transformB, *a, transformA);
            if (result.hasContact)
                result.Swap();
        } else if (b->kind == RB_GEOMETRY_CYLINDER) {
            RbCylinderCylinderTest(result, *a, transformA, *b, transformB);
        } else if (b->kind == RB_GEOMETRY_TRIANGLES) {
            RbCylinderTrianglesTest(result, *a, transformA, *b);
        }
    }
}
