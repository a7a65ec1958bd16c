#include "RenderTestScene.h"

#include "Core/PGlobalTimer.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/RenderPriority.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

bool SameMatrix(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

D3DXMATRIX Translation(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

// Points the camera from the eye along +y, z up, and computes its matrices.
void LookAlongY(CPPerspectiveCamera& camera, const D3DXVECTOR3& eye) {
    camera.eye = eye;
    camera.target = eye + D3DXVECTOR3(0, 10, 0);
    camera.up = D3DXVECTOR3(0, 0, 1);
    camera.fov = 1.0f;
    camera.nearPlane = 0.5f;
    camera.farPlane = 100;
    camera.viewDirty = camera.projectionDirty = true;
    camera.UpdateMatrices();
}

// The height of the first vertex a draw reads: the tests place each level's
// meshes at the height of the level's priority.
int DrawnLevel(const PlatRecordedCall& draw) {
    const UINT first = draw.indices.empty() ? 0 : draw.indices.front();
    return static_cast<int>(draw.VertexFloat(first, 8));
}

// Runs one frame; lists its mesh draws ("draw <level>") and its post passes
// in order, each known by its first draw: the blur into its target ("blur"),
// the bloom's bright pass into the small target ("bloom").
std::vector<std::string> RunFrame(RenderTestScene& scene) {
    PlatRecordingBackend& recording = scene.Recording();
    recording.ClearCalls();
    scene.render->Update();
    const CPBloom& bloom = scene.render->bloom;
    std::vector<std::string> order;
    for (const PlatRecordedCall& call : recording.GetCalls()) {
        if (call.kind == PlatRecordedCall::Kind::Draw && !call.call.layout.IsPretransformed())
            order.push_back("draw " + std::to_string(DrawnLevel(call)));
        if (call.kind != PlatRecordedCall::Kind::Draw)
            continue;
        if (bloom.blurTarget && call.target == bloom.blurTarget->GetSerial())
            order.push_back("blur");
        if (bloom.smallTarget && call.target == bloom.smallTarget->GetSerial() &&
            call.textures[0] == bloom.frameCopy->GetSerial())
            order.push_back("bloom");
    }
    return order;
}

class RenderFrameTest : public ::testing::Test {
protected:
    RenderFrameTest() : scene(PlatGraphicsBackendKind::Recording, 64, 48) {}

    // A mesh of the level at its own height, submitted every frame.
    CPRenderObject* AddMesh(int level, int vertexCount = 3, const std::string& effect = "simple.fx") {
        meshes.push_back(MakeMesh(scene.Material(level, effect), vertexCount, static_cast<float>(level)));
        return meshes.back().get();
    }
    void SubmitAll() {
        for (const auto& mesh : meshes)
            scene.render->GetRenderBlock()->AddRenderObject(mesh.get());
    }

    // Level cameras outlive the renderer that holds them.
    std::unique_ptr<CPBaseCamera> camera = std::make_unique<CPBaseCamera>();
    RenderTestScene scene;
    std::vector<std::unique_ptr<CPRenderObject>> meshes;
};

TEST_F(RenderFrameTest, PostPassesComeBeforeTheirLevels) {
    ASSERT_TRUE(scene.started);
    struct Case {
        std::vector<int> levels;
        std::vector<std::string> expected;
    };
    // The screen camera's level 195 always exists.
    const Case cases[] = {
        {{20}, {"draw 20", "blur"}},
        {{}, {"blur"}},
        {{16, 17, 20, 120, 200}, {"draw 16", "draw 17", "draw 20", "blur", "draw 120", "bloom", "draw 200"}},
        {{20, 200}, {"draw 20", "blur", "bloom", "draw 200"}},
    };
    for (const Case& c : cases) {
        meshes.clear();
        for (int level : c.levels)
            AddMesh(level);
        SubmitAll();
        EXPECT_EQ(RunFrame(scene), c.expected) << c.levels.size() << " levels";
    }
}

TEST_F(RenderFrameTest, SettingsChooseThePostPasses) {
    struct Case {
        int bloom, blur;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {1, 1, {"draw 20", "blur", "draw 120", "bloom", "draw 200"}},
        {0, 1, {"draw 20", "draw 120", "draw 200"}},
        {1, 0, {"draw 20", "draw 120", "bloom", "draw 200"}},
    };
    for (const Case& c : cases) {
        const ScopedSetting<int> bloom(g_Bloom, c.bloom), blur(g_Blur, c.blur);
        meshes.clear();
        for (int level : {20, 120, 200})
            AddMesh(level);
        SubmitAll();
        EXPECT_EQ(RunFrame(scene), c.expected) << c.bloom << c.blur;
    }
}

TEST_F(RenderFrameTest, BatchesDrawFromTheirBuffersWithTheirStates) {
    // Level 16: its own camera and world; level 17: a static mesh; level 20:
    // two meshes of one material, one batch from the ring.
    camera->view = Translation(0, 0, 5);
    scene.render->SetLevelCamera(RENDER_SHADOW, camera.get());
    const D3DXMATRIX shadowWorld = Translation(1, 2, 0);
    scene.render->SetLevelWorld(shadowWorld, RENDER_SHADOW);
    AddMesh(16);
    CPRenderObject* terrain = AddMesh(17, 4);
    terrain->staticWorld = Translation(0, 0, 3);
    terrain->SetStatic(true);
    terrain->staticBuffers = scene.render->GetStaticBuffers("Terrain", terrain->sourceVertices.data(),
                                                            terrain->indices.data(), 4, 6);
    ASSERT_NE(terrain->staticBuffers, nullptr);
    AddMesh(20, 3, "mesh.fx,shared");
    AddMesh(20, 4, "mesh.fx,shared");
    SubmitAll();

    // Only the batches draw.
    const ScopedSetting<int> noPostPasses(g_Bloom, 0);
    EXPECT_EQ(RunFrame(scene), (std::vector<std::string>{"draw 16", "draw 17", "draw 20"}));
    const auto draws = scene.Recording().GetDraws();
    ASSERT_EQ(draws.size(), 3u);
    const PlatRecordedCall& shadow = *draws[0];
    const PlatRecordedCall& statics = *draws[1];
    const PlatRecordedCall& objects = *draws[2];
    const CPIVertexBuffer& ring = *scene.render->GetRenderBlock()->vertexBuffer;

    EXPECT_TRUE(SameMatrix(shadow.state.Transform(D3DTS_VIEW), camera->view));
    EXPECT_TRUE(SameMatrix(shadow.state.Transform(D3DTS_WORLD), shadowWorld));

    EXPECT_EQ(statics.vertexBuffer, terrain->staticBuffers->vertexBuffer->GetSerial());
    EXPECT_EQ(statics.indexBuffer, terrain->staticBuffers->indexBuffer->GetSerial());
    EXPECT_EQ(statics.call.minIndex, 0u);
    EXPECT_EQ(statics.call.numVertices, 4u);
    EXPECT_EQ(statics.call.primitiveCount, 2u);
    EXPECT_TRUE(SameMatrix(statics.state.Transform(D3DTS_WORLD), terrain->staticWorld));

    // The dynamic batch follows the level-16 batch in the same ring pair.
    EXPECT_EQ(objects.vertexBuffer,
              ring.vertexBuffers[shadow.vertexBuffer == objects.vertexBuffer ? 0 : 1]->GetSerial());
    EXPECT_EQ(objects.vertexBuffer, shadow.vertexBuffer);
    EXPECT_EQ(objects.call.minIndex, 3u);
    EXPECT_EQ(objects.call.numVertices, 7u);
    EXPECT_EQ(objects.call.startIndex, 3u);
    EXPECT_EQ(objects.call.primitiveCount, 3u);
    EXPECT_EQ(objects.indices, (std::vector<uint16_t>{3, 4, 5, 6, 7, 8, 6, 8, 9}));
    // After the static mesh the world goes back to identity for world-space geometry.
    EXPECT_TRUE(SameMatrix(objects.state.Transform(D3DTS_WORLD), PlatIdentityMatrix()));
    ASSERT_TRUE(objects.uniforms.contains("g_mWorld"));
    EXPECT_EQ(objects.uniforms.at("g_mWorld")[0], 1.0f);
    EXPECT_EQ(objects.uniforms.at("g_mWorld")[12], 0.0f);
}

TEST_F(RenderFrameTest, TextureGroupOutlivesItsItemsForTenFrames) {
    CPRenderObject* mesh = AddMesh(20);
    CPMaterial* material = mesh->GetMaterial().Get();
    const auto nodeAlive = [&] {
        const auto& groups = scene.render->levels.at(20).effectGroups;
        return !groups.empty() && !groups.front()->textureGroups.empty();
    };
    g_FrameCounter = 1;
    SubmitAll();
    scene.render->Update();
    EXPECT_TRUE(material->queued);
    for (int frame = 2; frame <= 11; ++frame) {
        g_FrameCounter = frame;
        scene.render->Update();
        EXPECT_TRUE(nodeAlive()) << "frame " << frame;
    }
    g_FrameCounter = 12;
    scene.render->Update();
    EXPECT_FALSE(nodeAlive());
    EXPECT_FALSE(material->queued);
    EXPECT_EQ(scene.render->levels.at(20).useCount, 0);

    // The next item queues the material again and it is drawn.
    g_FrameCounter = 13;
    SubmitAll();
    EXPECT_EQ(RunFrame(scene), (std::vector<std::string>{"draw 20", "blur"}));
    EXPECT_TRUE(nodeAlive());
    g_FrameCounter = 0;
}

TEST_F(RenderFrameTest, FadeQuadAndLightsOfTheFrame) {
    const ScopedSetting<int> noPostPasses(g_Bloom, 0);
    scene.render->SetFade(0.5f);
    EXPECT_EQ(scene.render->fade, 128.0f);
    RunFrame(scene);
    const auto draws = scene.Recording().GetDraws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0]->state.fvf, SCREEN_VERTEX_FVF);
    EXPECT_EQ(draws[0]->VertexDword(0, 16), 127u << 24);
    // The frame leaves the 3D states behind it.
    DWORD zEnable = 0;
    scene.render->GetDevice()->GetRenderState(D3DRS_ZENABLE, &zEnable);
    EXPECT_EQ(zEnable, TRUE);

    for (const float level : {1.0f, 2.0f, std::nanf("")})
        scene.render->SetFade(level);
    EXPECT_EQ(scene.render->fade, 0.0f);

    D3DLIGHT9 light;
    int queued = 0;
    for (int i = 0; i < 31; ++i)
        queued += scene.render->QueueLight(light) ? 1 : 0;
    EXPECT_EQ(queued, CPRender::kMaxLights);
    scene.render->ApplyLights();
    BOOL enabled = FALSE;
    scene.render->GetDevice()->GetLightEnable(29, &enabled);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(scene.render->lightCount, 0);
}

