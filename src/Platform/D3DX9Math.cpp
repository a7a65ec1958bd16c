#include "Platform/D3DX9Math.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace {

// Element-wise combination of two matrices.
template <typename Op>
D3DXMATRIX Combine(const D3DXMATRIX& a, const D3DXMATRIX& b, Op op) {
    D3DXMATRIX result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            result.m[r][c] = op(a.m[r][c], b.m[r][c]);
    return result;
}

// Divides by the length unless it is zero (or too small to be represented),
// so a zero vector stays zero instead of becoming NaN.
float SafeDivisor(float length) {
    return length > 0 ? length : 1.0f;
}

// Upper 3x3 of a rotation about the unit (or zero) axis n.
D3DXMATRIX AxisRotation(const D3DXVECTOR3& n, float angle) {
    const float c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    D3DXMATRIX out;
    out._11 = c + t * n.x * n.x;
    out._12 = t * n.x * n.y + s * n.z;
    out._13 = t * n.x * n.z - s * n.y;
    out._21 = t * n.x * n.y - s * n.z;
    out._22 = c + t * n.y * n.y;
    out._23 = t * n.y * n.z + s * n.x;
    out._31 = t * n.x * n.z + s * n.y;
    out._32 = t * n.y * n.z - s * n.x;
    out._33 = c + t * n.z * n.z;
    out._44 = 1;
    return out;
}

using DoublePair = double __attribute__((vector_size(16)));

// The 2x2 minors of the top two rows (s) and of the bottom two rows (c) of a
// 4x4 matrix, in double precision; the determinant and every cofactor are
// sums of their products.
struct Minors {
    double a[4][4];
    double s0, s1, s2, s3, s4, s5;
    double c0, c1, c2, c3, c4, c5;

    explicit Minors(const D3DXMATRIX& m) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                a[r][c] = m.m[r][c];
        s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
        s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
        s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
        s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
        s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
        s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];
        c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
        c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
        c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
        c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
        c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
        c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];
    }

    double Determinant() const { return s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0; }

    // The largest value the determinant can take for rows of these lengths.
    double RowLengthProduct() const {
        double product = 1;
        for (const auto& row : a)
            product *= std::sqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2] + row[3] * row[3]);
        return product;
    }

    // The inverse, given the (non-zero) determinant. Each row of the
    // adjugate goes in two pairs of columns: columns 0 and 1 from rows 1 and
    // 0 of the matrix with the bottom minors, columns 2 and 3 from rows 3
    // and 2 with the top minors. The entries of row 0 of the matrix are
    // negated in their lane (as are those of row 2), which gives each lane
    // the products and sums, and so the bits, of its cofactor written out
    // alone: a1k * c - a0k * c' there is a1k * c + (-a0k) * c'.
    D3DXMATRIX Inverse(double det) const {
        DoublePair low[4], high[4];
        for (int k = 0; k < 4; ++k) {
            low[k] = DoublePair{a[1][k], -a[0][k]};
            high[k] = DoublePair{a[3][k], -a[2][k]};
        }
        const DoublePair adjugate[4][2] = {
            {low[1] * c5 - low[2] * c4 + low[3] * c3, high[1] * s5 - high[2] * s4 + high[3] * s3},
            {-low[0] * c5 + low[2] * c2 - low[3] * c1, -high[0] * s5 + high[2] * s2 - high[3] * s1},
            {low[0] * c4 - low[1] * c2 + low[3] * c0, high[0] * s4 - high[1] * s2 + high[3] * s0},
            {-low[0] * c3 + low[1] * c1 - low[2] * c0, -high[0] * s3 + high[1] * s1 - high[2] * s0},
        };
        D3DXMATRIX out;
        for (int r = 0; r < 4; ++r)
            for (int half = 0; half < 2; ++half) {
                const DoublePair entries = adjugate[r][half] / det;
                out.m[r][2 * half] = static_cast<float>(entries[0]);
                out.m[r][2 * half + 1] = static_cast<float>(entries[1]);
            }
        return out;
    }
};

} // namespace

// ---- D3DXMATRIX

D3DXMATRIX::D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
                       float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44)
    : m{{m11, m12, m13, m14}, {m21, m22, m23, m24}, {m31, m32, m33, m34}, {m41, m42, m43, m44}} {}

D3DXMATRIX::D3DXMATRIX(const float* values) {
    std::memcpy(m, values, sizeof(m));
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& other) {
    D3DXMatrixMultiply(this, this, &other);
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& other) {
    return *this = *this + other;
}

D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& other) {
    return *this = *this - other;
}

D3DXMATRIX& D3DXMATRIX::operator*=(float s) {
    return *this = *this * s;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& other) const {
    D3DXMATRIX result;
    D3DXMatrixMultiply(&result, this, &other);
    return result;
}

