#pragma once

// The vector, matrix, quaternion and plane types and functions the engine's
// code is written against, with their conventions:
// - matrices are row-major and act on ROW vectors: v' = v * M, so A * B
//   applies A first; the translation sits in row 3;
// - rotations are left-handed in the sense of the row-vector forms below:
//   RotationZ(t) maps (1, 0, 0) to (cos t, sin t, 0);
// - quaternions are stored x, y, z, w; the identity is (0, 0, 0, 1);
// - projections map depth to [0, 1].
// Functions write to and return their first argument, so calls can nest.
// Degenerate input never yields NaN: normalising a zero vector gives zero,
// a zero rotation axis gives cos(angle) times the identity.

#include "Platform/D3DViewport9.h"

inline constexpr float D3DX_PI = 3.141592654f;

struct D3DXVECTOR2 {
    float x = 0, y = 0;

    constexpr D3DXVECTOR2() = default;
    constexpr D3DXVECTOR2(float vx, float vy) : x(vx), y(vy) {}
    explicit D3DXVECTOR2(const float* v) : x(v[0]), y(v[1]) {}

    operator float*() { return &x; }
    operator const float*() const { return &x; }

    constexpr D3DXVECTOR2& operator+=(const D3DXVECTOR2& v) { return *this = *this + v; }
    constexpr D3DXVECTOR2& operator-=(const D3DXVECTOR2& v) { return *this = *this - v; }
    constexpr D3DXVECTOR2& operator*=(float s) { return *this = *this * s; }
    constexpr D3DXVECTOR2& operator/=(float s) { return *this = *this / s; }

    constexpr D3DXVECTOR2 operator+() const { return *this; }
    constexpr D3DXVECTOR2 operator-() const { return {-x, -y}; }
    constexpr D3DXVECTOR2 operator+(const D3DXVECTOR2& v) const { return {x + v.x, y + v.y}; }
    constexpr D3DXVECTOR2 operator-(const D3DXVECTOR2& v) const { return {x - v.x, y - v.y}; }
    constexpr D3DXVECTOR2 operator*(float s) const { return {x * s, y * s}; }
    constexpr D3DXVECTOR2 operator/(float s) const { return {x / s, y / s}; }
    friend constexpr D3DXVECTOR2 operator*(float s, const D3DXVECTOR2& v) { return v * s; }

    constexpr bool operator==(const D3DXVECTOR2&) const = default;
};

struct D3DXVECTOR3 {
    float x = 0, y = 0, z = 0;

    constexpr D3DXVECTOR3() = default;
    constexpr D3DXVECTOR3(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}
    explicit D3DXVECTOR3(const float* v) : x(v[0]), y(v[1]), z(v[2]) {}

    operator float*() { return &x; }
    operator const float*() const { return &x; }

    constexpr D3DXVECTOR3& operator+=(const D3DXVECTOR3& v) { return *this = *this + v; }
    constexpr D3DXVECTOR3& operator-=(const D3DXVECTOR3& v) { return *this = *this - v; }
    constexpr D3DXVECTOR3& operator*=(float s) { return *this = *this * s; }
    constexpr D3DXVECTOR3& operator/=(float s) { return *this = *this / s; }

    constexpr D3DXVECTOR3 operator+() const { return *this; }
    constexpr D3DXVECTOR3 operator-() const { return {-x, -y, -z}; }
    constexpr D3DXVECTOR3 operator+(const D3DXVECTOR3& v) const { return {x + v.x, y + v.y, z + v.z}; }
    constexpr D3DXVECTOR3 operator-(const D3DXVECTOR3& v) const { return {x - v.x, y - v.y, z - v.z}; }
    constexpr D3DXVECTOR3 operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr D3DXVECTOR3 operator/(float s) const { return {x / s, y / s, z / s}; }
    friend constexpr D3DXVECTOR3 operator*(float s, const D3DXVECTOR3& v) { return v * s; }

    constexpr bool operator==(const D3DXVECTOR3&) const = default;
};

struct D3DXVECTOR4 {
    float x = 0, y = 0, z = 0, w = 0;

