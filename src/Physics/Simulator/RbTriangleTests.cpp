// Boxes and cylinders against the terrain triangles near them. Triangles are
// two-sided; each test keeps the single deepest triangle contact.

#include "Physics/Simulator/RbClosestPoints.h"
#include "Physics/Simulator/RbNarrowPhase.h"
#include "Physics/Simulator/RbTriangleData.h"

#include <algorithm>
#include <cmath>

namespace {

struct TriangleContact {
    RbVector pointA;
    RbVector pointB;
    RbVector normal;
    float depth = 0.0f;
    bool found = false;

    void Set(const RbVector& a, const RbVector& b, const RbVector& n, float d) {
        pointA = a;
        pointB = b;
        normal = n;
        depth = d;
        found = true;
    }
};

struct BoxData {
    RbVector centre;
    RbVector axis[3];
    RbVector scaled[3];
    float half[3];

    BoxData(const RbGeometry& box, const RbMatrix4& t) : centre(t.row[3]) {
        centre.w = 0.0f;
        for (int i = 0; i < 3; ++i) {
            axis[i] = t.row[i];
            axis[i].w = 0.0f;
            half[i] = box.halfExtents[i];
            scaled[i] = axis[i] * half[i];
        }
    }
};

struct CylinderData {
    RbVector centre;
    RbVector axis;
    float radius;
    float radiusSquared;
    float halfHeight;
    RbVector top;
    RbVector bottom;

