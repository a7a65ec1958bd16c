#include "Core/PSettings.h"
#include "Render/PPerspectiveCamera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

bool SameMatrix(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

struct BoxCase {
    const char* name;
    D3DXVECTOR3 boxMin;
    D3DXVECTOR3 boxMax;
    bool seen;
};

// A camera at the origin looking along +y with z up, a 90-degree field of
// view, near 1 and far 10, on a square screen: its frustum is the pyramid
// |x| < y, |z| < y between y = 1 and y = 10.
class CameraTest : public ::testing::Test {
protected:
    CameraTest() : savedWidth(g_ScreenWidth), savedHeight(g_ScreenHeight) {
        g_ScreenWidth = g_ScreenHeight = 100;
        camera.eye = D3DXVECTOR3(0, 0, 0);
        camera.target = D3DXVECTOR3(0, 1, 0);
        camera.up = D3DXVECTOR3(0, 0, 1);
        camera.fov = std::numbers::pi_v<float> / 2;
        camera.nearPlane = 1;
        camera.farPlane = 10;
        camera.viewDirty = camera.projectionDirty = true;
        camera.UpdateMatrices();
    }
    ~CameraTest() override {
        g_ScreenWidth = savedWidth;
        g_ScreenHeight = savedHeight;
    }

    bool Sees(const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax) {
        return IsBoxInFrustum(&camera, boxMin, boxMax);
    }
    template <std::size_t N>
    void CheckBoxes(const BoxCase (&cases)[N]) {
        for (const BoxCase& c : cases)
            EXPECT_EQ(Sees(c.boxMin, c.boxMax), c.seen) << c.name;
    }

    int savedWidth;
    int savedHeight;
    CPPerspectiveCamera camera;
};

TEST_F(CameraTest, FrustumPlanesPointInwardThroughTheCorners) {
    // Computed by hand from the corners: the near corners are (+-1, 1, +-1),
    // the far ones (+-10, 10, +-10); screen right is world -x.
    const D3DXPLANE expected[CPPerspectiveCamera::PLANE_COUNT] = {
        {0, 4, 0, -4},      // near: y > 1
        {0, -400, 0, 4000}, // far: y < 10
        {-180, 180, 0, 0},  // left: x < y
        {180, 180, 0, 0},   // right: x > -y
        {0, 18, -18, 0},    // top: z < y
        {0, 18, 18, 0},     // bottom: z > -y
    };
    for (int i = 0; i < CPPerspectiveCamera::PLANE_COUNT; ++i) {
        SCOPED_TRACE(i);
        const D3DXPLANE& plane = camera.planes[i];
        const float scale = std::max({std::fabs(expected[i].a), std::fabs(expected[i].b),
                                      std::fabs(expected[i].c), std::fabs(expected[i].d)});
        EXPECT_NEAR(plane.a, expected[i].a, scale * 1e-3f);
        EXPECT_NEAR(plane.b, expected[i].b, scale * 1e-3f);
        EXPECT_NEAR(plane.c, expected[i].c, scale * 1e-3f);
        EXPECT_NEAR(plane.d, expected[i].d, scale * 1e-3f);
    }
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &camera.view, &camera.projection);
    EXPECT_TRUE(SameMatrix(camera.viewProjection, product));
    // The sky's projection reaches 1000 whatever the camera's far plane.
    EXPECT_NEAR(camera.farProjection._33, 1000.0f / 999.0f, 1e-6f);
}

TEST_F(CameraTest, BoxesAgainstTheFrustum) {
    const BoxCase cases[] = {
        {"inside", {-0.5f, 4, -0.5f}, {0.5f, 5, 0.5f}, true},
        {"behind the eye", {-1, -5, -1}, {1, -2, 1}, false},
        {"beyond the far plane", {-1, 11, -1}, {1, 12, 1}, false},
        {"beside the frustum", {20, 4, -1}, {21, 5, 1}, false},
        {"below the frustum", {-1, 4, -9}, {1, 5, -8}, false},
        {"across the near plane", {-0.5f, 0, -0.5f}, {0.5f, 2, 0.5f}, true},
        {"across a side plane", {4, 4, -1}, {6, 5, 1}, true},
        {"around the whole frustum", {-50, -50, -50}, {50, 50, 50}, true},
        // Conservative: no plane has all corners outside, though no point of
        // the box is both nearer than the far plane and inside the left one.
        {"beyond the far left edge", {11, 9, -1}, {12, 12, 1}, true},
    };
    CheckBoxes(cases);
}