    constexpr D3DXVECTOR4() = default;
    constexpr D3DXVECTOR4(float vx, float vy, float vz, float vw) : x(vx), y(vy), z(vz), w(vw) {}
    constexpr D3DXVECTOR4(const D3DXVECTOR3& v, float vw) : x(v.x), y(v.y), z(v.z), w(vw) {}
    explicit D3DXVECTOR4(const float* v) : x(v[0]), y(v[1]), z(v[2]), w(v[3]) {}

    operator float*() { return &x; }
    operator const float*() const { return &x; }

    constexpr D3DXVECTOR4& operator+=(const D3DXVECTOR4& v) { return *this = *this + v; }
    constexpr D3DXVECTOR4& operator-=(const D3DXVECTOR4& v) { return *this = *this - v; }
    constexpr D3DXVECTOR4& operator*=(float s) { return *this = *this * s; }
    constexpr D3DXVECTOR4& operator/=(float s) { return *this = *this / s; }

    constexpr D3DXVECTOR4 operator+() const { return *this; }
    constexpr D3DXVECTOR4 operator-() const { return {-x, -y, -z, -w}; }
    constexpr D3DXVECTOR4 operator+(const D3DXVECTOR4& v) const {
        return {x + v.x, y + v.y, z + v.z, w + v.w};
    }
    constexpr D3DXVECTOR4 operator-(const D3DXVECTOR4& v) const {
        return {x - v.x, y - v.y, z - v.z, w - v.w};
    }
    constexpr D3DXVECTOR4 operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
    constexpr D3DXVECTOR4 operator/(float s) const { return {x / s, y / s, z / s, w / s}; }
    friend constexpr D3DXVECTOR4 operator*(float s, const D3DXVECTOR4& v) { return v * s; }

    constexpr bool operator==(const D3DXVECTOR4&) const = default;
};

// 4x4, row-major; element (r, c) is _rc with rows and columns counted from 1,
// and m[r][c] counted from 0. A default-constructed matrix is all zeros.
struct D3DXMATRIX {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };

    D3DXMATRIX() : m{} {}
    D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
               float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44);
    explicit D3DXMATRIX(const float* values);

    float& operator()(int row, int col) { return m[row][col]; }
    float operator()(int row, int col) const { return m[row][col]; }
    operator float*() { return &m[0][0]; }
    operator const float*() const { return &m[0][0]; }

    D3DXMATRIX& operator*=(const D3DXMATRIX& other);
    D3DXMATRIX& operator+=(const D3DXMATRIX& other);
    D3DXMATRIX& operator-=(const D3DXMATRIX& other);
    D3DXMATRIX& operator*=(float s);

    D3DXMATRIX operator*(const D3DXMATRIX& other) const;
    D3DXMATRIX operator+(const D3DXMATRIX& other) const;
    D3DXMATRIX operator-(const D3DXMATRIX& other) const;
    D3DXMATRIX operator*(float s) const;
    friend D3DXMATRIX operator*(float s, const D3DXMATRIX& matrix) { return matrix * s; }

    bool operator==(const D3DXMATRIX& other) const;
    bool operator!=(const D3DXMATRIX& other) const { return !(*this == other); }
};

struct D3DXQUATERNION {
    float x = 0, y = 0, z = 0, w = 0;

    constexpr D3DXQUATERNION() = default;
    constexpr D3DXQUATERNION(float qx, float qy, float qz, float qw) : x(qx), y(qy), z(qz), w(qw) {}
    explicit D3DXQUATERNION(const float* v) : x(v[0]), y(v[1]), z(v[2]), w(v[3]) {}

    operator float*() { return &x; }
    operator const float*() const { return &x; }

    constexpr bool operator==(const D3DXQUATERNION&) const = default;
};

// The plane a*x + b*y + c*z + d = 0; (a, b, c) need not be unit length.
struct D3DXPLANE {
    float a = 0, b = 0, c = 0, d = 0;

    constexpr D3DXPLANE() = default;
    constexpr D3DXPLANE(float pa, float pb, float pc, float pd) : a(pa), b(pb), c(pc), d(pd) {}
    explicit D3DXPLANE(const float* v) : a(v[0]), b(v[1]), c(v[2]), d(v[3]) {}

    operator float*() { return &a; }
    operator const float*() const { return &a; }

    constexpr bool operator==(const D3DXPLANE&) const = default;
};

