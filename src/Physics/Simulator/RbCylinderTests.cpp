// Pair tests with cylinders, which collide as capsules: the points within
// their radius of the axis segment along local y.

#include "Physics/Simulator/RbClosestPoints.h"
#include "Physics/Simulator/RbGeometry.h"
#include "Physics/Simulator/RbNarrowPhase.h"

#include <cmath>

namespace {

void SetContact(RbCollisionResult& result, float depth, const RbVector& normal, const RbVector& pointA,
                const RbVector& pointB) {
    result.hasContact = 1;
    result.depth = depth;
    result.normal = normal;
    result.pointA = pointA;
    result.pointB = pointB;
}

// A unit vector across the given axis, for contacts whose two points coincide.
RbVector AnyPerpendicular(const RbVector& axis) {
    RbVector t1, t2;
    RbFrameFromNormal(RbSafeNormalise(axis), t1, t2);
    return RbLengthSquared(t1) > 0.0f ? t1 : RbVector(0, 0, 1);
}

struct Capsule {
    RbVector top;
    RbVector bottom;
    RbVector axis;
    float radius;
    float length; // 2 half heights

    Capsule(const RbGeometry& g, const RbMatrix4& t)
        : top(t.row[3] + t.row[1] * g.halfHeight), bottom(t.row[3] - t.row[1] * g.halfHeight), axis(t.row[1]),
          radius(g.radius), length(2.0f * g.halfHeight) {}
};

// A candidate of the end checks: the point SA on A's axis and SB on B's.
void OfferEndContact(RbCollisionResult& result, const Capsule& a, const Capsule& b, const RbVector& sa,
                     const RbVector& sb, const RbVector& fallbackNormal) {
    float depth = a.radius + b.radius - RbSafeLength(sa - sb);
    if (!(depth > 0.0f) || !(depth > result.depth))
        return;
    RbVector normal = RbSafeNormalise(sa - sb);
    if (RbLengthSquared(normal) == 0.0f)
        normal = fallbackNormal;
    SetContact(result, depth, normal, sa - normal * a.radius, sb + normal * b.radius);
}

// End e of one capsule against the other capsule's axis or nearer end.
void EndCheck(RbCollisionResult& result, const Capsule& a, const Capsule& b, const RbVector& end,
              bool endOfA) {
    const Capsule& other = endOfA ? b : a;
    float t = RbDot(other.axis, end - other.bottom);
    RbVector point;
    RbVector fallback;
    if (t < 0.0f || t > other.length) {
        point = t < 0.0f ? other.bottom : other.top;
        fallback = b.axis;
    } else {
        RbVector u = RbSafeNormalise(other.bottom - other.top);
        point = other.top + u * RbDot(end - other.top, u);
        fallback = AnyPerpendicular(other.axis) * (endOfA ? 1.0f : -1.0f);
    }
    if (endOfA)
        OfferEndContact(result, a, b, end, point, fallback);
    else
        OfferEndContact(result, a, b, point, end, fallback);
}

} // namespace

void RbBoxCylinderTest(RbCollisionResult& result, const RbGeometry& box, const RbMatrix4& boxTransform,
                       const RbGeometry& cylinder, const RbMatrix4& cylinderTransform) {
    result.hasContact = 0;
    const RbVector& h = box.halfExtents;
    RbVector centre = RbToFrame(cylinderTransform.row[3] - boxTransform.row[3], boxTransform.row);
    RbVector axis = RbToFrame(cylinderTransform.row[1], boxTransform.row);
    RbVector segmentPoint, boxPoint;
    RbSegmentBoxClosestPoints(centre - axis * cylinder.halfHeight, centre + axis * cylinder.halfHeight, h,
                              segmentPoint, boxPoint);
    RbVector l = RbTransformPoint(segmentPoint, boxTransform);
    RbVector q = RbTransformPoint(boxPoint, boxTransform);
    float d = RbSafeLength(q - l);
    if (!(d <= cylinder.radius))
        return;
    RbVector normal;
    if (d > 0.0f) {
        normal = (q - l) * (1.0f / d);
    } else {
        // The axis runs through the box: push the box off along the face
        // axis of least penetration, away from the axis point.
        int k = 0;
        float least = h[0] - std::fabs(segmentPoint[0]);
        for (int i = 1; i < 3; ++i) {
            float margin = h[i] - std::fabs(segmentPoint[i]);
            if (margin < least) {
                least = margin;
                k = i;
            }
        }
        normal = boxTransform.row[k] * (segmentPoint[k] > 0.0f ? -1.0f : 1.0f);
        normal.w = 0.0f;
    }
    SetContact(result, cylinder.radius - d, normal, q, l + normal * cylinder.radius);
}

void RbCylinderCylinderTest(RbCollisionResult& result, const RbGeometry& ga, const RbMatrix4& transformA,
                            const RbGeometry& gb, const RbMatrix4& transformB) {
    result.hasContact = 0;
    Capsule a(ga, transformA);
    Capsule b(gb, transformB);
    RbVector across = RbCross(a.axis, b.axis);
    RbSegmentPoints closest;
    if (RbSafeLength(across) >= 1e-6f && RbSegmentClosestPoints(a.top, a.bottom, b.top, b.bottom, closest) &&
        closest.inside) {
        float depth = a.radius + b.radius - closest.distance;
        if (!(depth > 0.0f))
            return;
        RbVector normal;
        if (closest.distance > 0.0f) {
            normal = (closest.pointA - closest.pointB) * (1.0f / closest.distance);
        } else {
            // Intersecting axes: across both, toward A's centre.
            normal = RbSafeNormalise(across);
            if (RbDot(normal, transformA.row[3] - transformB.row[3]) < 0.0f)
                normal = -normal;
        }
        SetContact(result, depth, normal, closest.pointA - normal * a.radius,
                   closest.pointB + normal * b.radius);
        return;
    }
    result.depth = -1000000.0f;
    EndCheck(result, a, b, a.top, true);
    EndCheck(result, a, b, a.bottom, true);
    EndCheck(result, a, b, b.top, false);
    EndCheck(result, a, b, b.bottom, false);
}
