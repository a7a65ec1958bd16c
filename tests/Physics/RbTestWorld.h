#pragma once

#include "Physics/Simulator/RbQuaternion.h"
#include "Physics/Simulator/RbSimulator.h"

#include <gtest/gtest.h>

#include <cmath>

#include <memory>
#include <string>
#include <vector>

// A world owned by a test, with its messages collected.
struct RbWorldDeleter {
    void operator()(RbSimulator* world) const { RbSimulator::Destroy(world); }
};
using RbWorldPtr = std::unique_ptr<RbSimulator, RbWorldDeleter>;

struct RbLogCapture {
    std::vector<std::string> messages;

    static void Receive(int /*level*/, const char* message, void* context) {
        static_cast<RbLogCapture*>(context)->messages.emplace_back(message);
    }
    void Attach(RbSimulator& world) {
        world.SetLogCallback(&Receive, this);
        world.SetLogLevel(1);
    }
};

inline RbWorldPtr MakeWorld(const RbSizeInfo& sizes = {}, const RbVector* gravity = nullptr) {
    return RbWorldPtr(RbSimulator::Create(sizes, nullptr, gravity));
}

inline RbMatrix4 RbTranslation(float x, float y, float z) {
    RbMatrix4 m;
    m.SetPosition({x, y, z});
    return m;
}

// A rotation about a unit axis by an angle in radians, as a transform.
inline RbMatrix4 RbAxisRotation(const RbVector& axis, float angle, const RbVector& position = {}) {
    float s = std::sin(angle / 2), c = std::cos(angle / 2);
    RbMatrix3 r = RbQuaternionToRotation({axis.x * s, axis.y * s, axis.z * s, c});
    RbMatrix4 m;
    for (int i = 0; i < 3; ++i)
        m.row[i] = {r.row[i].x, r.row[i].y, r.row[i].z, 0};
    m.SetPosition(position);
    return m;
}

// Compares the first three components.
inline void ExpectVector(const RbVector& actual, const RbVector& expected, float tolerance = 1e-4f) {
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}
