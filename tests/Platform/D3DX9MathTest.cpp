#include "Platform/D3DX9Math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr float kTol = 1e-5f;
constexpr float kDeg = D3DX_PI / 180;

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float tol = kTol) {
    EXPECT_NEAR(actual.x, expected.x, tol);
    EXPECT_NEAR(actual.y, expected.y, tol);
    EXPECT_NEAR(actual.z, expected.z, tol);
}

void ExpectNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tol = kTol) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual(r, c), expected(r, c), tol) << "element (" << r << ", " << c << ")";
}

D3DXVECTOR3 Transform(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

D3DXMATRIX RotX(float a) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationX(&m, a);
}
D3DXMATRIX RotY(float a) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationY(&m, a);
}
D3DXMATRIX RotZ(float a) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationZ(&m, a);
}
D3DXMATRIX RotAxis(D3DXVECTOR3 axis, float a) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationAxis(&m, &axis, a);
}
D3DXMATRIX YawPitchRoll(float yaw, float pitch, float roll) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationYawPitchRoll(&m, yaw, pitch, roll);
}
D3DXMATRIX Translation(float x, float y, float z) {
    D3DXMATRIX m;
    return *D3DXMatrixTranslation(&m, x, y, z);
}
D3DXMATRIX FromQuaternion(const D3DXQUATERNION& q) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationQuaternion(&m, &q);
}

bool AllFinite(const D3DXMATRIX& m) {
    for (int i = 0; i < 16; ++i)
        if (!std::isfinite(static_cast<const float*>(m)[i]))
            return false;
    return true;
}

const D3DXVECTOR3 X(1, 0, 0), Y(0, 1, 0), Z(0, 0, 1);

} // namespace

TEST(D3DX9Math, MatrixLayoutIsRowMajorWithTranslationInRowThree) {
    const D3DXMATRIX t = Translation(5, 6, 7);
    EXPECT_EQ(t._41, 5);
    EXPECT_EQ(t.m[3][1], 6);
    EXPECT_EQ(t(3, 2), 7);
    EXPECT_EQ(static_cast<const float*>(t)[12], 5);
    EXPECT_EQ(t._44, 1);
    ExpectNear(Transform({1, 2, 3}, t), {6, 8, 10});

    D3DXMATRIX values(static_cast<const float*>(t));
    EXPECT_EQ(values, t);
    values(0, 1) = 9;
    EXPECT_EQ(values._12, 9);
    EXPECT_NE(values, t);

    const D3DXVECTOR3 v(1, 2, 3);
    EXPECT_EQ(static_cast<const float*>(v)[2], 3);
    EXPECT_EQ(D3DXVECTOR4(v, 4), D3DXVECTOR4(1, 2, 3, 4));
}

