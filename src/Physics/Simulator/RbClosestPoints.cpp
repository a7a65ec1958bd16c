#include "Physics/Simulator/RbClosestPoints.h"

#include <algorithm>
#include <cmath>

bool RbSegmentClosestPoints(const RbVector& p1, const RbVector& p2, const RbVector& p3, const RbVector& p4,
                            RbSegmentPoints& out) {
    out.inside = false;
    RbVector d43 = p4 - p3;
    RbVector d21 = p2 - p1;
    RbVector d13 = p1 - p3;
    if (!RbAnyComponentAtLeast(d43, 1e-6f) || !RbAnyComponentAtLeast(d21, 1e-6f))
        return false;
    float d4343 = RbDot(d43, d43);
    float d4321 = RbDot(d43, d21);
    float d1343 = RbDot(d13, d43);
    float d1321 = RbDot(d13, d21);
    float denom = RbDot(d21, d21) * d4343 - d4321 * d4321;
    if (std::fabs(denom) < 1e-6f)
        return false;
    out.mua = (d1343 * d4321 - d1321 * d4343) / denom;
    out.mub = (d1343 + out.mua * d4321) / d4343;
    out.pointA = p1 + d21 * out.mua;
    out.pointB = p3 + d43 * out.mub;
    out.distance = std::sqrt(RbLengthSquared(out.pointA - out.pointB));
    out.inside = out.mua >= 0.0f && out.mua < 1.0f && out.mub >= 0.0f && out.mub < 1.0f;
    return true;
}

// The segment parameter nearest the box: the squared distance is a convex
// piecewise quadratic in t whose pieces change where the segment crosses a
// slab boundary; walk the pieces until the slope turns non-negative.
void RbSegmentBoxClosestPoints(const RbVector& p1, const RbVector& p2, const RbVector& halfExtents,
                               RbVector& segmentPoint, RbVector& boxPoint) {
    RbVector s = p1, v = p2 - p1;
    float sign[3], anchor[3];
    int region[3];
    for (int i = 0; i < 3; ++i) {
        sign[i] = 1.0f;
        if (v[i] < 0.0f) {
            sign[i] = -1.0f;
            s[i] = -s[i];
            v[i] = -v[i];
        }
    }
    for (int i = 0; i < 3; ++i) {
        float h = halfExtents[i];
        if (v[i] > 0.0f) {
            if (s[i] < -h) {
                region[i] = -1;
                anchor[i] = (-h - s[i]) / v[i];
            } else {
                region[i] = s[i] <= h ? 0 : 1;
                anchor[i] = (h - s[i]) / v[i];
            }
        } else {
            region[i] = 0;
            anchor[i] = 2.0f;
        }
    }
    auto slopeAt = [&](float t) {
        float sum = 0.0f;
        for (int i = 0; i < 3; ++i)
            if (region[i] != 0)
                sum += v[i] * v[i] * (t - anchor[i]);
        return sum;
    };
    float t = 0.0f;
    float slope = slopeAt(0.0f);
    // Each axis changes region at most twice, so the walk ends within seven
    // pieces; the cap only guards against NaN input.
    for (int piece = 0; slope < 0.0f && piece < 8; ++piece) {
        float next = 1.0f;
        for (int i = 0; i < 3; ++i)
            if (t < anchor[i] && anchor[i] < 1.0f && anchor[i] < next)
                next = anchor[i];
        float nextSlope = slopeAt(next);
        if (nextSlope >= 0.0f) {
            t = t - slope * (next - t) / (nextSlope - slope);
            break;
        }
        for (int i = 0; i < 3; ++i) {
            if (anchor[i] == next) {
                anchor[i] = (halfExtents[i] - s[i]) / v[i];
                region[i] += 1;
            }
        }
        t = next;
        slope = nextSlope;
        if (!(t < 1.0f)) {
            t = 1.0f;
            break;
        }
    }
    segmentPoint = p1 + (p2 - p1) * t;
    for (int i = 0; i < 3; ++i)
        boxPoint[i] = std::clamp(sign[i] * (s[i] + t * v[i]), -halfExtents[i], halfExtents[i]);
    boxPoint.w = 0.0f;
}