D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& other) const {
    return Combine(*this, other, [](float a, float b) { return a + b; });
}

D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& other) const {
    return Combine(*this, other, [](float a, float b) { return a - b; });
}

D3DXMATRIX D3DXMATRIX::operator*(float s) const {
    return Combine(*this, *this, [s](float a, float) { return a * s; });
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& other) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (m[r][c] != other.m[r][c])
                return false;
    return true;
}

// ---- Vectors

float D3DXVec2Length(const D3DXVECTOR2* v) {
    return std::sqrt(D3DXVec2Dot(v, v));
}

D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* out, const D3DXVECTOR2* v) {
    *out = *v / SafeDivisor(D3DXVec2Length(v));
    return out;
}

float D3DXVec3Length(const D3DXVECTOR3* v) {
    return std::sqrt(D3DXVec3LengthSq(v));
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    *out = *v / SafeDivisor(D3DXVec3Length(v));
    return out;
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = {a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x};
    return out;
}

D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, float s) {
    *out = *a + (*b - *a) * s;
    return out;
}

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
    const D3DXVECTOR4 p = *v;
    *out = {p.x * m->_11 + p.y * m->_21 + p.z * m->_31 + p.w * m->_41,
            p.x * m->_12 + p.y * m->_22 + p.z * m->_32 + p.w * m->_42,
            p.x * m->_13 + p.y * m->_23 + p.z * m->_33 + p.w * m->_43,
            p.x * m->_14 + p.y * m->_24 + p.z * m->_34 + p.w * m->_44};
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    D3DXVECTOR4 p(*v, 1);
    D3DXVec4Transform(&p, &p, m);
    const float w = p.w != 0 ? p.w : 1.0f;
    *out = {p.x / w, p.y / w, p.z / w};
    return out;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    D3DXVECTOR4 p(*v, 0);
    D3DXVec4Transform(&p, &p, m);
    *out = {p.x, p.y, p.z};
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoordArray(D3DXVECTOR3* out, unsigned int outStride, const D3DXVECTOR3* in,
                                         unsigned int inStride, const D3DXMATRIX* m, unsigned int count) {
    // Elements are reached through byte offsets and copied with memcpy, so
    // any stride and any alignment of the surrounding records is safe.
    auto* dst = reinterpret_cast<unsigned char*>(out);
    const auto* src = reinterpret_cast<const unsigned char*>(in);
    for (unsigned int i = 0; i < count; ++i) {
        D3DXVECTOR3 p;
        std::memcpy(&p, src + static_cast<size_t>(i) * inStride, sizeof(p));
        D3DXVec3TransformCoord(&p, &p, m);
        std::memcpy(dst + static_cast<size_t>(i) * outStride, &p, sizeof(p));
    }
    return out;
}

D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT9* viewport,
                             const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world) {
    if (!viewport)
        return nullptr;
    D3DXMATRIX transform;
    D3DXMatrixIdentity(&transform);
    for (const D3DXMATRIX* m : {world, view, projection})
        if (m)
            transform *= *m;
    D3DXVECTOR3 p;
    D3DXVec3TransformCoord(&p, v, &transform);
    const auto& vp = *viewport;
    *out = {static_cast<float>(vp.X) + static_cast<float>(vp.Width) * (1 + p.x) * 0.5f,
            static_cast<float>(vp.Y) + static_cast<float>(vp.Height) * (1 - p.y) * 0.5f,
            vp.MinZ + p.z * (vp.MaxZ - vp.MinZ)};
    return out;
}

// ---- Matrices

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX();
    out->_11 = out->_22 = out->_33 = out->_44 = 1;
    return out;
}

D3DXMATRIX PlatIdentityMatrix() {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return identity;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    D3DXMATRIX result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            result.m[r][c] = a->m[r][0] * b->m[0][c] + a->m[r][1] * b->m[1][c] + a->m[r][2] * b->m[2][c] +
                             a->m[r][3] * b->m[3][c];
    *out = result;
    return out;
}