TEST_F(CameraTest, ACornerOnAPlaneCountsAsOutside) {
    // Exact planes of the unit cube, so that values of 0 are exact.
    const D3DXPLANE cube[CPPerspectiveCamera::PLANE_COUNT] = {{1, 0, 0, 0},  {-1, 0, 0, 1}, {0, 1, 0, 0},
                                                              {0, -1, 0, 1}, {0, 0, 1, 0},  {0, 0, -1, 1}};
    std::copy(std::begin(cube), std::end(cube), camera.planes);
    const BoxCase cases[] = {
        {"touching a face from outside", {1, 0, 0}, {2, 1, 1}, false},
        {"touching at one corner", {-1, -1, -1}, {0, 0, 0}, false},
        {"lying flat in a face", {0, 0, 0}, {0, 1, 1}, false},
        {"reaching just inside", {-1, -1, -1}, {0.01f, 0.01f, 0.01f}, true},
        {"the cube itself", {0, 0, 0}, {1, 1, 1}, true},
    };
    CheckBoxes(cases);
}

TEST_F(CameraTest, UpdatesFollowTheDirtyFlags) {
    const D3DXMATRIX oldView = camera.view;
    const D3DXMATRIX oldProjection = camera.projection;
    // A box at x 3..3.5 is inside the 90-degree pyramid but not a narrower one.
    const D3DXVECTOR3 boxMin(3, 5, -0.5f), boxMax(3.5f, 5, 0.5f);
    ASSERT_TRUE(Sees(boxMin, boxMax));

    // Without a flag nothing is recomputed.
    camera.fov = 2 * std::atan(0.5f);
    camera.eye = D3DXVECTOR3(100, 0, 0);
    camera.UpdateMatrices();
    EXPECT_TRUE(SameMatrix(camera.projection, oldProjection));
    EXPECT_TRUE(Sees(boxMin, boxMax));

    // Only the projection: the old view stays, the planes narrow.
    camera.projectionDirty = true;
    camera.UpdateMatrices();
    EXPECT_FALSE(camera.projectionDirty);
    EXPECT_TRUE(SameMatrix(camera.view, oldView));
    EXPECT_FALSE(SameMatrix(camera.projection, oldProjection));
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &oldView, &camera.projection);
    EXPECT_TRUE(SameMatrix(camera.viewProjection, product));
    EXPECT_FALSE(Sees(boxMin, boxMax));
    EXPECT_TRUE(Sees(D3DXVECTOR3(-0.5f, 5, -0.5f), D3DXVECTOR3(0.5f, 5, 0.5f)));
}

TEST_F(CameraTest, AspectComesFromTheScreenSize) {
    struct Case {
        int width;
        int height;
        float aspect;
    };
    const Case cases[] = {
        {100, 100, 1.0f},
        {100, 75, 4.0f / 3.0f}, // a float division, not 1
        {1280, 720, 16.0f / 9.0f},
        {640, 0, 4.0f / 3.0f}, // no height: the 4:3 default
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width * 10000 + c.height);
        g_ScreenWidth = c.width;
        g_ScreenHeight = c.height;
        camera.projectionDirty = true;
        camera.UpdateMatrices();
        D3DXMATRIX expected;
        D3DXMatrixPerspectiveFovLH(&expected, camera.fov, c.aspect, 1, 10);
        EXPECT_TRUE(SameMatrix(camera.projection, expected));
        EXPECT_TRUE(std::isfinite(camera.planes[CPPerspectiveCamera::PLANE_LEFT].a));
    }
}

// A pose and projection of a camera, with the screen it is drawn on.
struct Pose {
    const char* name;
    D3DXVECTOR3 eye;
    D3DXVECTOR3 target;
    D3DXVECTOR3 up;
    float fov;
    float nearPlane;
    float farPlane;
    int width;
    int height;
};

// Chase views, sky-high and far-off eyes, a tilted up, a wide screen, and
// ups close to the view direction (where the view's axes are least
// orthogonal, or not orthogonal at all).
const Pose kPoses[] = {
    {"along +y", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 1.5707964f, 1, 10, 100, 100},
    {"chase view", {12, -30, 4}, {14, -21, 2.5f}, {0.1f, 0.2f, 0.97f}, 0.8726646f, 1, 400, 640, 480},
    {"far from the origin",
     {1523.25f, -2311.5f, 41.75f},
     {1531, -2302, 39},
     {0, 0, 1},
     1.0471976f,
     1,
     2000,
     1280,
     720},
    {"looking down", {5, 5, 100}, {5.01f, 5.02f, 0}, {0, 0, 1}, 0.5f, 0.5f, 1000, 800, 600},
    {"up tilted off the view", {-3, 7, 2}, {4, -1, -6}, {0.6f, -0.3f, 0.74f}, 2.5f, 2, 50, 100, 75},
    {"up almost along the view", {1, 2, 3}, {1.3f, 1.3f, 2}, {0.3f, -0.70001f, -1}, 1.0f, 1, 100, 100, 100},
};

