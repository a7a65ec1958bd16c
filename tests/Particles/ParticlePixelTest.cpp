#include "ParticleTestSupport.h"
#include "Render/RenderTestScene.h"

#include "Render/PRenderBlock.h"

#include <cstdlib>

namespace {

constexpr int kSize = 32;

// Red, green and blue of a pixel, each within `tolerance` of `level`.
bool IsGrey(uint32_t pixel, int level, int tolerance) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) - level) > tolerance)
            return false;
    }
    return true;
}

// Particles drawn by the renderer on the OpenGL device of SDL's offscreen
// driver, without a camera: world coordinates are clip coordinates, so a
// point (x, y) lands on pixel ((x + 1) * 16, (1 - y) * 16).
TEST(ParticlePixelTest, SparksFadingParticlesAndStreaksCoverTheirPixels) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    RenderTestScene scene(PlatGraphicsBackendKind::OpenGL, kSize, kSize);
    ASSERT_TRUE(scene.started);
    RenderTestScene::WritePicture("Data/Textures/white.tga", Image(2, 2, 0xffffffff));
    CPParticlesManager manager;
    const auto addType = [&](const char* name, const char* effect) {
        auto& slot = manager.particleTypes[name];
        slot = std::make_unique<CPParticleRenderObject>();
        slot->SetMaterial(scene.Material(22, effect, {"white.tga"}));
    };
    addType("spark", "particle_add.fx");
    addType("fading", "particle.fx");
    addType("streak", "particle.fx");

    ParticleDesc spark;
    spark.typeName = "spark";
    spark.lifetime = 10;
    spark.size = 0.2f;
    spark.position = D3DXVECTOR3(-0.5f, -0.5f, 0.5f);
    manager.Spawn(spark);
    ParticleDesc fading;
    fading.typeName = "fading";
    fading.lifetime = 1;
    fading.fade = true;
    fading.size = 0.2f;
    fading.position = D3DXVECTOR3(0.5f, -0.5f, 0.5f);
    manager.Spawn(fading);
    manager.particleTypes.Find("fading")->get()->particles[0].age = 0.5f;
    // Moving right at speed 1, half size 0.2: the streak runs from x -0.5
    // to 0.5 along y = 0.5.
    ParticleDesc streak;
    streak.typeName = "streak";
    streak.lifetime = 10;
    streak.orient = true;
    streak.size = 0.2f;
    streak.position = D3DXVECTOR3(-0.5f, 0.5f, 0.5f);
    streak.velocity = D3DXVECTOR3(1, 0, 0);
    manager.Spawn(streak);
    manager.particleTypes.Find("streak")->get()->particles[0].previousPosition =
        D3DXVECTOR3(-0.6f, 0.5f, 0.5f);

    const float savedFrameTime = g_FrameTime;
    g_FrameTime = 0;
    manager.Update();
    scene.render->Update();
    g_FrameTime = savedFrameTime;
    const std::vector<uint32_t> pixels = scene.BackBufferPixels();
    ASSERT_EQ(pixels.size(), std::size_t(kSize * kSize));
    const auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * kSize + x)]; };

    EXPECT_TRUE(IsGrey(at(8, 24), 255, 0)) << std::hex << at(8, 24);
    EXPECT_TRUE(IsGrey(at(6, 22), 255, 0)) << std::hex << at(6, 22);
    EXPECT_TRUE(IsGrey(at(24, 24), 128, 4)) << std::hex << at(24, 24);
    for (const auto& [x, y] : {std::pair{10, 8}, {16, 8}, {22, 8}})
        EXPECT_TRUE(IsGrey(at(x, y), 255, 0)) << x << "," << y << " " << std::hex << at(x, y);
    for (const auto& [x, y] : {std::pair{2, 24}, {8, 17}, {16, 24}, {2, 8}, {16, 13}, {16, 3}, {29, 8}})
        EXPECT_TRUE(IsGrey(at(x, y), 0, 0)) << x << "," << y << " " << std::hex << at(x, y);
}

} // namespace
