#include "DynamicSky/SkyFixture.h"
#include "DynamicSky/SkyLighting.h"
#include "DynamicSky/SkySprite.h"
#include "Platform/Graphics/Texture9.h"
#include "Render/PVertexObjectRenderer.h"

namespace {

using Kind = PlatRecordedCall::Kind;

// A started renderer on the recording device, with the sky's data.
class SkyDrawTest : public ::testing::Test {
protected:
    SkyDrawTest() : scene(PlatGraphicsBackendKind::Recording, 64, 48) {
        WriteSkyData();
        WriteCloudFile("clouds.set", CloudSetText({WeatherText{}, WeatherText{}}));
        WriteCloudFile("layer.cl", LayerText(D3DXVECTOR3(0, 0, 200)));
        // The sky draws inside the renderer's frame.
        Device()->BeginScene();
    }
    ~SkyDrawTest() override { Device()->EndScene(); }

    IDirect3DDevice9* Device() const { return scene.render->GetDevice(); }

    D3DLIGHT9 Light(DWORD index) const {
        D3DLIGHT9 light{};
        Device()->GetLight(index, &light);
        return light;
    }

    RenderTestScene scene;
    SkyLogCapture log;
};

TEST_F(SkyDrawTest, AnUpdateSetsFogAndAmbientDrawsDomeThenSunAndClearsTheDepth) {
    SkyText text = DemoLikeSky();
    text.keyframes[0].sun = D3DXVECTOR3(255, 127.5f, 0);
    WriteCloudFile("sky.txt", text.Text());
    Skyscape sky;
    ASSERT_TRUE(sky.Load("sky.txt"));
    scene.Recording().ClearCalls();
    sky.Update(0.1f);
    sky.Update(0.1f);

    const std::vector<PlatRecordedCall>& calls = scene.Recording().GetCalls();
    ASSERT_EQ(calls.size(), 6u) << scene.Recording().Describe();
    for (size_t update = 0; update < 2; ++update) {
        const PlatRecordedCall& dome = calls[update * 3];
        const PlatRecordedCall& sun = calls[update * 3 + 1];
        const PlatRecordedCall& clear = calls[update * 3 + 2];
        ASSERT_EQ(dome.kind, Kind::Draw);
        EXPECT_EQ(dome.call.numVertices, 297u);
        EXPECT_EQ(dome.call.primitiveCount, 512u);
        EXPECT_NE(dome.textures[0], 0u);
        ASSERT_EQ(sun.kind, Kind::Draw);
        EXPECT_EQ(sun.call.numVertices, 4u);
        EXPECT_EQ(sun.call.primitiveCount, 2u);
        ASSERT_EQ(clear.kind, Kind::Clear);
        EXPECT_EQ(clear.clearFlags, static_cast<DWORD>(D3DCLEAR_ZBUFFER));
        EXPECT_EQ(clear.z, 1.0f);
        EXPECT_EQ(clear.colour, 0xFF000000u);
    }
    EXPECT_EQ(scene.render->fogColour, 0xFFB4C8DCu);
    DWORD fog = 0;
    Device()->GetRenderState(D3DRS_FOGCOLOR, &fog);
    EXPECT_EQ(fog, 0xFFB4C8DCu);
    EXPECT_EQ(scene.render->ambient, 0xFF5A5A64u);
    EXPECT_FLOAT_EQ(scene.render->ambientColour[2], 100.0f / 255.0f);

    // The sun shines from its sprite towards the centre.
    const D3DLIGHT9 light = Light(0);
    D3DXVECTOR3 towards;
    const D3DXVECTOR3 inward = -sky.sprites[0]->position;
    D3DXVec3Normalize(&towards, &inward);
    EXPECT_NEAR(light.Direction.x, towards.x, 1e-6);
    EXPECT_NEAR(light.Direction.y, towards.y, 1e-6);
    EXPECT_NEAR(light.Direction.z, towards.z, 1e-6);
    EXPECT_EQ(light.Diffuse, (D3DCOLORVALUE{255 / 256.0f, 128 / 256.0f, 0, 0}));
    EXPECT_EQ(g_SunPosition, sky.sprites[0]->position * 100.0f);
}

TEST_F(SkyDrawTest, ASkyWhoseFileIsMissingDrawsAndSetsNothing) {
    Skyscape sky;
    EXPECT_FALSE(sky.Load("skyscape9.txt"));
    EXPECT_NE(sky.altEffect, nullptr);
    scene.render->fogColour = 0xFF123456;
    scene.Recording().ClearCalls();
    sky.Update(0.1f);
    EXPECT_TRUE(scene.Recording().GetCalls().empty());
    EXPECT_EQ(scene.render->fogColour, 0xFF123456u);
}

TEST_F(SkyDrawTest, TheSunLightHoldsItsColourInWholeSteps) {
    SetSunLight(D3DXVECTOR3(0, 0, -3), D3DXVECTOR3(1.2f, 0.5f, 0));
    const D3DLIGHT9 light = Light(0);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.Direction, D3DXVECTOR3(0, 0, -1));
    EXPECT_EQ(light.Diffuse, (D3DCOLORVALUE{255 / 256.0f, 128 / 256.0f, 0, 0}));
    EXPECT_EQ(light.Specular, light.Diffuse);
    BOOL enabled = FALSE;
    Device()->GetLightEnable(0, &enabled);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(scene.render->lightCount, 0);
}