// Each entry of a against the same entry of b, within `tolerance` times the
// largest entry of b's row.
void ExpectRowsNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float tolerance) {
    for (int r = 0; r < 4; ++r) {
        const float scale = std::max(
            {std::fabs(b.m[r][0]), std::fabs(b.m[r][1]), std::fabs(b.m[r][2]), std::fabs(b.m[r][3]), 1e-30f});
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(a.m[r][c], b.m[r][c], tolerance * scale) << "row " << r << " column " << c;
    }
}

void Place(CPPerspectiveCamera& camera, const Pose& pose) {
    g_ScreenWidth = pose.width;
    g_ScreenHeight = pose.height;
    camera.eye = pose.eye;
    camera.target = pose.target;
    camera.up = pose.up;
    camera.fov = pose.fov;
    camera.nearPlane = pose.nearPlane;
    camera.farPlane = pose.farPlane;
    camera.viewDirty = camera.projectionDirty = true;
    camera.UpdateMatrices();
}

// The general inverse of m.
D3DXMATRIX GeneralInverse(const D3DXMATRIX& m) {
    D3DXMATRIX inverse;
    EXPECT_TRUE(D3DXMatrixInverse(&inverse, nullptr, &m));
    return inverse;
}

// The inverses of the rotation view and of the view projection are taken by
// rule (a look-at's rotation transposed, a perspective's few entries
// inverted, their product over the known zeros) rather than by the general
// inverse; the inverse view is the general one. The rotation of a look-at is
// orthonormal to within about 1e-6 (its axes are normalised and crossed in
// float), so its transpose stays as close to the general inverse, relative
// to the size of each row; 1e-5 leaves room for the float roundings of the
// general inverse and the products, and still catches any wrong entry, sign
// or missing term. The inverse view projection is held against the product
// of the general inverses of projection and view: the general inverse of
// the float view projection itself loses digits as the eye moves away from
// the origin (1.7e-5 of a row at 2,800 units).
TEST_F(CameraTest, TheInversesMatchTheGeneralInverse) {
    for (const Pose& pose : kPoses) {
        SCOPED_TRACE(pose.name);
        Place(camera, pose);
        {
            SCOPED_TRACE("view");
            ExpectRowsNear(camera.inverseView, GeneralInverse(camera.view), 1e-5f);
        }
        {
            SCOPED_TRACE("rotation view");
            ExpectRowsNear(camera.inverseRotationView, GeneralInverse(camera.rotationView), 1e-5f);
        }
        SCOPED_TRACE("view projection");
        const D3DXMATRIX expected = GeneralInverse(camera.projection) * GeneralInverse(camera.view);
        ExpectRowsNear(camera.inverseViewProjection, expected, 1e-5f);
    }
}

