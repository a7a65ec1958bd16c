#include "Physics/Simulator/RbInertia.h"

#include <algorithm>

RbVector RbBoxInertiaTensor(float a, float b, float c, float mass) {
    float s = std::max({a, b, c});
    float value = 2.0f * s * s * mass / 3.0f;
    return {value, value, value};
}

RbVector RbBoxInertiaTensorFromVector(const RbVector& sizes, float mass) {
    return RbBoxInertiaTensor(sizes.x, sizes.y, sizes.z, mass);
}

RbVector RbCylinderInertiaTensor(float diameter, float height, float mass) {
    float r = diameter / 2.0f;
    float across = mass * height * height / 12.0f + mass * r * r / 4.0f;
    return {across, mass * r * r / 2.0f, across};
}