TEST_F(SkyDrawTest, AnObjectDrawsOncePerPassOrOnceWithoutEffect) {
    TempGameRoot::WriteFile("two.fx", "technique T\n  pass A\n  pass B\nend\n");
    struct Case {
        const char* effect;
        bool useAlt;
        bool device;
        HRESULT result;
        size_t draws;
    };
    for (const Case& test :
         {Case{nullptr, false, true, D3D_OK, 1}, Case{"two.fx", false, true, D3D_OK, 2},
          Case{"two.fx", true, true, E_FAIL, 0}, Case{"two.fx", false, false, E_FAIL, 0}}) {
        VertexObject object;
        if (test.effect)
            object.LoadEffect(test.effect);
        object.useAltEffect = test.useAlt;
        MeshVertex vertex{};
        object.UploadGeometry({vertex, vertex, vertex}, {0, 1, 2}, false);
        scene.Recording().ClearCalls();
        IDirect3DDevice9* device = g_VertexObjectRenderer.device;
        if (!test.device)
            g_VertexObjectRenderer.device = nullptr;
        EXPECT_EQ(object.Render(), test.result) << test.effect << test.useAlt;
        g_VertexObjectRenderer.device = device;
        EXPECT_EQ(scene.Recording().GetDraws().size(), test.draws) << test.effect << test.useAlt;
    }
}

TEST_F(SkyDrawTest, NextFrameAlternatesTwoTexturesStartingWithTheFirst) {
    RenderTestScene::WritePicture("Data/Clouds/a.tga", Image(2, 2, 0xffffffff));
    RenderTestScene::WritePicture("Data/Clouds/b.tga", Image(4, 4, 0xffffffff));
    SkySprite sprite;
    sprite.Load("sky_sprite0.fx", "sky_sprite1.fx");
    sprite.AddTexture("a.tga");
    sprite.AddTexture("b.tga");
    sprite.Setup(10);
    std::vector<UINT> widths;
    for (int frame = 0; frame < 4; ++frame) {
        D3DSURFACE_DESC description;
        ASSERT_NE(sprite.texture, nullptr);
        sprite.texture->GetLevelDesc(0, &description);
        widths.push_back(description.Width);
        sprite.NextFrame();
    }
    EXPECT_EQ(widths, (std::vector<UINT>{2, 4, 2, 4}));
}

TEST_F(SkyDrawTest, SetAlphaKeepsTheSpriteColourThroughItsPlacement) {
    SkySprite sprite;
    sprite.distance = 100;
    sprite.Setup(10);
    sprite.SetAlpha(128);
    for (const MeshVertex& vertex : sprite.workVertices)
        EXPECT_EQ(vertex.diffuse, 0x80000014u);
    scene.Recording().ClearCalls();
    sprite.Update(0);
    const std::vector<const PlatRecordedCall*> draws = scene.Recording().GetDraws();
    ASSERT_EQ(draws.size(), 1u);
    for (UINT k = 0; k < 4; ++k)
        EXPECT_EQ(draws[0]->VertexDword(k, offsetof(MeshVertex, diffuse)), 0x80000014u);
}

TEST_F(SkyDrawTest, MeshesBeyondTheBuffersAreRefusedAndLogged) {
    Skyscape dome;
    dome.Setup(450, 204, D3DXVECTOR3(0, 0, 0), 1);
    EXPECT_TRUE(dome.vertices.empty());
    EXPECT_NE(log.text.find("does not fit"), std::string::npos);
    VertexObject object;
    EXPECT_FALSE(object.UploadGeometry(std::vector<MeshVertex>(20001), {}, false));
    EXPECT_FALSE(object.UploadGeometry({}, std::vector<uint16_t>(60003), false));
    EXPECT_TRUE(object.UploadGeometry(std::vector<MeshVertex>(20000), std::vector<uint16_t>(60000), false));
    EXPECT_EQ(object.workVertices.size(), 20000u);
}

TEST_F(SkyDrawTest, AMissingTextureLeavesNoneAndSaysSo) {
    VertexObject object;
    EXPECT_EQ(object.LoadTexture("Data\\Clouds\\nothing.tga"), S_OK);
    EXPECT_EQ(object.texture, nullptr);
    EXPECT_NE(log.text.find("nothing.tga"), std::string::npos);
}

} // namespace