TEST_F(RenderFrameTest, LostDeviceSkipsFramesUntilAResetAndDrawsEachBatchOnce) {
    AddMesh(20);
    IDirect3DDevice9* device = scene.render->GetDevice();
    device->SimulateDeviceLoss();
    SubmitAll();
    EXPECT_EQ(RunFrame(scene), std::vector<std::string>{});
    EXPECT_TRUE(scene.Recording().GetCalls().empty());

    // A default-pool object the renderer does not know makes the reset
    // fail: the ring buffers are gone and the frames keep drawing nothing.
    IDirect3DVertexBuffer9* stray = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(48, 0, MESH_VERTEX_FVF, D3DPOOL_DEFAULT, &stray, nullptr), D3D_OK);
    scene.render->ResetDevice();
    EXPECT_EQ(scene.render->GetRenderBlock()->vertexBuffer->vertexBuffers[0], nullptr);
    SubmitAll();
    EXPECT_EQ(RunFrame(scene), std::vector<std::string>{});

    // Once the reset succeeds the batch is drawn again, once.
    stray->Release();
    scene.render->ResetDevice();
    SubmitAll();
    EXPECT_EQ(RunFrame(scene), (std::vector<std::string>{"draw 20", "blur"}));
}

TEST_F(RenderFrameTest, LevelsBelowZeroDrawNothingAndKeepNoItems) {
    const CPRenderObject* mesh = AddMesh(-5);
    for (int frame = 0; frame < 3; ++frame) {
        SubmitAll();
        EXPECT_EQ(RunFrame(scene), std::vector<std::string>{"blur"});
        EXPECT_TRUE(mesh->GetMaterial()->items.empty());
    }
}