    CylinderData(const RbGeometry& g, const RbMatrix4& t)
        : centre(t.row[3]), axis(t.row[1]), radius(g.radius), radiusSquared(g.radiusSquared),
          halfHeight(g.halfHeight) {
        centre.w = axis.w = 0.0f;
        top = centre + axis * halfHeight;
        bottom = centre - axis * halfHeight;
    }
};

float SignOf(float value) {
    return value > 0.0f ? 1.0f : -1.0f;
}

// The triangle normal axis. False when it separates.
bool BoxPlaneAxis(const BoxData& box, const RbTriangleData& tri, TriangleContact& contact) {
    float s = RbDot(tri.normal, box.centre) - tri.offset;
    RbVector m = s >= 0.0f ? tri.normal : -tri.normal;
    float reach = 0.0f;
    RbVector corner = box.centre;
    for (int i = 0; i < 3; ++i) {
        float projection = RbDot(box.scaled[i], m);
        float sigma = SignOf(projection);
        reach += sigma * projection;
        corner -= box.scaled[i] * sigma;
    }
    float depth = reach - std::fabs(s);
    if (depth < 0.0f)
        return false;
    if (depth < contact.depth)
        contact.Set(corner, corner + m * depth, m, depth);
    return true;
}

// The three box face axes. False when one separates.
bool BoxFaceAxes(const BoxData& box, const RbTriangleData& tri, TriangleContact& contact) {
    TriangleContact scratch;
    scratch.depth = contact.depth;
    for (int k = 0; k < 3; ++k) {
        int low = 0, high = 0;
        float projection[3];
        for (int j = 0; j < 3; ++j) {
            projection[j] = RbDot(tri.vertex[j], box.axis[k]);
            if (projection[j] < projection[low])
                low = j;
            if (projection[j] > projection[high])
                high = j;
        }
        float c = RbDot(box.centre, box.axis[k]);
        float lo = c - box.half[k], hi = c + box.half[k];
        if (projection[low] >= hi || projection[high] <= lo)
            return false;
        float fromAbove = hi - projection[low];
        float fromBelow = projection[high] - lo;
        RbVector normal = fromBelow <= fromAbove ? box.axis[k] : -box.axis[k];
        float depth = fromBelow <= fromAbove ? fromBelow : fromAbove;
        const RbVector& v = tri.vertex[fromBelow <= fromAbove ? high : low];
        if (depth < scratch.depth)
            scratch.Set(v, v + normal * depth, normal, depth);
    }
    if (scratch.found)
        contact = scratch;
    return true;
}

struct EdgeCandidate {
    float depth;
    bool found = false;
    RbVector normal;
    RbVector boxEdge[2];
    RbVector triangleEdge[2];
};

// The nine box-axis x triangle-edge axes. False when one separates.
bool BoxEdgeAxes(const BoxData& box, const RbTriangleData& tri, EdgeCandidate& best) {
    for (int i = 0; i < 3; ++i) {
        const RbVector& a1 = box.scaled[(i + 1) % 3];
        const RbVector& a2 = box.scaled[(i + 2) % 3];
        for (int j = 0; j < 3; ++j) {
            RbVector e = RbSafeNormalise(tri.edge[j]);
            if (!RbAnyComponentAtLeast(e, 1e-6f))
                continue;
            RbVector axis = RbCross(box.axis[i], e);
            if (!RbAnyComponentAtLeast(axis, 1e-6f))
                continue;
            axis = RbSafeNormalise(axis);
            if (!RbAnyComponentAtLeast(axis, 1e-6f))
                continue;
            float c = RbDot(box.centre, axis);
            float r1 = RbDot(a1, axis), r2 = RbDot(a2, axis);
            float g1 = r1 >= 0.0f ? 1.0f : -1.0f, g2 = r2 >= 0.0f ? 1.0f : -1.0f;
            float reach = g1 * r1 + g2 * r2;
            float lo = c - reach, hi = c + reach;
            float p = RbDot(tri.vertex[j], axis), q = RbDot(tri.vertex[(j + 2) % 3], axis);
            float low = std::fmin(p, q), high = std::fmax(p, q);
            if (!(low < hi && high > lo))
                return false;
            bool edgeLow = low == p;
            float depth = edgeLow ? hi - low : high - lo;
            if (depth < best.depth) {
                RbVector centre = edgeLow ? box.centre + a1 * g1 + a2 * g2 : box.centre - a1 * g1 - a2 * g2;
                best.depth = depth;
                best.normal = edgeLow ? -axis : axis;
                best.boxEdge[0] = centre + box.scaled[i];
                best.boxEdge[1] = centre - box.scaled[i];
                best.triangleEdge[0] = tri.vertex[j];
                best.triangleEdge[1] = tri.vertex[(j + 1) % 3];
                best.found = true;
            }
        }
    }
    return true;
}

bool BoxTriangleTest(const BoxData& box, const RbTriangleData& tri, TriangleContact& contact) {
    contact.depth = 100000.0f;
    contact.found = false;
    if (!BoxPlaneAxis(box, tri, contact) || !BoxFaceAxes(box, tri, contact))
        return false;
    EdgeCandidate edge;
    edge.depth = contact.depth;
    if (!BoxEdgeAxes(box, tri, edge))
        return false;
    RbSegmentPoints closest;
    if (edge.found &&
        RbSegmentClosestPoints(edge.boxEdge[0], edge.boxEdge[1], edge.triangleEdge[0], edge.triangleEdge[1],
                               closest) &&
        closest.inside)
        contact.Set(closest.pointA, closest.pointB, edge.normal, edge.depth);
    return contact.found;
}

// The point of the segment from..to nearest to a point: its foot on the
// segment's line, held within the segment. A foot beyond the segment would
// put the contact on the line's extension, where there is nothing to touch.
RbVector SegmentFoot(const RbVector& point, const RbVector& from, const RbVector& to) {
    RbVector direction = RbSafeNormalise(to - from);
    float along = std::clamp(RbDot(point - from, direction), 0.0f, RbSafeLength(to - from));
    return from + direction * along;
}

// One candidate of a cylinder against a triangle edge from p to q.
void CylinderEdge(const CylinderData& cyl, const RbVector& p, const RbVector& q, const RbVector& facing,
                  TriangleContact& contact) {
    RbSegmentPoints closest;
    if (!RbSegmentClosestPoints(cyl.top, cyl.bottom, p, q, closest))
        return;
    float lineDepth = cyl.radius - closest.distance;
    if (lineDepth <= 0.0f || !(lineDepth < contact.depth))
        return;
    float depth;
    RbVector normal, onAxis, onEdge;
    if (closest.inside) {
        depth = lineDepth;
        normal = RbSafeNormalise(RbCross(cyl.axis, p - q));
        if (RbDot(normal, closest.pointA - closest.pointB) < 0.0f)
            normal = -normal;
        onAxis = closest.pointA;
        onEdge = closest.pointB;
    } else if (closest.mua > 0.0f && closest.mua < 1.0f) {
        onEdge = closest.mub > 0.0f ? q : p;
        onAxis = SegmentFoot(onEdge, cyl.top, cyl.bottom);
        depth = cyl.radius - RbSafeLength(onEdge - onAxis);
        normal = RbSafeNormalise(onAxis - onEdge);
    } else {
        onAxis = closest.mua <= 0.0f ? cyl.top : cyl.bottom;
        if (closest.mub > 0.0f && closest.mub < 1.0f) {
            onEdge = SegmentFoot(onAxis, p, q);
        } else {
            onEdge = closest.mub <= 0.0f ? p : q;
            if (!(RbLengthSquared(onAxis - onEdge) < cyl.radiusSquared))
                return;
        }
        depth = cyl.radius - RbSafeLength(onAxis - onEdge);
        normal = RbSafeNormalise(onAxis - onEdge);
    }
    if (!(depth > 0.0f) || !(depth < contact.depth))
        return;
    // Coinciding points give no direction; the triangle's face gives one.
    if (RbLengthSquared(normal) == 0.0f)
        normal = facing;
    contact.Set(onAxis - normal * cyl.radius, onEdge, normal, depth);
}

// The face step; false when the plane separates.
bool CylinderFace(const CylinderData& cyl, const RbTriangleData& tri, TriangleContact& contact) {
    float s = RbDot(tri.normal, cyl.centre) - tri.offset;
    RbVector m = s >= 0.0f ? -tri.normal : tri.normal;
    if (std::fabs(s) >= cyl.radius + cyl.halfHeight)
        return false;
    float b = cyl.halfHeight * RbDot(cyl.axis, m);
    RbVector end = b > 0.0f ? cyl.top : cyl.bottom;
    RbVector deepest = end + m * cyl.radius;
    float depth = cyl.radius + std::fabs(b) - std::fabs(s);
    if (depth <= 0.0f)
        return false;
    if (!(depth < contact.depth))
        return true;
    RbVector onPlane = deepest - m * depth;
    if (!RbPointInTriangle(tri, onPlane))
        return true;
    RbVector w = deepest - cyl.centre;
    float n = RbDot(w, m);
    if (std::fabs(n) >= 1e-6f &&
        !RbPointInTriangle(tri, cyl.centre + w * (RbDot(tri.vertex[0] - cyl.centre, m) / n)))
        return true;
    contact.Set(deepest, onPlane, -m, depth);
    return true;
}

bool CylinderTriangleTest(const CylinderData& cyl, const RbTriangleData& tri, TriangleContact& contact) {
    contact.depth = 1000000.0f;
    contact.found = false;
    if (!CylinderFace(cyl, tri, contact))
        return false;
    if (contact.found)
        return true;
    float s = RbDot(tri.normal, cyl.centre) - tri.offset;
    RbVector facing = s >= 0.0f ? tri.normal : -tri.normal;
    for (int j = 0; j < 3; ++j)
        CylinderEdge(cyl, tri.vertex[j], tri.vertex[(j + 1) % 3], facing, contact);
    return contact.found;
}

// The deepest contact over the set's triangles of mode 0, the earlier one on
// equal depths.
template <class Shape, class Test>
void TestTriangles(RbCollisionResult& result, const Shape& shape, const RbReachBox& reach,
                   const RbGeometry& set, Test test) {
    result.hasContact = 0;
    TriangleContact best;
    best.depth = -1000000.0f;
    int material = 0;
    RbForEachTriangle(set, reach, [&](const RbTriangleData& tri) {
        if (tri.mode != 0)
            return;
        TriangleContact contact;
        if (test(shape, tri, contact) && contact.depth > best.depth) {
            best = contact;
            material = tri.material;
        }
    });
    if (!best.found)
        return;
    result.hasContact = 1;
    result.depth = best.depth;
    result.normal = best.normal;
    result.pointA = best.pointA;
    result.pointB = best.pointB;
    result.materialB = material;
}

} // namespace

