#include "Render/ShadowDecal.h"
#include "RenderTestScene.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

DecalTriangle Triangle(int a, int b, int c, const std::vector<D3DXVECTOR3>& points) {
    DecalTriangle triangle;
    const int index[3] = {a, b, c};
    for (int k = 0; k < 3; ++k) {
        triangle.index[k] = index[k];
        triangle.corner[k] = points[index[k]];
    }
    return triangle;
}

// A shadow object of half size (1, 0.5, 0.25) over a square of terrain
// (two triangles) that is exactly its footprint grown by 0.1.
struct DecalFixture {
    DecalFixture() {
        shadow.halfSize = D3DXVECTOR3(1, 0.5f, 0.25f);
        shadow.visual = &mesh;
        const std::vector<D3DXVECTOR3> points = {
            {-1.1f, -0.6f, 2}, {1.1f, -0.6f, 2}, {1.1f, 0.6f, 3}, {-1.1f, 0.6f, 2}};
        square = {Triangle(0, 1, 2, points), Triangle(0, 2, 3, points)};
    }
    ~DecalFixture() {
        g_DecalTerrainSource = [](const CPObject*) { return std::vector<DecalTriangle>(); };
    }

    void Build(const std::vector<DecalTriangle>& triangles, const D3DXMATRIX& world) {
        g_DecalTerrainSource = [triangles](const CPObject*) { return triangles; };
        BuildShadowDecal(&shadow, world, nullptr);
    }

    TestSceneObject shadow;
    CPRenderObject mesh{nullptr};
    std::vector<DecalTriangle> square;
};

