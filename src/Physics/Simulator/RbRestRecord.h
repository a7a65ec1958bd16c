#pragma once

#include "Physics/Simulator/RbVector.h"

#include <cstdint>

class RbSimulator;
struct RbBody;

// What a rest record's support is.
enum RbSupportState : std::int32_t {
    kRbNoSupport = 0,    // the record is free
    kRbRigidSupport = 1, // a rigid body
    kRbFixedSupport = 2  // an animated body or the terrain
};

// One remembered support point of a rigid body resting on another body or the
// terrain. While filled it is also on its support's supportedRecords list.
struct RbRestRecord {
    RbVector localPoint;
    RbVector supportLocalPoint;
    RbVector worldPoint;
    RbVector supportWorldPoint;
    RbVector separation;
    RbVector supportNormal;
    RbVector worldNormal;
    float restValue = 0.0f;
    float normalSeparation = 0.0f;
    float tangentialDrift = 0.0f;
    std::int32_t material = 0;
    std::int32_t supportMaterial = 0;
    // An RbSupportState.
    std::int32_t state = kRbNoSupport;
    RbBody* support = nullptr;
    RbRestRecord* supportedNext = nullptr;
    RbRestRecord* supportedPrev = nullptr;
    RbBody* owner = nullptr;
    std::int32_t stepCreated = 0;

    // Frees the record and takes it off its support's list.
    void Drop();
    // Refreshes the world points, the separation, the world normal and the
    // separation's normal and tangential parts from the two bodies' poses.
    void Update();
    // Refreshes the world normal; returns the support's point in world space.
    RbVector UpdateSupportFrame();
    // The support is a resting rigid body, or a body that is not rigid and
    // has not been moved since the last step.
    bool IsSupportSettled() const;
    // The support is the terrain, or a body in use and active.
    bool IsSupportPresent(const RbSimulator& world) const;
};

// True when the origin lies inside the 2D triangle (x, y of the points)
// enlarged by 10 % about its centroid; points on an edge are outside.
bool RbPointInInflatedTriangle(const RbVector& a, const RbVector& b, const RbVector& c);