bool RbPointInTriangle(const RbTriangleData& tri, const RbVector& point) {
    const RbVector& n = tri.normal;
    float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    int p, q; // the two coordinates kept
    if (ay <= az) {
        if (ax < az) {
            p = 0;
            q = 1;
        } else {
            p = 1;
            q = 2;
        }
    } else if (ax < ay) {
        p = 2;
        q = 0;
    } else {
        p = 1;
        q = 2;
    }
    int negative = 0;
    for (int j = 0; j < 3; ++j) {
        const RbVector& vi = tri.vertex[j];
        const RbVector& vj = tri.vertex[(j + 1) % 3];
        float e = (vi[q] - vj[q]) * (point[p] - vi[p]) + (vi[p] - vj[p]) * (vi[q] - point[q]);
        negative += e <= 0.0f ? 1 : 0;
    }
    return negative == 0 || negative == 3;
}

void RbBoxTrianglesTest(RbCollisionResult& result, const RbGeometry& box, const RbMatrix4& boxTransform,
                        const RbGeometry& triangles) {
    TestTriangles(result, BoxData(box, boxTransform), RbReachBox::Shape(box, boxTransform).Grown(), triangles,
                  BoxTriangleTest);
}

void RbCylinderTrianglesTest(RbCollisionResult& result, const RbGeometry& cylinder,
                             const RbMatrix4& cylinderTransform, const RbGeometry& triangles) {
    TestTriangles(result, CylinderData(cylinder, cylinderTransform),
                  RbReachBox::Shape(cylinder, cylinderTransform).Grown(), triangles, CylinderTriangleTest);
}