TEST(D3DX9Math, RotationsMapUnitAxesAsTheRowVectorForms) {
    const float a = 0.3f, c = std::cos(a), s = std::sin(a);
    struct Case {
        const char* name;
        D3DXMATRIX m;
        D3DXVECTOR3 in, out;
    };
    const Case cases[] = {
        {"RotZ maps x to (cos, sin, 0)", RotZ(a), X, {c, s, 0}},
        {"RotZ maps y to (-sin, cos, 0)", RotZ(a), Y, {-s, c, 0}},
        {"RotZ 90 maps x to y", RotZ(90 * kDeg), X, Y},
        {"RotX 90 maps y to z", RotX(90 * kDeg), Y, Z},
        {"RotX 90 maps z to -y", RotX(90 * kDeg), Z, -Y},
        {"RotY 90 maps z to x", RotY(90 * kDeg), Z, X},
        {"RotY 90 maps x to -z", RotY(90 * kDeg), X, -Z},
        {"axis (1,1,1) by 120 maps x to y", RotAxis({1, 1, 1}, 120 * kDeg), X, Y},
        {"axis (1,1,1) by 120 maps y to z", RotAxis({1, 1, 1}, 120 * kDeg), Y, Z},
        {"translate, then rotate", Translation(1, 2, 3) * RotZ(90 * kDeg), X, {-2, 2, 3}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ExpectNear(Transform(test.in, test.m), test.out);
    }
}

TEST(D3DX9Math, RotationAxisAgreesWithTheAxisRotationsAndNormalisesTheAxis) {
    for (float angle : {0.0f, 0.4f, -1.3f, 3.0f}) {
        SCOPED_TRACE(angle);
        ExpectNear(RotAxis({0, 0, 2}, angle), RotZ(angle));
        ExpectNear(RotAxis({0.5f, 0, 0}, angle), RotX(angle));
        ExpectNear(RotAxis({0, 7, 0}, angle), RotY(angle));
    }
}

TEST(D3DX9Math, RotationAboutAZeroAxisIsCosineTimesIdentity) {
    for (float angle : {0.0f, 0.7f, D3DX_PI}) {
        SCOPED_TRACE(angle);
        const D3DXMATRIX m = RotAxis({0, 0, 0}, angle);
        const float c = std::cos(angle);
        ExpectNear(m, D3DXMATRIX(c, 0, 0, 0, 0, c, 0, 0, 0, 0, c, 0, 0, 0, 0, 1));
        ASSERT_TRUE(AllFinite(m));
    }
}

TEST(D3DX9Math, YawPitchRollAppliesRollThenPitchThenYaw) {
    const float r = 90 * kDeg;
    struct Case {
        float yaw, pitch, roll;
        D3DXVECTOR3 in, out;
    };
    const Case cases[] = {
        {r, 0, 0, X, -Z}, // yaw alone is about Y
        {0, r, 0, Y, Z},  // pitch alone is about X
        {0, 0, r, X, Y},  // roll alone is about Z
        {r, 0, r, X, Y},  // roll x to y first; yaw keeps y
        {r, r, r, X, X},  // x -> y -> z -> x
        {r, r, r, Y, Z},  // y -> -x -> -x -> z
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << test.yaw << " " << test.pitch << " " << test.roll);
        ExpectNear(Transform(test.in, YawPitchRoll(test.yaw, test.pitch, test.roll)), test.out);
    }
    ExpectNear(YawPitchRoll(0.3f, -0.7f, 1.1f), RotZ(1.1f) * RotX(-0.7f) * RotY(0.3f));
}

TEST(D3DX9Math, MultiplyAppliesTheLeftMatrixFirstAndMayWriteOverAnInput) {
    const D3DXMATRIX r = RotZ(90 * kDeg), t = Translation(10, 0, 0);
    ExpectNear(Transform(X, r * t), {10, 1, 0});
    ExpectNear(Transform(X, t * r), {0, 11, 0});

    D3DXMATRIX m = r;
    D3DXMatrixMultiply(&m, &m, &t);
    ExpectNear(m, r * t);
    m = t;
    D3DXMatrixMultiply(&m, &r, &m);
    ExpectNear(m, r * t);
}

TEST(D3DX9Math, QuaternionMatrixUsesTheRowVectorForm) {
    const float h = std::sqrt(0.5f);
    ExpectNear(Transform(X, FromQuaternion({0, 0, h, h})), Y);
    ExpectNear(FromQuaternion({0, 0, 0, 1}), Identity());
    ExpectNear(FromQuaternion({0.1f, 0.5f, -0.5f, 0.7f}),
               D3DXMATRIX(1 - 2 * (0.25f + 0.25f), 2 * (0.05f - 0.35f), 2 * (-0.05f - 0.35f), 0,  //
                          2 * (0.05f + 0.35f), 1 - 2 * (0.01f + 0.25f), 2 * (-0.25f + 0.07f), 0,  //
                          2 * (-0.05f + 0.35f), 2 * (-0.25f - 0.07f), 1 - 2 * (0.01f + 0.25f), 0, //
                          0, 0, 0, 1));
}

TEST(D3DX9Math, QuaternionFromAxisAngleEqualsMatrixFromAxisAngle) {
    struct Case {
        D3DXVECTOR3 axis;
        float angle;
    };
    const Case cases[] = {{Z, 90 * kDeg}, {{1, 2, 3}, 0.8f}, {{-1, 0.5f, 0}, -2.5f}, {{0, 0, -4}, D3DX_PI}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.angle);
        D3DXQUATERNION q;
        D3DXQuaternionRotationAxis(&q, &test.axis, test.angle);
        ExpectNear(FromQuaternion(q), RotAxis(test.axis, test.angle));
        EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1, kTol);
    }

    D3DXQUATERNION q;
    const D3DXVECTOR3 zero;
    EXPECT_EQ(*D3DXQuaternionRotationAxis(&q, &zero, D3DX_PI), D3DXQUATERNION(0, 0, 0, 1));
}

