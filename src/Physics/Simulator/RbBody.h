#pragma once

#include "Physics/Simulator/RbGeometry.h"
#include "Physics/Simulator/RbList.h"
#include "Physics/Simulator/RbRestRecord.h"
#include "Physics/Simulator/RbSensor.h"

#include <cstdint>

class RbSimulator;
struct RbBodyGroup;
struct RbEndpoint;
struct RbRegionEntry;

using RbRestRecordList =
    RbList<RbRestRecord, RbRestRecord, &RbRestRecord::supportedNext, &RbRestRecord::supportedPrev>;

// Where a body stands with the broad phase's waiting list.
enum RbRegionState : std::int32_t {
    kRbRegionIdle = 0,               // not waiting
    kRbRegionWaiting = 1,            // registered and waiting
    kRbRegionRemovedWhileWaiting = 2 // removed while waiting
};

// The part common to every body: rigid bodies and rigid particles
// (RbRigidBody) and animated bodies (RbAnimatedBody). Geometries and sensors
// hang on the body's own lists; the body's pool links also chain it into the
// world's active or inactive list of its kind.
struct RbBody {
    RbBody* handle = nullptr;
    RbBody* groupNext = nullptr;
    RbBody* groupPrev = nullptr;
    void* userData = nullptr;
    // A box around the geometries and sensor lines, in the body's frame.
    RbGeometry localBounds;
    RbList<RbGeometry> geometries;
    std::int32_t broadPhaseIndex = 0;
    std::int32_t collisionGroup = 0;
    RbBodyGroup* group = nullptr;
    std::int32_t isRigid = 0;
    std::int32_t active = 1;
    RbList<RbSensor> sensors;
    RbRegionEntry* regionEntry = nullptr;
    RbSimulator* simulator = nullptr;
    RbVector boundsAxes[3];
    RbVector boundsCentre;
    RbVector worldMin;
    RbVector worldMax;
    RbEndpoint* maxEndpoints[3] = {nullptr, nullptr, nullptr};
    RbEndpoint* minEndpoints[3] = {nullptr, nullptr, nullptr};
    RbVector smoothedDisplacement;
    RbRestRecordList supportedRecords;
    // An RbRegionState.
    std::int32_t regionState = kRbRegionIdle;

    RbBody* poolNext = nullptr;
    RbBody* poolPrev = nullptr;
    std::uint8_t inUse = 0;

    RbBody() { Reset(); }

    // Clears the common part for a new use; keeps the pool links.
    void Reset();

    RbGeometry* AddGeometry();
    RbSensor* AddSensor();
    void UpdateBoundingInfo();
    void UpdateWorldBounds();
    // The partner is a hint of the broad phase that this implementation does
    // not need; callers pass null.
    void SetActive(bool requested, RbBody* partner = nullptr);
    bool IsActive() const { return active != 0; }
    void SetUserData(void* data) { userData = data; }
    void* GetUserData() const { return userData; }
    void ClearSensorHits();
    bool InUse() const { return inUse != 0; }
    bool IsParticle() const;
    const RbMatrix4& WorldTransform() const;
    // Linear plus angular velocity at an offset from the centre (world axes);
    // zero for an animated body.
    RbVector GetVelocityAtPoint(const RbVector& offset) const;
    // Gives back sensors, broad-phase registration, geometries, and the rest
    // records of bodies resting on this one.
    void ReleaseAttachments();
};
