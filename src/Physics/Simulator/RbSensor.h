#pragma once

#include "Physics/Simulator/RbVector.h"

#include <cstdint>

struct RbBody;

// A line sensor: a segment fixed in its body's frame that reports the deepest
// surface it entered during the current step (detectDepth 0: nothing).
struct RbSensor {
    RbVector start;
    RbVector line;
    RbVector direction;
    float length = 0.0f;
    RbVector detectNormal;
    RbVector detectPoint;
    float detectDepth = 0.0f;
    std::int32_t detectMaterial = 0;
    RbBody* detectBody = nullptr;

    RbSensor* poolNext = nullptr;
    RbSensor* poolPrev = nullptr;
    std::uint8_t inUse = 0;

    // Start point and line vector in the body's frame; direction and length
    // are 0 for a line shorter than 1e-3.
    void SetLineSensor(const RbVector& lineStart, const RbVector& lineVector);
    const RbVector& GetLinePosition() const { return start; }
    const RbVector& GetLineUnitVector() const { return direction; }
    float GetDetectDepth() const { return detectDepth; }
    const RbVector& GetDetectNormal() const { return detectNormal; }
    const RbVector& GetDetectContactPoint() const { return detectPoint; }

    // Forgets this step's hit; the other detection fields keep their values.
    void ClearHit() {
        detectDepth = 0.0f;
        detectBody = nullptr;
    }
};