TEST(D3DX9Math, QuaternionFromMatrixRoundTripsOnEveryBranch) {
    const D3DXMATRIX rotations[] = {
        Identity(),
        YawPitchRoll(0.3f, -0.2f, 0.9f),        // positive trace
        RotX(D3DX_PI),                          // x dominates
        RotY(D3DX_PI),                          // y dominates
        RotZ(D3DX_PI),                          // z dominates
        RotAxis({1, -2, 0.5f}, 2.9f),           // near half turn about a skew axis
        RotZ(90 * kDeg) * Translation(4, 5, 6), // translation ignored
    };
    for (const D3DXMATRIX& m : rotations) {
        D3DXQUATERNION q;
        D3DXQuaternionRotationMatrix(&q, &m);
        EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1, kTol);
        D3DXMATRIX back = FromQuaternion(q);
        back._41 = m._41, back._42 = m._42, back._43 = m._43;
        ExpectNear(back, m);
    }
    D3DXQUATERNION q;
    const D3DXMATRIX zero;
    D3DXQuaternionRotationMatrix(&q, &zero);
    EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w));
}

TEST(D3DX9Math, QuaternionNormalizeAndConjugate) {
    D3DXQUATERNION q(0, 3, 0, 4), out;
    EXPECT_EQ(*D3DXQuaternionNormalize(&out, &q), D3DXQUATERNION(0, 0.6f, 0, 0.8f));
    const D3DXQUATERNION zero;
    EXPECT_EQ(*D3DXQuaternionNormalize(&out, &zero), zero);

    // The conjugate of a unit quaternion is the inverse rotation.
    D3DXQuaternionRotationAxis(&q, &Z, 0.6f);
    EXPECT_EQ(*D3DXQuaternionConjugate(&out, &q), D3DXQUATERNION(-q.x, -q.y, -q.z, q.w));
    ExpectNear(FromQuaternion(out), RotZ(-0.6f));
}

TEST(D3DX9Math, VectorBasics) {
    D3DXVECTOR3 out;
    EXPECT_EQ(*D3DXVec3Cross(&out, &X, &Y), Z);
    EXPECT_EQ(*D3DXVec3Cross(&out, &Y, &Z), X);
    EXPECT_EQ(*D3DXVec3Cross(&out, &Z, &X), Y);
    const D3DXVECTOR3 a(1, 2, 3), b(-4, 5, 0.5f);
    EXPECT_FLOAT_EQ(D3DXVec3Dot(&a, &b), 7.5f);
    EXPECT_FLOAT_EQ(D3DXVec3LengthSq(&a), 14);
    EXPECT_FLOAT_EQ(D3DXVec3Length(&a), std::sqrt(14.0f));
    ExpectNear(*D3DXVec3Lerp(&out, &a, &b, 0.25f), {-0.25f, 2.75f, 2.375f});
    EXPECT_EQ(*D3DXVec3Lerp(&out, &a, &b, 1), b);

    const D3DXVECTOR2 p(3, -4), q(2, 1);
    EXPECT_FLOAT_EQ(D3DXVec2Dot(&p, &q), 2);
    EXPECT_FLOAT_EQ(D3DXVec2Length(&p), 5);
}

TEST(D3DX9Math, NormalizeGivesUnitVectorsAndKeepsZeroVectorsZero) {
    struct Case {
        D3DXVECTOR3 in, out;
    };
    const Case cases[] = {
        {{3, 4, 0}, {0.6f, 0.8f, 0}},
        {{0, 0, -2}, {0, 0, -1}},
        {{1e-18f, 0, 0}, {1, 0, 0}},
        {{0, 0, 0}, {0, 0, 0}},
        {{1e-30f, -1e-30f, 0}, {0, 0, 0}}, // the squared length underflows to
                                           // zero
        {{-0.0f, 0, 0}, {0, 0, 0}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << test.in.x << " " << test.in.y << " " << test.in.z);
        D3DXVECTOR3 out;
        ExpectNear(*D3DXVec3Normalize(&out, &test.in), test.out);
        EXPECT_TRUE(std::isfinite(out.x) && std::isfinite(out.y) && std::isfinite(out.z));
    }

    D3DXVECTOR2 v(-3, 4), zero;
    EXPECT_EQ(*D3DXVec2Normalize(&v, &v), D3DXVECTOR2(-0.6f, 0.8f));
    EXPECT_EQ(*D3DXVec2Normalize(&v, &zero), zero);
}