TEST_F(RenderFrameTest, TheMainCameraPublishedByItsOwnerDrivesTheFrame) {
    AddMesh(20, 3, "mesh.fx,shared");
    CPPerspectiveCamera camera;
    LookAlongY(camera, D3DXVECTOR3(1, 2, 3));
    const auto asFloats = [](const D3DXMATRIX& m) { return std::vector<float>(&m._11, &m._11 + 16); };

    struct Case {
        const char* name;
        CPPerspectiveCamera* published;
        D3DXMATRIX view;
        D3DXMATRIX projection;
        D3DXMATRIX viewProjection;
    };
    const Case cases[] = {
        {"no race camera yet", nullptr, PlatIdentityMatrix(), PlatIdentityMatrix(), PlatIdentityMatrix()},
        {"the race camera", &camera, camera.view, camera.projection, camera.viewProjection},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_MainCamera = c.published;
        SubmitAll();
        ASSERT_EQ(RunFrame(scene), (std::vector<std::string>{"draw 20", "blur"}));
        g_MainCamera = nullptr;
        const PlatRecordedCall& draw = *scene.Recording().GetDraws().front();
        EXPECT_TRUE(SameMatrix(draw.state.Transform(D3DTS_VIEW), c.view));
        EXPECT_TRUE(SameMatrix(draw.state.Transform(D3DTS_PROJECTION), c.projection));
        ASSERT_TRUE(draw.uniforms.contains("g_mWorldViewProjection"));
        EXPECT_EQ(draw.uniforms.at("g_mWorldViewProjection"), asFloats(c.viewProjection));
    }

    // The menus: no race camera, and a camera bound below the mesh's level
    // places the effect's geometry as it places the device's; a race camera
    // published again takes over.
    CPPerspectiveCamera menuCamera;
    LookAlongY(menuCamera, D3DXVECTOR3(-4, 0, 1));
    scene.render->SetLevelCamera(RENDER_DEFAULT_CAMERA, CPRefPtr<CPBaseCamera>(&menuCamera));
    for (const Case& c :
         {Case{"the menu camera", nullptr, menuCamera.view, menuCamera.projection, menuCamera.viewProjection},
          Case{"the race camera again", &camera, menuCamera.view, menuCamera.projection,
               camera.viewProjection}}) {
        SCOPED_TRACE(c.name);
        g_MainCamera = c.published;
        SubmitAll();
        RunFrame(scene);
        g_MainCamera = nullptr;
        const PlatRecordedCall& draw = *scene.Recording().GetDraws().front();
        EXPECT_TRUE(SameMatrix(draw.state.Transform(D3DTS_VIEW), c.view));
        EXPECT_TRUE(SameMatrix(draw.state.Transform(D3DTS_PROJECTION), c.projection));
        EXPECT_EQ(draw.uniforms.at("g_mWorldViewProjection"), asFloats(c.viewProjection));
    }
    scene.render->SetLevelCamera(RENDER_DEFAULT_CAMERA, nullptr);
}

TEST_F(RenderFrameTest, ProjectToScreenOfDirectionsSeenFromTheEye) {
    CPPerspectiveCamera camera;
    LookAlongY(camera, D3DXVECTOR3(5, 5, 1));
    g_MainCamera = &camera;
    scene.render->Update();
    g_MainCamera = nullptr;
    D3DXVECTOR3 ahead, behind;
    const D3DXVECTOR3 forward(0, 1, 0), backward(0, -1, 0);
    scene.render->ProjectToScreen(&ahead, &forward);
    scene.render->ProjectToScreen(&behind, &backward);
    EXPECT_NEAR(ahead.x, 32.0f, 1e-3f);
    EXPECT_NEAR(ahead.y, 24.0f, 1e-3f);
    EXPECT_LT(behind.x, -1000.0f);
}

} // namespace
