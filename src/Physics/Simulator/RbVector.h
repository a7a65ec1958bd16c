#pragma once

#include <cmath>

// The simulator's vector: four floats whose fourth carries no meaning for
// positions and directions. Quaternions use the same record (x, y, z, w).
// Arithmetic works on all four floats; dot and cross products on the first three.
struct RbVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    constexpr RbVector() = default;
    constexpr RbVector(float x_, float y_, float z_, float w_ = 0.0f) : x(x_), y(y_), z(z_), w(w_) {}

    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }

    RbVector operator+(const RbVector& o) const { return {x + o.x, y + o.y, z + o.z, w + o.w}; }
    RbVector operator-(const RbVector& o) const { return {x - o.x, y - o.y, z - o.z, w - o.w}; }
    RbVector operator-() const { return {-x, -y, -z, -w}; }
    RbVector operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
    RbVector& operator+=(const RbVector& o) { return *this = *this + o; }
    RbVector& operator-=(const RbVector& o) { return *this = *this - o; }
};

inline float RbDot(const RbVector& a, const RbVector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline RbVector RbCross(const RbVector& a, const RbVector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline float RbLengthSquared(const RbVector& v) {
    return RbDot(v, v);
}

// The simulator's safe length: 0 when the squared length is below 1e-6.
inline float RbSafeLength(const RbVector& v) {
    float squared = RbLengthSquared(v);
    return squared < 1e-6f ? 0.0f : std::sqrt(squared);
}

// Unit vector along v, or the zero vector when v is (nearly) zero.
inline RbVector RbSafeNormalise(const RbVector& v) {
    float length = RbSafeLength(v);
    if (length == 0.0f)
        return {};
    return {v.x / length, v.y / length, v.z / length};
}

// True when some of the first three components reaches the magnitude limit.
inline bool RbAnyComponentAtLeast(const RbVector& v, float limit) {
    return std::fabs(v.x) >= limit || std::fabs(v.y) >= limit || std::fabs(v.z) >= limit;
}

inline bool RbIsFinite(const RbVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