TEST(D3DX9Math, TransformCoordDividesByWAndSkipsADivideByZero) {
    D3DXMATRIX m = Translation(1, 2, 3);
    m._44 = 2;
    ExpectNear(Transform({1, 1, 1}, m), {1, 1.5f, 2});

    m._14 = -1; // w = 2 - x: zero at x = 2
    const D3DXVECTOR3 atZero = Transform({2, 0, 0}, m);
    ExpectNear(atZero, {3, 2, 3});

    D3DXVECTOR3 out;
    const D3DXVECTOR3 v(1, 1, 1);
    ExpectNear(*D3DXVec3TransformNormal(&out, &v, &m), {1, 1, 1});

    D3DXVECTOR4 row(1, 2, 3, 1);
    D3DXVec4Transform(&row, &row, &m);
    EXPECT_EQ(row, D3DXVECTOR4(2, 4, 6, 1));
}

TEST(D3DX9Math, TransformCoordArrayUsesByteStridesAndLeavesOtherBytes) {
    struct Vertex {
        D3DXVECTOR3 position;
        float rest[9];
    };
    static_assert(sizeof(Vertex) == 48);
    std::vector<Vertex> vertices(3);
    for (int i = 0; i < 3; ++i) {
        vertices[i].position = {static_cast<float>(i), 0, 0};
        std::fill(std::begin(vertices[i].rest), std::end(vertices[i].rest), 7.0f);
    }
    const D3DXMATRIX m = RotZ(90 * kDeg) * Translation(0, 0, 5);
    D3DXVec3TransformCoordArray(&vertices[0].position, sizeof(Vertex), &vertices[0].position, sizeof(Vertex),
                                &m, 3);
    for (int i = 0; i < 3; ++i) {
        ExpectNear(vertices[i].position, {0, static_cast<float>(i), 5});
        for (float value : vertices[i].rest)
            EXPECT_EQ(value, 7.0f);
    }

    D3DXVECTOR3 packed[3];
    D3DXVec3TransformCoordArray(packed, sizeof(D3DXVECTOR3), &vertices[0].position, sizeof(Vertex), &m, 3);
    ExpectNear(packed[2], {-2, 0, 10});
}

TEST(D3DX9Math, LookAtLHBuildsTheViewAxes) {
    // Z-up world, camera on -y looking at the origin.
    const D3DXVECTOR3 eye(0, -10, 0), at(0, 0, 0), up(0, 0, 1);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    ExpectNear(view, D3DXMATRIX(-1, 0, 0, 0, //
                                0, 0, 1, 0,  //
                                0, 1, 0, 0,  //
                                0, 0, 10, 1));
    ExpectNear(Transform(eye, view), {0, 0, 0});
    ExpectNear(Transform(at, view), {0, 0, 10});
    ExpectNear(Transform(eye + up, view), {0, 1, 0});
    ExpectNear(Transform({-1, -10, 0}, view), {1, 0, 0});

    // A skew camera: the view is rigid and sends the direction of sight to +z.
    const D3DXVECTOR3 eye2(3, 4, 5), at2(-1, 2, 0);
    D3DXMatrixLookAtLH(&view, &eye2, &at2, &up);
    D3DXVECTOR3 dir = at2 - eye2;
    D3DXVec3Normalize(&dir, &dir);
    ExpectNear(Transform(eye2 + dir, view), Z);
    EXPECT_NEAR(D3DXMatrixDeterminant(&view), 1, kTol);

    D3DXMatrixLookAtLH(&view, &eye, &eye, &up);
    EXPECT_TRUE(AllFinite(view));
}

TEST(D3DX9Math, PerspectiveFovLHMapsNearToZeroAndFarToOne) {
    const float zn = 1, zf = 101;
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovLH(&p, 90 * kDeg, 2, zn, zf);
    const float q = zf / (zf - zn);
    ExpectNear(p, D3DXMATRIX(0.5f, 0, 0, 0, //
                             0, 1, 0, 0,    //
                             0, 0, q, 1,    //
                             0, 0, -zn * q, 0));
    ExpectNear(Transform({0, 0, zn}, p), {0, 0, 0});
    ExpectNear(Transform({0, 0, zf}, p), {0, 0, 1});
    ExpectNear(Transform({2 * zf, zf, zf}, p), {1, 1, 1}); // corner of the far plane

    const D3DXVECTOR3 middle = Transform({0, 0, 10}, p);
    EXPECT_GT(middle.z, 0);
    EXPECT_LT(middle.z, 1);
}