// The planes are the plain rule over the camera's inverseViewProjection, bit
// for bit: each clip corner carried by D3DXVec3TransformCoord, each plane
// through three of them.
TEST_F(CameraTest, ThePlanesAreThePlainRuleOverTheInverseViewProjection) {
    const auto planeThrough = [](const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2) {
        const D3DXVECTOR3 e1 = p1 - p0, e2 = p2 - p0;
        D3DXVECTOR3 n;
        D3DXVec3Cross(&n, &e1, &e2);
        return D3DXPLANE(n.x, n.y, n.z, -(n.x * p0.x + n.y * p0.y + n.z * p0.z));
    };
    for (const Pose& pose : kPoses) {
        SCOPED_TRACE(pose.name);
        Place(camera, pose);
        D3DXVECTOR3 w[8];
        for (int i = 0; i < 8; ++i) {
            const D3DXVECTOR3 clip((i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : 0.0f);
            D3DXVec3TransformCoord(&w[i], &clip, &camera.inverseViewProjection);
        }
        const D3DXPLANE expected[CPPerspectiveCamera::PLANE_COUNT] = {
            planeThrough(w[0], w[1], w[2]), planeThrough(w[6], w[7], w[5]), planeThrough(w[2], w[6], w[4]),
            planeThrough(w[7], w[3], w[5]), planeThrough(w[2], w[3], w[6]), planeThrough(w[1], w[0], w[4]),
        };
        EXPECT_EQ(std::memcmp(camera.planes, expected, sizeof(expected)), 0);
    }
}

// A view or projection without an inverse (no view direction, up along the
// view, no field of view, near plane at 0) leaves the inverse view
// projection and the frustum as they were.
TEST_F(CameraTest, ASingularViewOrProjectionKeepsTheLastFrustum) {
    struct Case {
        const char* name;
        void (*spoil)(CPPerspectiveCamera&);
    };
    const Case cases[] = {
        {"no view direction", [](CPPerspectiveCamera& c) { c.target = c.eye; }},
        {"up along the view", [](CPPerspectiveCamera& c) { c.up = D3DXVECTOR3(0, 2, 0); }},
        {"no field of view", [](CPPerspectiveCamera& c) { c.fov = 0; }},
        {"near plane at 0", [](CPPerspectiveCamera& c) { c.nearPlane = 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPPerspectiveCamera spoilt = camera;
        c.spoil(spoilt);
        spoilt.viewDirty = spoilt.projectionDirty = true;
        spoilt.UpdateMatrices();
        EXPECT_TRUE(SameMatrix(spoilt.inverseViewProjection, camera.inverseViewProjection));
        EXPECT_EQ(std::memcmp(spoilt.planes, camera.planes, sizeof(camera.planes)), 0);
    }
}

// Any one input of the projection changed, with the projection marked dirty,
// gives the projection of the new inputs; unchanged inputs give the same.
TEST_F(CameraTest, EachProjectionInputIsTakenUp) {
    struct Case {
        const char* name;
        float fov;
        float nearPlane;
        float farPlane;
        int width;
    };
    const float fov = camera.fov;
    const Case cases[] = {
        {"unchanged", fov, 1, 10, 100}, {"field of view", 1.0f, 1, 10, 100}, {"near plane", fov, 2, 10, 100},
        {"far plane", fov, 1, 20, 100}, {"screen width", fov, 1, 10, 160},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPPerspectiveCamera changed = camera;
        changed.fov = c.fov;
        changed.nearPlane = c.nearPlane;
        changed.farPlane = c.farPlane;
        g_ScreenWidth = c.width;
        changed.projectionDirty = true;
        changed.UpdateMatrices();
        D3DXMATRIX expected;
        D3DXMatrixPerspectiveFovLH(&expected, c.fov, static_cast<float>(c.width) / 100, c.nearPlane,
                                   c.farPlane);
        EXPECT_TRUE(SameMatrix(changed.projection, expected));
        D3DXMatrixPerspectiveFovLH(&expected, c.fov, static_cast<float>(c.width) / 100, c.nearPlane, 1000);
        EXPECT_TRUE(SameMatrix(changed.farProjection, expected));
        ExpectRowsNear(changed.inverseViewProjection,
                       GeneralInverse(changed.projection) * GeneralInverse(changed.view), 1e-5f);
    }
}

} // namespace

// A camera following a leader: with the leader's pose (after the leader's
// update) it ends with the matrices and planes it would compute itself;
// with a pose of its own, or before the leader's update, it computes them.
TEST_F(CameraTest, AFollowerEndsAsIfItHadComputedItsOwnView) {
    const auto expectSame = [](const CPPerspectiveCamera& a, const CPPerspectiveCamera& b) {
        EXPECT_TRUE(SameMatrix(a.view, b.view));
        EXPECT_TRUE(SameMatrix(a.inverseView, b.inverseView));
        EXPECT_TRUE(SameMatrix(a.rotationView, b.rotationView));
        EXPECT_TRUE(SameMatrix(a.inverseRotationView, b.inverseRotationView));
        EXPECT_TRUE(SameMatrix(a.viewProjection, b.viewProjection));
        EXPECT_EQ(std::memcmp(a.planes, b.planes, sizeof(a.planes)), 0);
        EXPECT_FALSE(b.viewDirty);
    };
    struct Case {
        const char* name;
        D3DXVECTOR3 followerEye;
        bool leaderUpdated;
    };
    const Case cases[] = {
        {"the leader's pose", {3, -2, 1}, true},
        {"a pose of its own", {3, -2, 1.5f}, true},
        {"the leader not yet updated", {3, -2, 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPPerspectiveCamera leader = camera;
        leader.eye = D3DXVECTOR3(3, -2, 1);
        leader.viewDirty = true;
        if (c.leaderUpdated)
            leader.UpdateMatrices();
        CPPerspectiveCamera follower = camera;
        follower.eye = c.followerEye;
        follower.farPlane = 50;
        follower.viewDirty = follower.projectionDirty = true;
        CPPerspectiveCamera alone = follower;
        follower.UpdateMatricesLike(&leader);
        alone.UpdateMatrices();
        expectSame(alone, follower);
    }
}
