#include "ParticleTestSupport.h"

#include "Render/PPerspectiveCamera.h"
#include "Render/RenderPriority.h"
#include "Render/RenderTestScene.h"

namespace {

using ParticleFillTest = ParticleTest;

D3DXVECTOR3 At(const MeshVertex& v) {
    return {v.x, v.y, v.z};
}

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

// Particles drawn without a main camera: the identity view, eye at the origin.
TEST_F(ParticleFillTest, CornersTextureAndIndicesOfEachKindOfQuad) {
    ASSERT_EQ(g_MainCamera, nullptr);
    struct Case {
        const char* name;
        int columns, rows;
        bool orient;
        D3DXVECTOR3 position, previous, velocity;
        float age;
        std::vector<D3DXVECTOR3> corners;
        std::vector<std::pair<float, float>> uvs;
        std::vector<uint16_t> indices;
    };
    const Case cases[] = {
        {"billboard",
         1,
         1,
         false,
         {1, 2, 3},
         {1, 2, 3},
         {},
         0,
         {{0.5f, 1.5f, 3}, {1.5f, 1.5f, 3}, {1.5f, 2.5f, 3}, {0.5f, 2.5f, 3}},
         {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
         {8, 10, 9, 8, 11, 10}},
        // 2 x 2 frames over a lifetime of 1: age 0.6 shows frame int(2.4) = 2,
        // the first of the lower row.
        {"sheet",
         2,
         2,
         false,
         {1, 2, 3},
         {1, 2, 3},
         {},
         0.6f,
         {{0.5f, 1.5f, 3}, {1.5f, 1.5f, 3}, {1.5f, 2.5f, 3}, {0.5f, 2.5f, 3}},
         {{0, 0.5f}, {0.5f, 0.5f}, {0.5f, 1}, {0, 1}},
         {8, 10, 9, 8, 11, 10}},
        // Moving along +X at speed 2, half size 0.5: the head lies 5 x 2 x 0.5
        // ahead; the width faces the eye at the origin.
        {"streak",
         1,
         1,
         true,
         {1, 0, 5},
         {0, 0, 5},
         {2, 0, 0},
         0,
         {{1, -0.5f, 5}, {1, 0.5f, 5}, {6, 0.5f, 5}, {6, -0.5f, 5}},
         {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
         {8, 9, 10, 8, 10, 11}},
        // Not moving at all: a degenerate quad at the particle, no NaN.
        {"still streak",
         1,
         1,
         true,
         {1, 0, 5},
         {1, 0, 5},
         {},
         0,
         {{1, 0, 5}, {1, 0, 5}, {1, 0, 5}, {1, 0, 5}},
         {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
         {8, 9, 10, 8, 10, 11}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPParticleRenderObject* type = AddType(c.name);
        type->SetSheet(c.columns, c.rows);
        ParticleDesc desc = Desc(c.name, 1);
        desc.size = 0.5f;
        desc.orient = c.orient;
        desc.position = c.position;
        desc.velocity = c.velocity;
        manager.Spawn(desc);
        Particle& particle = type->particles[0];
        particle.previousPosition = c.previous;
        particle.age = c.age;
        const FilledQuads quads = FillObject(*type, 8);
        for (std::size_t k = 0; k < 4; ++k) {
            ExpectNear(At(quads.vertices[k]), c.corners[k]);
            EXPECT_FLOAT_EQ(quads.vertices[k].u0, c.uvs[k].first);
            EXPECT_FLOAT_EQ(quads.vertices[k].v0, c.uvs[k].second);
            EXPECT_EQ(quads.vertices[k].diffuse, 0xFFFFFFFFu);
        }
        EXPECT_EQ(quads.indices, c.indices);
    }
}

// Billboards face the race camera, or outside a race (the menu scenes) the
// camera bound to the default camera's level.
TEST_F(ParticleFillTest, BillboardsFaceTheMainCameraOrTheMenuCamera) {
    CPPerspectiveCamera camera;
    camera.eye = D3DXVECTOR3(0, -10, 0);
    camera.target = D3DXVECTOR3(0, 0, 0);
    camera.up = D3DXVECTOR3(0, 0, 1);
    camera.viewDirty = true;
    camera.UpdateMatrices();
    RenderTestScene scene(PlatGraphicsBackendKind::Recording, 64, 48);
    ASSERT_TRUE(scene.started);
    CPParticleRenderObject* type = AddType("p");
    ParticleDesc desc = Desc("p", 1);
    desc.size = 1;
    manager.Spawn(desc);
    for (const bool raceCamera : {true, false}) {
        SCOPED_TRACE(raceCamera ? "the race camera" : "the menu camera");
        if (raceCamera)
            g_MainCamera = &camera;
        else
            scene.render->SetLevelCamera(RENDER_DEFAULT_CAMERA, CPRefPtr<CPBaseCamera>(&camera));
        const FilledQuads quads = FillObject(*type);
        g_MainCamera = nullptr;
        // Looking along +Y with Z up, the camera's right is -X: the quad spans X
        // and Z in the plane y = 0.
        ExpectNear(At(quads.vertices[0]), {1, 0, -1});
        ExpectNear(At(quads.vertices[2]), {-1, 0, 1});
    }
    scene.render->SetLevelCamera(RENDER_DEFAULT_CAMERA, nullptr);
}

TEST_F(ParticleFillTest, SpotsArePlacedTurnedAboutZThenYThenXAndFadeToGrey) {
    CPSpotRenderObject* spots = AddSpotType("spot");
    ParticleDesc desc = Desc("spot", 1);
    desc.size = 1;
    desc.fade = true;
    desc.position = D3DXVECTOR3(5, 6, 0);
    desc.velocity = D3DXVECTOR3(D3DX_PI / 2, 0, D3DX_PI / 2);
    manager.Spawn(desc);
    FilledQuads quads = FillObject(*spots, 4);
    // (-1, -1, 0.03) about Z by 90 degrees: (1, -1, 0.03); about X by 90
    // degrees: (1, -0.03, -1); moved to (5, 6, 0).
    ExpectNear(At(quads.vertices[0]), {6, 5.97f, -1});
    EXPECT_EQ(quads.indices, (std::vector<uint16_t>{4, 5, 6, 4, 6, 7}));
    EXPECT_EQ(quads.vertices[0].diffuse, 0xFFFFFFFFu);
    spots->particles[0].age = 0.7f;
    quads = FillObject(*spots);
    for (const MeshVertex& v : quads.vertices)
        EXPECT_EQ(v.diffuse, 0xC0C0C0C0u);
}

TEST_F(ParticleFillTest, SpotsAreKeptWithinTenUnitsOfTheLookAtPointAndWhileYoung) {
    CPSpotRenderObject* spots = AddSpotType("spot");
    struct Case {
        D3DXVECTOR3 position;
        float lifetime;
        bool kept;
    };
    const Case cases[] = {
        {{10, 0, 0}, 5, true},        {{10.001f, 0, 0}, 5, false}, {{0, -10, 0}, 5, true},
        {{0, -10.001f, 0}, 5, false}, {{0, 0, 50}, 5, true},       {{1, 1, 0}, 0.25f, false},
    };
    for (const Case& c : cases) {
        ParticleDesc desc = Desc("spot", c.lifetime);
        desc.position = c.position;
        desc.size = 1;
        manager.Spawn(desc);
    }
    Run(2, 0.5f);
    std::vector<D3DXVECTOR3> kept;
    for (const Particle& spot : spots->particles)
        kept.push_back(spot.position);
    std::vector<D3DXVECTOR3> expected;
    for (const Case& c : cases) {
        if (c.kept)
            expected.push_back(c.position);
    }
    EXPECT_EQ(kept, expected);
    ASSERT_EQ(spots->spotVertices.size(), 4 * expected.size());
    // The kept spots keep their own vertices.
    EXPECT_NEAR(spots->spotVertices[4].y, -11.0f, 1e-5f);
}

} // namespace