TEST(D3DX9Math, OrthoOffCenterLHMapsTheBoxToClipSpace) {
    D3DXMATRIX o;
    D3DXMatrixOrthoOffCenterLH(&o, 0, 800, 600, 0, 0, 1);
    ExpectNear(o, D3DXMATRIX(2.0f / 800, 0, 0, 0,  //
                             0, -2.0f / 600, 0, 0, //
                             0, 0, 1, 0,           //
                             -1, 1, 0, 1));
    ExpectNear(Transform({0, 0, 0}, o), {-1, 1, 0});
    ExpectNear(Transform({800, 600, 1}, o), {1, -1, 1});
    ExpectNear(Transform({400, 300, 0.5f}, o), {0, 0, 0.5f});

    D3DXMatrixOrthoOffCenterLH(&o, -2, 2, -1, 1, 10, 20);
    ExpectNear(Transform({-2, 1, 10}, o), {-1, 1, 0});
    ExpectNear(Transform({2, -1, 20}, o), {1, -1, 1});
}

TEST(D3DX9Math, InverseOfARigidTransform) {
    const D3DXMATRIX m = YawPitchRoll(0.4f, -1.2f, 2.0f) * Translation(100, -50, 7);
    D3DXMATRIX inverse;
    float det = 0;
    ASSERT_EQ(D3DXMatrixInverse(&inverse, &det, &m), &inverse);
    EXPECT_NEAR(det, 1, kTol);
    ExpectNear(m * inverse, Identity(), 1e-4f);
    ExpectNear(Transform(Transform({1, 2, 3}, m), inverse), {1, 2, 3}, 1e-4f);

    // The rotation part of the inverse is the transpose.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(inverse(r, c), m(c, r), kTol);

    D3DXMATRIX inPlace = m;
    ASSERT_NE(D3DXMatrixInverse(&inPlace, nullptr, &inPlace), nullptr);
    ExpectNear(inPlace, inverse);

    // Far from the origin with a small scale: still invertible.
    D3DXMATRIX small;
    D3DXMatrixScaling(&small, 1e-3f, 2e-3f, 1e-3f);
    const D3DXMATRIX far = small * Translation(1e4f, -1e4f, 1e4f);
    ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &far), nullptr);
    const D3DXMATRIX expected(1e3f, 0, 0, 0, 0, 5e2f, 0, 0, 0, 0, 1e3f, 0, -1e7f, 5e6f, -1e7f, 1);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(inverse(r, c), expected(r, c), 1e-6f * std::fabs(expected(r, c)));
}

// The inverse by the cofactor rule in double, one entry at a time: the 2x2
// minors of rows 0 and 1 (top) and of rows 2 and 3 (bottom), the determinant
// expanded over complementary minors, and each cofactor expanded along the
// row of its pair that it keeps, its terms in the order of the columns.
D3DXMATRIX CofactorInverse(const D3DXMATRIX& m) {
    // The column pairs (0, 1), (0, 2), (0, 3), (1, 2), (1, 3), (2, 3); pair
    // 5 - k holds the other two columns of pair k.
    const int pairs[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
    double top[6], bottom[6];
    for (int k = 0; k < 6; ++k) {
        const int i = pairs[k][0], j = pairs[k][1];
        top[k] = double{m(0, i)} * m(1, j) - double{m(1, i)} * m(0, j);
        bottom[k] = double{m(2, i)} * m(3, j) - double{m(3, i)} * m(2, j);
    }
    const double det = top[0] * bottom[5] - top[1] * bottom[4] + top[2] * bottom[3] + top[3] * bottom[2] -
                       top[4] * bottom[1] + top[5] * bottom[0];
    const auto pairWithout = [&](int a, int b) {
        int k = 0;
        while (pairs[k][0] == a || pairs[k][0] == b || pairs[k][1] == a || pairs[k][1] == b)
            ++k;
        return k;
    };
    // Columns 0 to 3 of the inverse expand along rows 1, 0, 3 and 2 with the
    // minors of the other pair of rows, starting with the signs +, -, +, -
    // in row 0 of the inverse and alternating down and along.
    const int rowOf[4] = {1, 0, 3, 2};
    D3DXMATRIX inverse;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const double* minors = c < 2 ? bottom : top;
            double sign = (r + c) % 2 == 0 ? 1 : -1;
            double sum = 0;
            bool first = true;
            for (int k = 0; k < 4; ++k) {
                if (k == r)
                    continue;
                const double term = (sign * m(rowOf[c], k)) * minors[pairWithout(r, k)];
                sum = first ? term : sum + term;
                first = false;
                sign = -sign;
            }
            inverse(r, c) = static_cast<float>(sum / det);
        }
    return inverse;
}

