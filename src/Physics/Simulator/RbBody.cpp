#include "Physics/Simulator/RbBody.h"

#include "Physics/Simulator/RbAnimatedBody.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Physics/Simulator/RbSimulator.h"

#include <algorithm>
#include <cmath>

void RbBody::Reset() {
    handle = this;
    groupNext = groupPrev = nullptr;
    userData = nullptr;
    localBounds.Reset();
    geometries = {};
    broadPhaseIndex = 0;
    collisionGroup = 0;
    group = nullptr;
    isRigid = 0;
    active = 1;
    sensors = {};
    regionEntry = nullptr;
    simulator = nullptr;
    for (int i = 0; i < 3; ++i) {
        boundsAxes[i] = {};
        minEndpoints[i] = maxEndpoints[i] = nullptr;
    }
    boundsCentre = worldMin = worldMax = smoothedDisplacement = {};
    supportedRecords = {};
    regionState = kRbRegionIdle;
}

RbGeometry* RbBody::AddGeometry() {
    RbGeometry* geometry = simulator->GeometryPool().Take();
    if (!geometry) {
        simulator->Log(1, "Run out of Geometries. Increase 'geometriesCount'.\n");
        return nullptr;
    }
    geometry->Reset();
    geometries.Append(geometry);
    if (active && !regionEntry)
        simulator->Region().AddBody(this);
    return geometry;
}

RbSensor* RbBody::AddSensor() {
    RbSensor* sensor = simulator->SensorPool().Take();
    if (!sensor) {
        simulator->Log(1, "Run out of Sensors. Increase 'sensorsCount'.\n");
        return nullptr;
    }
    // A sensor of a freed body would otherwise bring its old line along.
    *sensor = RbSensor();
    sensor->inUse = 1;
    sensors.Append(sensor);
    return sensor;
}

void RbBody::UpdateBoundingInfo() {
    const RbGeometry* only = geometries.count == 1 ? geometries.head : nullptr;
    if (only && only->kind == RB_GEOMETRY_BOX && !sensors.head) {
        // A single box is its own bounds, exactly, whatever its rotation.
        localBounds.SetHalfExtents(only->halfExtents);
        localBounds.localTransform = only->localTransform;
        localBounds.materialIndex = only->materialIndex;
    } else {
        // Otherwise the bounds are axis-aligned in the body's frame: a rotated
        // box would not contain all of the shapes and sensor lines.
        RbVector boxMin = {1000000.0f, 1000000.0f, 1000000.0f};
        RbVector boxMax = {-1000000.0f, -1000000.0f, -1000000.0f};
        if (geometries.count == 0) {
            localBounds.GetLocalBox(boxMin, boxMax);
        } else {
            for (const RbGeometry* g = geometries.head; g; g = g->poolNext) {
                RbVector gMin, gMax;
                g->GetLocalBox(gMin, gMax);
                for (int i = 0; i < 3; ++i) {
                    boxMin[i] = std::min(boxMin[i], gMin[i]);
                    boxMax[i] = std::max(boxMax[i], gMax[i]);
                }
            }
        }
        for (const RbSensor* s = sensors.head; s; s = s->poolNext) {
            RbVector end = s->start + s->line;
            for (int i = 0; i < 3; ++i) {
                boxMin[i] = std::min({boxMin[i], s->start[i], end[i]});
                boxMax[i] = std::max({boxMax[i], s->start[i], end[i]});
            }
        }
        RbVector half = (boxMax - boxMin) * 0.5f;
        localBounds.SetHalfExtents(half);
        localBounds.localTransform = RbMatrix4();
        localBounds.localTransform.SetPosition(boxMin + half);
    }
    for (int j = 0; j < 3; ++j)
        boundsAxes[j] = localBounds.localTransform.row[j] * localBounds.halfExtents[j];
    boundsCentre = localBounds.localTransform.row[3];
}

void RbBody::UpdateWorldBounds() {
    if (geometries.count == 0)
        return;
    const RbMatrix4& world = WorldTransform();
    RbVector axes[3];
    for (int j = 0; j < 3; ++j)
        axes[j] = RbRotate(boundsAxes[j], world);
    RbVector centre = RbTransformPoint(boundsCentre, world);
    for (int k = 0; k < 3; ++k) {
        float extent = std::fabs(axes[0][k]) + std::fabs(axes[1][k]) + std::fabs(axes[2][k]);
        worldMin[k] = centre[k] - extent;
        worldMax[k] = centre[k] + extent;
        if (minEndpoints[k])
            minEndpoints[k]->value = worldMin[k];
        if (maxEndpoints[k])
            maxEndpoints[k]->value = worldMax[k];
    }
}

void RbBody::SetActive(bool requested, RbBody* /*partner*/) {
    if (requested == IsActive())
        return;
    RbBodyLists& lists = simulator->ListsOf(this);
    if (active) {
        lists.active.Remove(this);
        lists.inactive.Append(this);
        if (regionEntry)
            simulator->Region().RemoveBody(this);
        active = 0;
    } else {
        lists.inactive.Remove(this);
        lists.active.Append(this);
        if (geometries.count > 0)
            simulator->Region().AddBody(this);
        active = 1;
    }
}

void RbBody::ClearSensorHits() {
    for (RbSensor* s = sensors.head; s; s = s->poolNext)
        s->ClearHit();
}

bool RbBody::IsParticle() const {
    return isRigid && static_cast<const RbRigidBody*>(this)->isParticle;
}

const RbMatrix4& RbBody::WorldTransform() const {
    if (isRigid)
        return static_cast<const RbRigidBody*>(this)->transform;
    return static_cast<const RbAnimatedBody*>(this)->worldTransform;
}

RbVector RbBody::GetVelocityAtPoint(const RbVector& offset) const {
    if (!isRigid)
        return {};
    const auto* body = static_cast<const RbRigidBody*>(this);
    return body->velocity + RbCross(body->angularVelocity, offset);
}

void RbBody::ReleaseAttachments() {
    while (RbSensor* s = sensors.head) {
        sensors.Remove(s);
        simulator->SensorPool().Return(s);
    }
    if (regionEntry)
        simulator->Region().RemoveBody(this);
    while (RbGeometry* g = geometries.head) {
        geometries.Remove(g);
        simulator->GeometryPool().Return(g);
    }
    while (RbRestRecord* record = supportedRecords.head)
        record->Drop();
}
