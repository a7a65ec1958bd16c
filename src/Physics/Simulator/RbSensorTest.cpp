#include "Physics/Simulator/RbSensorTest.h"

#include "Physics/Simulator/RbBody.h"
#include "Physics/Simulator/RbTriangleData.h"

#include <cmath>
#include <utility>

namespace {

// Slab test of the segment s + t L, t in [0, 1], against a box of half
// extents h centred in its frame.
void LineBoxTest(RbSensor& copy, const RbGeometry& box, const RbMatrix4& boxTransform) {
    const RbVector& s = copy.start;
    const RbVector& line = copy.line;
    float enter = -1000000.0f, exit = 1000000.0f;
    int entryAxis = -1;
    for (int i = 0; i < 3; ++i) {
        float h = box.halfExtents[i];
        if (std::fabs(line[i]) < 1e-6f) {
            // Parallel to the slab: inside it or never in the box.
            if (s[i] < -h || s[i] > h)
                return;
            continue;
        }
        float t1 = (-h - s[i]) / line[i];
        float t2 = (h - s[i]) / line[i];
        if (t1 > t2)
            std::swap(t1, t2);
        if (t1 > enter) {
            enter = t1;
            entryAxis = i;
        }
        if (t2 < exit)
            exit = t2;
        if (exit < enter || exit < 0.0f)
            return;
    }
    // Without an entry face (a line too short to cross any slab) there is no
    // surface to report.
    if (enter > 1.0f || entryAxis < 0)
        return;
    RbVector entry = s + line * enter;
    copy.detectDepth = RbSafeLength(s + line - entry);
    copy.detectNormal = boxTransform.row[entryAxis] * (line[entryAxis] >= 0.0f ? -1.0f : 1.0f);
    copy.detectNormal.w = 0.0f;
    copy.detectPoint = entry;
    copy.detectMaterial = box.materialIndex;
}

// The deepest crossing of the segment through the triangles (world frame).
void LineTrianglesTest(RbSensor& copy, const RbGeometry& set) {
    const RbVector& s = copy.start;
    const RbVector& line = copy.line;
    // A set that does not cull never asks the reach.
    const RbReachBox reach = set.cullTriangles ? RbReachBox::Segment(s, s + line).Grown() : RbReachBox();
    RbForEachTriangle(set, reach, [&](const RbTriangleData& tri) {
        float along = RbDot(tri.normal, line);
        if (along == 0.0f)
            return; // parallel to the plane
        float t = RbDot(tri.normal, tri.vertex[0] - s) / along;
        if (!(t >= 0.0f && t <= 1.0f))
            return;
        RbVector p = s + line * t;
        for (int j = 0; j < 3; ++j) {
            const RbVector& a = tri.vertex[j];
            RbVector side = RbCross(tri.edge[j], p - a);
            RbVector opposite = RbCross(tri.edge[j], tri.vertex[(j + 2) % 3] - a);
            if (RbDot(side, opposite) < 0.0f)
                return;
        }
        float depth = (1.0f - t) * copy.length;
        // Where surfaces overlap, the one nearest the start wins.
        if (depth < copy.detectDepth)
            return;
        copy.detectDepth = depth;
        copy.detectNormal = along <= 0.0f ? tri.normal : -tri.normal;
        copy.detectPoint = p;
        copy.detectMaterial = tri.material;
    });
}

} // namespace

void RbSensorLineTest(RbSensor& copy, const RbGeometry& shape, const RbMatrix4& shapeTransform) {
    if (shape.kind == RB_GEOMETRY_TRIANGLES) {
        LineTrianglesTest(copy, shape);
    } else if (shape.kind == RB_GEOMETRY_CYLINDER) {
        // Sensors see a cylinder as the box around it in its own frame.
        RbGeometry box;
        box.SetHalfExtents({shape.radius, shape.halfHeight + shape.radius, shape.radius});
        box.materialIndex = shape.materialIndex;
        LineBoxTest(copy, box, shapeTransform);
    } else {
        LineBoxTest(copy, shape, shapeTransform);
    }
}

void RbSensorTest(RbSensor* first, const RbMatrix4& sensorBodyTransform, const RbBody& other,
                  const RbMatrix4& otherTransform, RbBody* detectBody) {
    for (RbSensor* sensor = first; sensor; sensor = sensor->poolNext)
        RbSingleSensorTest(*sensor, sensorBodyTransform, other, otherTransform, detectBody);
}

void RbSensorInFrame(const RbSensor& sensor, const RbMatrix4& sensorBodyTransform, const RbMatrix4& placed,
                     RbVector& start, RbVector& line) {
    start = RbToFrame(RbTransformPoint(sensor.start, sensorBodyTransform) - placed.Position(), placed.row);
    line = RbToFrame(RbRotate(sensor.line, sensorBodyTransform), placed.row);
}

void RbSingleSensorTest(RbSensor& sensor, const RbMatrix4& sensorBodyTransform, const RbBody& other,
                        const RbMatrix4& otherTransform, RbBody* detectBody) {
    // Each geometry itself, never the body's bounds box: the bounds also hold
    // the other body's own sensor lines.
    for (const RbGeometry* g = other.geometries.head; g; g = g->poolNext) {
        RbMatrix4 placed = RbCompose(g->localTransform, otherTransform);
        RbVector start, line;
        RbSensorInFrame(sensor, sensorBodyTransform, placed, start, line);
        RbPlacedSensorTest(sensor, start, line, *g, placed, detectBody);
    }
}

void RbPlacedSensorTest(RbSensor& sensor, const RbVector& start, const RbVector& line,
                        const RbGeometry& shape, const RbMatrix4& placed, RbBody* detectBody) {
    RbSensor copy = sensor;
    copy.start = start;
    copy.line = line;
    copy.detectDepth = 0.0f;
    RbSensorLineTest(copy, shape, placed);
    if (copy.detectDepth > 0.0f && copy.detectDepth > sensor.detectDepth) {
        sensor.detectDepth = copy.detectDepth;
        sensor.detectMaterial = copy.detectMaterial;
        sensor.detectNormal = copy.detectNormal;
        sensor.detectPoint = RbTransformPoint(copy.detectPoint, placed);
        sensor.detectBody = detectBody;
    }
}