// D3DXMatrixInverse takes its cofactors two at a time; each entry keeps the
// bits of its cofactor taken alone, for views (with their signed zeros),
// projections, their products far from the origin and a general matrix.
TEST(D3DX9Math, InverseIsTheCofactorRuleBitForBit) {
    D3DXMATRIX lookAt, axisView, projection, scaling;
    const D3DXVECTOR3 eye(1523.25f, -2311.5f, 41.75f), at(1531, -2302, 39), up(0, 0, 1);
    D3DXMatrixLookAtLH(&lookAt, &eye, &at, &up);
    const D3DXVECTOR3 origin(0, 0, 0), alongY(0, 1, 0);
    D3DXMatrixLookAtLH(&axisView, &origin, &alongY, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 1.0471976f, 16.0f / 9.0f, 1, 2000);
    D3DXMatrixScaling(&scaling, 1e-3f, -2e3f, 0.5f);
    const D3DXMATRIX general(-2.1938145f, 2.0846024f, 1.5826477f, -1.4695859f,     //
                             -0.027389478f, -0.30305362f, 0.90955782f, 1.7323401f, //
                             0.75f, -0.0f, 3.5f, 0.25f,                            //
                             -2.4368424f, -2.829915f, 2.0145907f, -0.40339759f);
    const D3DXMATRIX cases[] = {
        lookAt,
        axisView,
        projection,
        lookAt * projection,
        axisView * projection,
        YawPitchRoll(0.4f, -1.2f, 2.0f) * Translation(100, -50, 7),
        scaling * Translation(1e4f, -1e4f, 1e4f),
        general,
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        D3DXMATRIX inverse;
        ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &cases[i]), nullptr);
        const D3DXMATRIX expected = CofactorInverse(cases[i]);
        EXPECT_EQ(std::memcmp(&inverse, &expected, sizeof(inverse)), 0);
    }
}

TEST(D3DX9Math, InverseReportsSingularMatricesAndLeavesTheOutputAlone) {
    D3DXMATRIX flat;
    D3DXMatrixScaling(&flat, 1, 0, 1);
    const D3DXMATRIX parallelFrame(1, 2, 0, 0, //
                                   2, 4, 0, 0, //
                                   0, 0, 1, 0, //
                                   5, 6, 0, 1);
    D3DXMATRIX shadow;
    const D3DXVECTOR4 light(0.3f, -0.2f, -1, 0);
    const D3DXPLANE ground(0, 0, -1, 0.5f);
    D3DXMatrixShadow(&shadow, &light, &ground);
    const D3DXMATRIX zero;
    // Rows 0 and 2 equal; the cofactor sums round to about -7e-15, not 0.
    const D3DXMATRIX repeatedRow(-2.1938145f, 2.0846024f, 1.5826477f, -1.4695859f,     //
                                 -0.027389478f, -0.30305362f, 0.90955782f, 1.7323401f, //
                                 -2.1938145f, 2.0846024f, 1.5826477f, -1.4695859f,     //
                                 -2.4368424f, -2.829915f, 2.0145907f, -0.40339759f);

    for (const D3DXMATRIX& m : {flat, parallelFrame, shadow, zero, repeatedRow}) {
        D3DXMATRIX out = Translation(9, 9, 9);
        float det = 1;
        EXPECT_EQ(D3DXMatrixInverse(&out, &det, &m), nullptr);
        EXPECT_EQ(out, Translation(9, 9, 9));
        EXPECT_NEAR(det, 0, 1e-6f);
    }
}