// A colour as four floats, as lights and materials carry it.
struct D3DCOLORVALUE {
    float r = 0, g = 0, b = 0, a = 0;

    constexpr bool operator==(const D3DCOLORVALUE&) const = default;
};

static_assert(sizeof(D3DXVECTOR2) == 8 && sizeof(D3DXVECTOR3) == 12 && sizeof(D3DXVECTOR4) == 16);
static_assert(sizeof(D3DXMATRIX) == 64 && sizeof(D3DXQUATERNION) == 16 && sizeof(D3DXPLANE) == 16);
static_assert(sizeof(D3DCOLORVALUE) == 16);

// ---- 2-D vectors

inline float D3DXVec2Dot(const D3DXVECTOR2* a, const D3DXVECTOR2* b) {
    return a->x * b->x + a->y * b->y;
}
float D3DXVec2Length(const D3DXVECTOR2* v);
D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* out, const D3DXVECTOR2* v);

// ---- 3-D vectors

inline float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z;
}
inline float D3DXVec3LengthSq(const D3DXVECTOR3* v) {
    return D3DXVec3Dot(v, v);
}
float D3DXVec3Length(const D3DXVECTOR3* v);
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
// a + s * (b - a).
D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, float s);

// (v, 1) * m, divided by the resulting w; when that w is 0 the division is
// skipped and x, y, z are returned as transformed.
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// v * the upper 3x3 of m: directions ignore the translation.
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// TransformCoord over count points whose positions lie inStride bytes apart,
// written outStride bytes apart; out may be in. Only the 12 position bytes of
// each output element are written.
D3DXVECTOR3* D3DXVec3TransformCoordArray(D3DXVECTOR3* out, unsigned int outStride, const D3DXVECTOR3* in,
                                         unsigned int inStride, const D3DXMATRIX* m, unsigned int count);
// The point through world, view and projection (a null matrix counts as the
// identity) and the viewport: x, y in pixels from the viewport's top left,
// z from MinZ to MaxZ. A null viewport is refused (nullptr, out unchanged).
D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT9* viewport,
                             const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world);

// ---- 4-D vectors

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m);

// ---- Matrices

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
// The identity matrix as a value.
D3DXMATRIX PlatIdentityMatrix();
// a * b: a applied first. out may be a or b.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
float D3DXMatrixDeterminant(const D3DXMATRIX* m);
// The inverse of m. The determinant goes to *determinant when that is not
// null. A singular (or numerically singular) m returns nullptr and leaves out
// unchanged. out may be m.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
// Rotation by angle about the normalised axis, right-hand rule in
// coordinates (the axis (0, 0, 1) gives RotationZ). A zero axis gives
// cos(angle) times the identity in the upper 3x3.
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle);
// Roll about Z, then pitch about X, then yaw about Y:
// RotationZ(roll) * RotationX(pitch) * RotationY(yaw).
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll);
// The rotation of the unit quaternion q.
D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q);
// View matrix with z along at - eye, x along up x z and y = z x x.
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);
// Perspective projection with vertical field of view fovY (radians) and
// aspect width / height; depth zn maps to 0 and zf to 1 after the divide.
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf);
// Orthographic projection of the box [l, r] x [b, t] x [zn, zf] onto
// [-1, 1] x [-1, 1] x [0, 1].
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn,
                                       float zf);
// Flattens geometry onto the plane along the light: a direction (x, y, z, 0)
// or a point (x, y, z, 1). With P the normalised plane and d = P . light,
// element (i, j) = d * (i == j) - P[i] * light[j].
D3DXMATRIX* D3DXMatrixShadow(D3DXMATRIX* out, const D3DXVECTOR4* light, const D3DXPLANE* plane);

// ---- Quaternions

inline D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    *out = {-q->x, -q->y, -q->z, q->w};
    return out;
}
// A zero quaternion stays zero.
D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q);
// The unit quaternion of the rotation in the upper 3x3 of m.
D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m);
// The rotation by angle about the normalised axis, the same rotation as
// D3DXMatrixRotationAxis. A zero axis gives the identity (0, 0, 0, 1).
D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle);

// ---- Planes

// a*x + b*y + c*z + d.
inline float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z + p->d;
}
// The plane scaled so that (a, b, c) has unit length; a plane with a zero
// normal stays as it is.
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p);
