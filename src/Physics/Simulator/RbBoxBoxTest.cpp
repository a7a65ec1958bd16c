#include "Physics/Simulator/RbBoxFrame.h"
#include "Physics/Simulator/RbNarrowPhase.h"

#include <cmath>
#include <utility>

// Separating-axis test over the 15 axes of two boxes (three face axes of each
// and nine edge-edge cross products) with one contact point: the vertex of
// the deepest face contact, or the closest points of the two deepest edges.

namespace {

struct Search {
    float bestDepth = 100000.0f;
    bool found = false;
    RbVector first;
    RbVector second;
    RbVector normal;
};

float Sign(float projection) {
    return projection > 0.0f ? 1.0f : -1.0f;
}

// Face k of P against Q. False when the axis separates the boxes.
bool FaceTest(Search& s, const RbBoxFrame& p, const RbBoxFrame& q, int k) {
    RbVector n = p.Axis(k);
    float d = RbDot(q.Centre() - p.Centre(), n);
    if (d >= 0.0f)
        d = -d;
    else
        n = -n;
    float sum = 0.0f;
    RbVector deepest = q.Centre();
    for (int m = 0; m < 3; ++m) {
        float projection = RbDot(q.scaledAxes[m], n);
        float sign = Sign(projection);
        sum += sign * projection;
        deepest -= q.scaledAxes[m] * sign;
    }
    float depth = sum + d + p.box.halfExtents[k];
    if (depth <= 0.0f)
        return false;
    bool record = depth + 0.0001f < s.bestDepth;
    if (!record && std::fabs(depth - s.bestDepth) < 1e-6f) {
        // An equally deep face wins only when the vertex lies over it.
        RbVector r = deepest - p.Centre();
        int u = (k + 1) % 3, v = (k + 2) % 3;
        record = std::fabs(RbDot(r, p.Axis(u))) <= 1.001f * p.box.halfExtents[u] &&
                 std::fabs(RbDot(r, p.Axis(v))) <= 1.001f * p.box.halfExtents[v];
    }
    if (record) {
        s.bestDepth = depth;
        s.first = deepest;
        s.second = deepest + n * depth;
        s.normal = n;
        s.found = true;
    }
    return true;
}

struct EdgeChoice {
    bool chosen = false;
    float depth = 0.0f;
    RbVector normal; // from A toward B
    RbVector centreA, centreB, axisA, axisB;
};

// Edge i of A against edge j of B. False when the axis separates the boxes.
bool EdgeTest(Search& s, EdgeChoice& edge, const RbBoxFrame& a, const RbBoxFrame& b, int i, int j) {
    RbVector n = RbCross(a.Axis(i), b.Axis(j));
    float squared = RbLengthSquared(n);
    if (squared < 1e-6f)
        return true; // parallel edges
    n = n * (1.0f / std::sqrt(squared));
    float d = RbDot(b.Centre() - a.Centre(), n);
    if (d >= 0.0f)
        d = -d;
    else
        n = -n;
    const RbVector& a1 = a.scaledAxes[(i + 1) % 3];
    const RbVector& a2 = a.scaledAxes[(i + 2) % 3];
    const RbVector& b1 = b.scaledAxes[(j + 1) % 3];
    const RbVector& b2 = b.scaledAxes[(j + 2) % 3];
    float pa1 = RbDot(a1, n), pa2 = RbDot(a2, n), pb1 = RbDot(b1, n), pb2 = RbDot(b2, n);
    float depth = Sign(pa1) * pa1 + Sign(pa2) * pa2 + Sign(pb1) * pb1 + Sign(pb2) * pb2 + d;
    if (depth <= 0.0f)
        return false;
    if (depth < s.bestDepth) {
        s.bestDepth = depth;
        edge.chosen = true;
        edge.depth = depth;
        edge.normal = n;
        edge.centreA = a.Centre() + a1 * Sign(pa1) + a2 * Sign(pa2);
        edge.centreB = b.Centre() - b1 * Sign(pb1) - b2 * Sign(pb2);
        edge.axisA = a.scaledAxes[i];
        edge.axisB = b.scaledAxes[j];
    }
    return true;
}

// Closest points of the two chosen edges; false when they are parallel or
// when the closest points fall outside the edges.
bool EdgePoints(const EdgeChoice& edge, RbVector& onA, RbVector& onB) {
    RbVector p1 = edge.centreA + edge.axisA;
    RbVector q1 = edge.centreB + edge.axisB;
    RbVector da = (edge.centreA - edge.axisA) - p1;
    RbVector db = (edge.centreB - edge.axisB) - q1;
    RbVector w = p1 - q1;
    if (!RbAnyComponentAtLeast(da, 1e-6f) || !RbAnyComponentAtLeast(db, 1e-6f))
        return false;
    float r = RbDot(db, db);
    float t = RbDot(db, da);
    float u = r * RbDot(da, da) - t * t;
    if (std::fabs(u) < 1e-6f)
        return false;
    float sa = (RbDot(db, w) * t - r * RbDot(da, w)) / u;
    if (!(sa >= 0.0f && sa < 1.0f))
        return false;
    float sb = (RbDot(db, w) + t * sa) / r;
    if (!(sb >= 0.0f && sb < 1.0f))
        return false;
    onA = p1 + da * sa;
    onB = q1 + db * sb;
    return true;
}

} // namespace

void RbBoxBoxTest(RbCollisionResult& result, const RbGeometry& a, const RbMatrix4& transformA,
                  const RbGeometry& b, const RbMatrix4& transformB) {
    result.hasContact = 0;
    RbBoxFrame frameA(a, transformA);
    RbBoxFrame frameB(b, transformB);
    Search s;
    for (int k = 0; k < 3; ++k)
        if (!FaceTest(s, frameA, frameB, k))
            return;
    // A's faces found B's vertex with a normal from A toward B; turn them to
    // the B-toward-A convention before B's faces compete.
    s.normal = -s.normal;
    std::swap(s.first, s.second);
    for (int k = 0; k < 3; ++k)
        if (!FaceTest(s, frameB, frameA, k))
            return;
    EdgeChoice edge;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (!EdgeTest(s, edge, frameA, frameB, i, j))
                return;
    if (edge.chosen) {
        s.normal = -edge.normal;
        if (!EdgePoints(edge, s.first, s.second)) {
            // Keep the record consistent: A's edge centre and the point the
            // depth along the normal reaches from it.
            s.first = edge.centreA;
            s.second = edge.centreA + s.normal * edge.depth;
        }
    }
    if (!s.found)
        return;
    result.depth = s.bestDepth;
    result.normal = s.normal;
    result.pointA = s.first;
    result.pointB = s.second;
    result.hasContact = 1;
}