TEST(D3DX9Math, ShadowMatrixFlattensOntoThePlaneAlongTheLight) {
    const D3DXVECTOR4 light(0.3f, -0.2f, -1, 0);
    D3DXMATRIX m;
    const D3DXPLANE ground(0, 0, -1, 0.5f);
    D3DXMatrixShadow(&m, &light, &ground);
    // d = P . L = 1; element (i, j) = d * (i == j) - P[i] * L[j].
    ExpectNear(m, D3DXMATRIX(1, 0, 0, 0,        //
                             0, 1, 0, 0,        //
                             0.3f, -0.2f, 0, 0, //
                             -0.15f, 0.1f, 0.5f, 1));
    // A point at z = 10 moves along the light onto z = 0.5.
    ExpectNear(Transform({2, 3, 10}, m), {2 + 9.5f * 0.3f, 3 - 9.5f * 0.2f, 0.5f});

    // A plane given unnormalised gives the same matrix.
    D3DXMATRIX scaled;
    const D3DXPLANE ground2(0, 0, -2, 1);
    D3DXMatrixShadow(&scaled, &light, &ground2);
    ExpectNear(scaled, m);

    const D3DXPLANE floor(0, 0, -1, 0);
    D3DXMatrixShadow(&m, &light, &floor);
    ExpectNear(Transform({-4, 1, 10}, m), {-4 + 10 * 0.3f, 1 - 10 * 0.2f, 0});
}

TEST(D3DX9Math, ProjectMapsThroughTheMatricesAndTheViewport) {
    D3DVIEWPORT9 viewport;
    viewport.X = 10, viewport.Y = 20, viewport.Width = 800, viewport.Height = 600;
    viewport.MinZ = 0.25f, viewport.MaxZ = 0.75f;
    struct Case {
        D3DXVECTOR3 in, out;
    };
    const Case cases[] = {
        {{0, 0, 0.5f}, {410, 320, 0.5f}},
        {{1, 1, 0}, {810, 20, 0.25f}},
        {{-1, -1, 1}, {10, 620, 0.75f}},
    };
    D3DXVECTOR3 out;
    for (const Case& test : cases) {
        SCOPED_TRACE("row " + std::to_string(&test - cases));
        ASSERT_EQ(D3DXVec3Project(&out, &test.in, &viewport, nullptr, nullptr, nullptr), &out);
        ExpectNear(out, test.out);
    }

    // world, then view, then projection.
    D3DXMATRIX projection, view;
    D3DXMatrixPerspectiveFovLH(&projection, 90 * kDeg, 800.0f / 600, 1, 100);
    const D3DXVECTOR3 eye(0, -10, 0), at(0, 0, 0), up(0, 0, 1);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    const D3DXMATRIX world = Translation(0, 90, 0);
    const D3DXVECTOR3 origin(0, 0, 0);
    D3DXVec3Project(&out, &origin, &viewport, &projection, &view, &world);
    ExpectNear(out, {410, 320, 0.75f});

    out = {1, 2, 3};
    EXPECT_EQ(D3DXVec3Project(&out, &origin, nullptr, &projection, &view, &world), nullptr);
    EXPECT_EQ(out, D3DXVECTOR3(1, 2, 3));
}

TEST(D3DX9Math, PlaneDotCoordAndNormalize) {
    const D3DXPLANE plane(0, 0, -2, 1);
    const D3DXVECTOR3 p(5, 6, 10);
    EXPECT_FLOAT_EQ(D3DXPlaneDotCoord(&plane, &p), -19);
    D3DXPLANE unit;
    EXPECT_EQ(*D3DXPlaneNormalize(&unit, &plane), D3DXPLANE(0, 0, -1, 0.5f));
    const D3DXPLANE degenerate(0, 0, 0, 3);
    EXPECT_EQ(*D3DXPlaneNormalize(&unit, &degenerate), degenerate);
}

TEST(D3DX9Math, MatrixArithmeticIsElementWise) {
    const D3DXMATRIX a = RotZ(0.5f), b = Translation(2, 4, 6);
    const D3DXMATRIX halfway = a + (b - a) * 0.5f;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(halfway(r, c), (a(r, c) + b(r, c)) / 2, kTol);
    D3DXMATRIX sum = a;
    sum += b;
    sum -= a;
    ExpectNear(sum, b);
    sum *= 2.0f;
    ExpectNear(sum, 2.0f * b);
}
