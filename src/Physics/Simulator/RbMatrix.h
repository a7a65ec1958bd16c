#pragma once

#include "Physics/Simulator/RbVector.h"

#include <cmath>

// A 3 x 3 matrix stored as three rows of four floats (the fourth unused).
// Vectors are row vectors: v * M = v.x row0 + v.y row1 + v.z row2.
struct RbMatrix3 {
    RbVector row[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    static RbMatrix3 Zero() { return {{RbVector(), RbVector(), RbVector()}}; }
    static RbMatrix3 Diagonal(float a, float b, float c) { return {{{a, 0, 0}, {0, b, 0}, {0, 0, c}}}; }
    float At(int r, int c) const { return row[r][c]; }
};

// A 4 x 4 row-major transform with row vectors: rows 0 to 2 are the axes,
// row 3 the position (fourth float 1).
struct RbMatrix4 {
    RbVector row[4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    const RbVector& Position() const { return row[3]; }
    void SetPosition(const RbVector& p) { row[3] = {p.x, p.y, p.z, 1.0f}; }
};

// v * R with the first three rows of a matrix.
inline RbVector RbRotate(const RbVector& v, const RbVector rows[3]) {
    return rows[0] * v.x + rows[1] * v.y + rows[2] * v.z;
}
inline RbVector RbRotate(const RbVector& v, const RbMatrix3& m) {
    return RbRotate(v, m.row);
}
inline RbVector RbRotate(const RbVector& v, const RbMatrix4& m) {
    return RbRotate(v, m.row);
}

inline RbVector RbTransformPoint(const RbVector& p, const RbMatrix4& m) {
    return RbRotate(p, m) + m.row[3];
}

// Coordinates of a world direction in the frame whose axes are the rows of m.
inline RbVector RbToFrame(const RbVector& v, const RbVector rows[3]) {
    return {RbDot(v, rows[0]), RbDot(v, rows[1]), RbDot(v, rows[2])};
}

// A transform relative to a parent placed in the parent's frame:
// axis row i = local row i * R, centre = local centre * R + position.
inline RbMatrix4 RbCompose(const RbMatrix4& local, const RbMatrix4& parent) {
    RbMatrix4 m;
    for (int i = 0; i < 3; ++i) {
        m.row[i] = RbRotate(local.row[i], parent);
        m.row[i].w = 0.0f;
    }
    m.SetPosition(RbTransformPoint(local.row[3], parent));
    return m;
}

inline RbMatrix3 RbMultiply(const RbMatrix3& a, const RbMatrix3& b) {
    RbMatrix3 m = RbMatrix3::Zero();
    for (int i = 0; i < 3; ++i)
        m.row[i] = RbRotate(a.row[i], b);
    return m;
}

inline RbMatrix3 RbTranspose(const RbMatrix3& a) {
    RbMatrix3 m = RbMatrix3::Zero();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m.row[i][j] = a.row[j][i];
    return m;
}

// Inertia in world axes: R^T * I * R for a body whose axes are the rows of R.
inline RbMatrix3 RbToWorldInertia(const RbMatrix3& rotation, const RbMatrix3& bodyInertia) {
    return RbMultiply(RbMultiply(RbTranspose(rotation), bodyInertia), rotation);
}

// Cross-product matrix for column vectors: [r]x v = r x v.
inline RbMatrix3 RbCrossMatrix(const RbVector& r) {
    return {{{0, -r.z, r.y}, {r.z, 0, -r.x}, {-r.y, r.x, 0}}};
}

inline float RbDeterminant(const RbMatrix3& m) {
    return m.At(0, 0) * (m.At(1, 1) * m.At(2, 2) - m.At(1, 2) * m.At(2, 1)) -
           m.At(0, 1) * (m.At(1, 0) * m.At(2, 2) - m.At(1, 2) * m.At(2, 0)) +
           m.At(0, 2) * (m.At(1, 0) * m.At(2, 1) - m.At(1, 1) * m.At(2, 0));
}

// Inverse by the adjugate; the zero matrix when |det| < 1e-17, so that a
// singular matrix yields no impulse instead of stale or infinite values.
inline RbMatrix3 RbInverse(const RbMatrix3& m) {
    float det = RbDeterminant(m);
    if (!(std::fabs(det) >= 1e-17f))
        return RbMatrix3::Zero();
    RbMatrix3 inv = RbMatrix3::Zero();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
            inv.row[i][j] = (m.At(r0, c0) * m.At(r1, c1) - m.At(r0, c1) * m.At(r1, c0)) / det;
        }
    }
    return inv;
}