float D3DXMatrixDeterminant(const D3DXMATRIX* m) {
    return static_cast<float>(Minors(*m).Determinant());
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m) {
    const Minors minors(*m);
    const double det = minors.Determinant();
    if (determinant)
        *determinant = static_cast<float>(det);
    // Singular, or so nearly singular that the double-precision rounding of
    // the cofactors could account for the whole determinant.
    if (!std::isfinite(det) || std::fabs(det) <= 1e-12 * minors.RowLengthProduct())
        return nullptr;
    *out = minors.Inverse(det);
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->_41 = x;
    out->_42 = y;
    out->_43 = z;
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    *out = D3DXMATRIX();
    out->_11 = sx;
    out->_22 = sy;
    out->_33 = sz;
    out->_44 = 1;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
    *out = AxisRotation({1, 0, 0}, angle);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    *out = AxisRotation({0, 1, 0}, angle);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
    *out = AxisRotation({0, 0, 1}, angle);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle) {
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    *out = AxisRotation(n, angle);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll) {
    D3DXMATRIX rollM, pitchM, yawM;
    D3DXMatrixRotationZ(&rollM, roll);
    D3DXMatrixRotationX(&pitchM, pitch);
    D3DXMatrixRotationY(&yawM, yaw);
    *out = rollM * pitchM * yawM;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q) {
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    *out = D3DXMATRIX(1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0, //
                      2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0, //
                      2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0, //
                      0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    D3DXVECTOR3 zAxis = *at - *eye, xAxis, yAxis;
    D3DXVec3Normalize(&zAxis, &zAxis);
    D3DXVec3Cross(&xAxis, up, &zAxis);
    D3DXVec3Normalize(&xAxis, &xAxis);
    D3DXVec3Cross(&yAxis, &zAxis, &xAxis);
    *out = D3DXMATRIX(xAxis.x, yAxis.x, zAxis.x, 0, //
                      xAxis.y, yAxis.y, zAxis.y, 0, //
                      xAxis.z, yAxis.z, zAxis.z, 0, //
                      -D3DXVec3Dot(&xAxis, eye), -D3DXVec3Dot(&yAxis, eye), -D3DXVec3Dot(&zAxis, eye), 1);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf) {
    const float yScale = 1 / std::tan(fovY / 2);
    const float xScale = yScale / aspect;
    const float q = zf / (zf - zn);
    *out = D3DXMATRIX(xScale, 0, 0, 0, //
                      0, yScale, 0, 0, //
                      0, 0, q, 1,      //
                      0, 0, -zn * q, 0);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn,
                                       float zf) {
    *out = D3DXMATRIX(2 / (r - l), 0, 0, 0,   //
                      0, 2 / (t - b), 0, 0,   //
                      0, 0, 1 / (zf - zn), 0, //
                      (l + r) / (l - r), (t + b) / (b - t), zn / (zn - zf), 1);
    return out;
}

D3DXMATRIX* D3DXMatrixShadow(D3DXMATRIX* out, const D3DXVECTOR4* light, const D3DXPLANE* plane) {
    D3DXPLANE p;
    D3DXPlaneNormalize(&p, plane);
    const float d = p.a * light->x + p.b * light->y + p.c * light->z + p.d * light->w;
    const float* planeValues = p;
    const float* lightValues = *light;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out->m[i][j] = (i == j ? d : 0.0f) - planeValues[i] * lightValues[j];
    return out;
}

// ---- Quaternions

D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const float length = SafeDivisor(std::sqrt(q->x * q->x + q->y * q->y + q->z * q->z + q->w * q->w));
    *out = {q->x / length, q->y / length, q->z / length, q->w / length};
    return out;
}

D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m) {
    // Take the square root of the largest of 4w², 4x², 4y², 4z² (read off the
    // diagonal), which keeps the division below well away from zero.
    const float trace = m->_11 + m->_22 + m->_33;
    D3DXQUATERNION q;
    if (trace > 0) {
        const float s = 2 * std::sqrt(trace + 1); // 4w
        q = {(m->_23 - m->_32) / s, (m->_31 - m->_13) / s, (m->_12 - m->_21) / s, s / 4};
    } else if (m->_11 >= m->_22 && m->_11 >= m->_33) {
        const float s = 2 * std::sqrt(1 + m->_11 - m->_22 - m->_33); // 4x
        q = {s / 4, (m->_12 + m->_21) / s, (m->_13 + m->_31) / s, (m->_23 - m->_32) / s};
    } else if (m->_22 >= m->_33) {
        const float s = 2 * std::sqrt(1 + m->_22 - m->_11 - m->_33); // 4y
        q = {(m->_12 + m->_21) / s, s / 4, (m->_23 + m->_32) / s, (m->_31 - m->_13) / s};
    } else {
        const float s = 2 * std::sqrt(1 + m->_33 - m->_11 - m->_22); // 4z
        q = {(m->_13 + m->_31) / s, (m->_23 + m->_32) / s, s / 4, (m->_12 - m->_21) / s};
    }
    return D3DXQuaternionNormalize(out, &q);
}

D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle) {
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    if (n == D3DXVECTOR3()) {
        *out = {0, 0, 0, 1};
        return out;
    }
    const float s = std::sin(angle / 2);
    *out = {n.x * s, n.y * s, n.z * s, std::cos(angle / 2)};
    return out;
}

// ---- Planes

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p) {
    const float length = SafeDivisor(std::sqrt(p->a * p->a + p->b * p->b + p->c * p->c));
    *out = {p->a / length, p->b / length, p->c / length, p->d / length};
    return out;
}
