#include "RenderTestScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <vector>

namespace {

TEST(Bloom, SpeedRatioFollowsThePlayersCar) {
    CPBloom bloom;
    EXPECT_EQ(bloom.GetSpeedRatio(), 0.0f); // no race
    struct Case {
        D3DXVECTOR3 velocity;
        float ratio;
    };
    const Case cases[] = {
        {{0, 0, 0}, 0.0f}, {{12.5f, 0, 0}, 0.5f}, {{0, -30, 0}, 1.0f},
        {{3, 4, 0}, 0.2f}, {{NAN, 0, 0}, 0.0f},   {{INFINITY, 0, 0}, 1.0f},
    };
    for (const Case& c : cases) {
        bloom.playerCarVelocity = [&] { return c.velocity; };
        EXPECT_FLOAT_EQ(bloom.GetSpeedRatio(), c.ratio) << c.velocity.x << " " << c.velocity.y;
    }
}

class BloomTest : public ::testing::Test {
protected:
    BloomTest() : scene(PlatGraphicsBackendKind::Recording, 64, 48) {}

    // Runs the passes inside a scene; the draws they made.
    std::vector<const PlatRecordedCall*> RunPasses(bool motionBlur, bool bloom) {
        scene.Recording().ClearCalls();
        IDirect3DDevice9& device = *scene.render->GetDevice();
        device.BeginScene();
        if (motionBlur)
            scene.render->bloom.RenderMotionBlur();
        if (bloom)
            scene.render->bloom.RenderBloom();
        device.EndScene();
        return scene.Recording().GetDraws();
    }

    RenderTestScene scene;
};

TEST_F(BloomTest, NoPassReadsTheTargetItDrawsInto) {
    ASSERT_TRUE(scene.started);
    CPBloom& bloom = scene.render->bloom;
    bloom.playerCarVelocity = [] { return D3DXVECTOR3(25, 0, 0); };
    // The blur and its composite; the bright pass, reading the half-size
    // copy of the frame, and the two spreading passes, each reading the small
    // target the one before drew into; the bloom and grain laid over the
    // frame in one pass.
    const auto draws = RunPasses(true, true);
    ASSERT_EQ(draws.size(), 6u);
    for (const PlatRecordedCall* draw : draws) {
        for (uint32_t texture : draw->textures)
            EXPECT_NE(texture, draw->target);
    }
    EXPECT_EQ(draws[0]->target, bloom.blurTarget->GetSerial());
    EXPECT_EQ(draws[0]->uniforms.at("SpeedRatio"), std::vector<float>{1.0f});
    EXPECT_EQ(draws[0]->uniforms.at("Forward"), std::vector<float>{1.0f});
    EXPECT_EQ(draws[1]->textures[0], bloom.blurTarget->GetSerial());
    const uint32_t small = bloom.smallTarget->GetSerial();
    const uint32_t copy = bloom.smallCopy->GetSerial();
    EXPECT_EQ(draws[2]->textures[0], bloom.frameCopy->GetSerial());
    EXPECT_EQ(draws[2]->target, small);
    EXPECT_EQ(draws[3]->textures[0], small);
    EXPECT_EQ(draws[3]->target, copy);
    EXPECT_EQ(draws[4]->textures[0], copy);
    EXPECT_EQ(draws[4]->target, small);
    EXPECT_EQ(draws[5]->textures[0], small);
    EXPECT_EQ(draws[5]->textures[1], bloom.noise->GetSerial());
    EXPECT_EQ(draws[5]->state.RenderState(D3DRS_SRCBLEND), DWORD{D3DBLEND_ONE});
    EXPECT_EQ(draws[5]->state.RenderState(D3DRS_DESTBLEND), DWORD{D3DBLEND_INVSRCALPHA});

    // The passes leave the frame's 3D states behind them.
    DWORD value = 0;
    IDirect3DDevice9& device = *scene.render->GetDevice();
    device.GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, DWORD{TRUE});
    device.GetSamplerState(0, D3DSAMP_ADDRESSU, &value);
    EXPECT_EQ(value, DWORD{D3DTADDRESS_WRAP});
    device.GetFVF(&value);
    EXPECT_EQ(value, MESH_VERTEX_FVF);
}

TEST_F(BloomTest, MissingPiecesSkipTheirPasses) {
    CPBloom& bloom = scene.render->bloom;
    // Without the "blur" setting at creation there is no blur effect or mask.
    {
        const ScopedSetting<int> noBlur(g_Blur, 0);
        bloom.OnLostDevice();
        bloom.Create(scene.render->GetDevice());
    }
    EXPECT_EQ(bloom.blurEffect, nullptr);
    EXPECT_EQ(bloom.blurMask, nullptr);
    EXPECT_TRUE(RunPasses(true, false).empty());

    // Without the grain picture the bloom is drawn without it.
    std::filesystem::remove("Data/Textures/noise.tga");
    bloom.OnLostDevice();
    bloom.Create(scene.render->GetDevice());
    EXPECT_EQ(bloom.noise, nullptr);
    EXPECT_EQ(RunPasses(false, true).size(), 4u);

    // Without targets nothing is drawn at all.
    bloom.OnLostDevice();
    EXPECT_TRUE(RunPasses(true, true).empty());
    EXPECT_EQ(bloom.Create(nullptr), E_FAIL);
}

TEST_F(BloomTest, AResetPatchesTheScreenQuadToTheNewSize) {
    CPBloom& bloom = scene.render->bloom;
    EXPECT_EQ(bloom.quadRight, 63.5f);
    EXPECT_EQ(bloom.quadBottom, 47.5f);
    scene.render->presentParameters.BackBufferWidth = 80;
    scene.render->presentParameters.BackBufferHeight = 60;
    scene.render->ResetDevice();
    ASSERT_NE(bloom.frameCopy, nullptr);
    EXPECT_EQ(bloom.quadRight, 79.5f);
    EXPECT_EQ(bloom.quadBottom, 59.5f);
    EXPECT_EQ(bloom.screenQuad[1].x, 79.5f);
    EXPECT_EQ(bloom.screenQuad[1].y, 59.5f);
    EXPECT_EQ(bloom.smallQuad[1].x, 19.5f) << "the bloom works at a quarter of the screen's size";
    D3DSURFACE_DESC description;
    bloom.frameCopySurface->GetDesc(&description);
    EXPECT_EQ(description.Width, 40u) << "the blur works at half the screen's size";
    EXPECT_EQ(bloom.halfQuad[1].x, 39.5f);
}

} // namespace