TEST(ShadowDecal, LaysTheTextureOverTheFootprint) {
    DecalFixture fixture;
    fixture.Build(fixture.square, PlatIdentityMatrix());
    const CPRenderObject& mesh = fixture.mesh;
    ASSERT_EQ(mesh.sourceVertices.size(), 6u);
    EXPECT_EQ(mesh.indices, (std::vector<uint16_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(mesh.vertices.size(), 6u);
    // Corner by corner: position lifted by 0.03, texture coordinates.
    const float expected[6][5] = {{-1.1f, -0.6f, 2.03f, 0, 0}, {1.1f, -0.6f, 2.03f, 1, 0},
                                  {1.1f, 0.6f, 3.03f, 1, 1},   {-1.1f, -0.6f, 2.03f, 0, 0},
                                  {1.1f, 0.6f, 3.03f, 1, 1},   {-1.1f, 0.6f, 2.03f, 0, 1}};
    for (int k = 0; k < 6; ++k) {
        const MeshVertex& v = mesh.sourceVertices[k];
        EXPECT_FLOAT_EQ(v.x, expected[k][0]) << k;
        EXPECT_FLOAT_EQ(v.y, expected[k][1]) << k;
        EXPECT_FLOAT_EQ(v.z, expected[k][2]) << k;
        EXPECT_NEAR(v.u0, expected[k][3], 1e-5f) << k;
        EXPECT_NEAR(v.v0, expected[k][4], 1e-5f) << k;
        EXPECT_EQ(v.nz, 1.0f);
        EXPECT_EQ(v.diffuse, 0xffffffffu);
        EXPECT_EQ(v.specular, 0u);
        EXPECT_EQ(v.u1, 0.0f);
    }
}

TEST(ShadowDecal, FollowsTheObjectsPlacement) {
    DecalFixture fixture;
    // Turned a quarter about z and moved: the footprint's x extent now runs
    // along y.
    D3DXMATRIX world;
    D3DXMatrixRotationZ(&world, D3DX_PI / 2);
    world._41 = 10;
    const std::vector<D3DXVECTOR3> points = {{10.6f, -1.1f, 0}, {10.6f, 1.1f, 0}, {9.4f, 1.1f, 0}};
    fixture.Build({Triangle(0, 1, 2, points)}, world);
    const auto& v = fixture.mesh.sourceVertices;
    ASSERT_EQ(v.size(), 3u);
    EXPECT_NEAR(v[0].u0, 0, 1e-5f);
    EXPECT_NEAR(v[0].v0, 0, 1e-5f);
    EXPECT_NEAR(v[1].u0, 1, 1e-5f);
    EXPECT_NEAR(v[1].v0, 0, 1e-5f);
    EXPECT_NEAR(v[2].u0, 1, 1e-5f);
    EXPECT_NEAR(v[2].v0, 1, 1e-5f);
}

TEST(ShadowDecal, CandidateListCases) {
    DecalFixture fixture;
    // A triangle named twice (in another order) is taken once.
    DecalTriangle turned = fixture.square[0];
    std::swap(turned.index[0], turned.index[2]);
    fixture.Build({fixture.square[0], turned, fixture.square[1]}, PlatIdentityMatrix());
    EXPECT_EQ(fixture.mesh.sourceVertices.size(), 6u);

    fixture.Build({}, PlatIdentityMatrix());
    EXPECT_TRUE(fixture.mesh.sourceVertices.empty());
    EXPECT_TRUE(fixture.mesh.indices.empty());
    EXPECT_TRUE(fixture.mesh.vertices.empty());

    // A placement that flattens the object leaves no frame: the mesh keeps
    // what it had.
    fixture.Build(fixture.square, PlatIdentityMatrix());
    D3DXMATRIX flat;
    D3DXMatrixScaling(&flat, 0, 0, 1);
    fixture.Build({fixture.square[0]}, flat);
    EXPECT_EQ(fixture.mesh.sourceVertices.size(), 6u);
}

TEST(ShadowDecal, FitDecalFrameCases) {
    struct Case {
        D3DXVECTOR2 origin, u, v, point;
        D3DXVECTOR2 fittedOrigin, fittedU, fittedV;
    };
    const Case cases[] = {
        // Already covering: unchanged.
        {{0, 0}, {2, 0}, {0, 1}, {0, 0}, {0, 0}, {2, 0}, {0, 1}},
        // Stretched along v to cover the point and the point + v.
        {{0, 0}, {2, 0}, {0, 0.2f}, {0, 0.8f}, {0, 0}, {2, 0}, {0, 1}},
        // Grown backwards along u.
        {{0, 0}, {1, 0}, {0, 1}, {-2, 0}, {-2, 0}, {3, 0}, {0, 1}},
        // No u: it reaches to the point.
        {{0, 0}, {0, 0}, {0, 1}, {3, 0}, {0, 0}, {3, 0}, {0, 1}},
        // No v: likewise.
        {{0, 0}, {1, 0}, {0, 0}, {0, 2}, {0, 0}, {1, 0}, {0, 2}},
        // Parallel edges, v within u: v reaches to the point.
        {{0, 0}, {2, 0}, {1, 0}, {0, 3}, {0, 0}, {2, 0}, {0, 3}},
        // Parallel, v against u: the origin moves back along u.
        {{0, 0}, {2, 0}, {-1, 0}, {0, 3}, {-1, 0}, {3, 0}, {0, 3}},
        // Parallel, v beyond u: u becomes v.
        {{0, 0}, {1, 0}, {3, 0}, {0, 3}, {0, 0}, {3, 0}, {0, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        D3DXVECTOR2 origin = c.origin, u = c.u, v = c.v;
        FitDecalFrame(origin, u, v, c.point);
        EXPECT_NEAR(origin.x, c.fittedOrigin.x, 1e-5f);
        EXPECT_NEAR(origin.y, c.fittedOrigin.y, 1e-5f);
        EXPECT_NEAR(u.x, c.fittedU.x, 1e-5f);
        EXPECT_NEAR(u.y, c.fittedU.y, 1e-5f);
        EXPECT_NEAR(v.x, c.fittedV.x, 1e-5f);
        EXPECT_NEAR(v.y, c.fittedV.y, 1e-5f);
    }
}

} // namespace
