#include "ShotTestSupport.h"

#include "Core/PGlobalTimer.h"
#include "Game/PCamera.h"
#include "Particles/PParticlesManager.h"
#include "Render/RenderTestScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr float kFrame = 1.0f / 60;

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A pixel bright enough to be seen against the black background.
bool IsLit(uint32_t pixel) {
    constexpr uint32_t kVisible = 96;
    return ((pixel >> 16) & 0xff) >= kVisible || ((pixel >> 8) & 0xff) >= kVisible ||
           (pixel & 0xff) >= kVisible;
}

// The weapons' shots and effects as the game draws them: the demo data's
// shot and particle tables with its textures and effects, the shot spawner
// and the particle manager feeding the renderer's block on the OpenGL device
// of SDL's offscreen driver, seen through a camera at the chase camera's
// distances on a black screen of the game's default size.
class ShotPixels : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        bloom = g_Bloom;
        g_Bloom = 0;
        g_FrameTime = kFrame;
        scene = std::make_unique<RenderTestScene>(PlatGraphicsBackendKind::OpenGL, kWidth, kHeight);
        ASSERT_TRUE(scene->started);
        std::filesystem::create_directories("Data/Textures");
        for (const auto& texture : std::filesystem::directory_iterator(KV_BUILD_DATA "/Textures"))
            if (texture.is_regular_file())
                std::filesystem::copy_file(texture.path(), "Data/Textures" / texture.path().filename(),
                                           std::filesystem::copy_options::overwrite_existing);
        LoadShots(spawner, ReadText(KV_SOURCE_DIR "/data/shots.dat"));
        particles.ReadParticleTypes("particles.dat", ReadText(KV_SOURCE_DIR "/data/particles.dat"), false);
    }
    void TearDown() override {
        g_Bloom = bloom;
        g_FrameTime = 0;
    }

    // Frames of the shots and particles, each drawn; the lit pixels of the
    // last one.
    int LitPixelsAfter(int frames, const D3DXVECTOR3& eye, const D3DXVECTOR3& target) {
        camera.fixedMode = true;
        camera.SetFixedView(eye, target, {0, 0, 1});
        camera.SetFov(60);
        camera.Update();
        for (int frame = 0; frame < frames; ++frame) {
            // Nothing covers the screen: the last frame starts from black.
            scene->render->GetDevice()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff000000, 1.0f, 0);
            spawner.Update();
            particles.Update();
            scene->render->Update();
        }
        const std::vector<uint32_t> pixels = scene->BackBufferPixels();
        EXPECT_EQ(pixels.size(), std::size_t(kWidth * kHeight));
        return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), IsLit));
    }

    int bloom = 0;
    // The renderer's levels hold the render cameras: the camera outlives it.
    CPCamera camera;
    std::unique_ptr<RenderTestScene> scene;
    CPParticlesManager particles;
    CPShotSpawner spawner;
};

struct View {
    const char* name;
    D3DXVECTOR3 eye;
    D3DXVECTOR3 target;
    int leastLit;
};

// The light gun's tracer, fired along +x from a muzzle at the origin, three
// frames into its flight (about 11 units out): seen from the side 20 and 80
// units away, and from the chase camera's place behind and above the
// shooter, where it flies away almost along the line of sight.
TEST_F(ShotPixels, ATracerLightsAClearStreak) {
    for (const View& view :
         {View{"side", {10, -20, 1}, {10, 0, 1}, 100}, View{"far", {10, -80, 1}, {10, 0, 1}, 10},
          View{"chase", {-8, 0, 3}, {10, 0, 1}, 12}}) {
        spawner.Spawn("trasser11", {0, 0, 1}, {1, 0, 0}, -1, nullptr);
        EXPECT_GE(LitPixelsAfter(3, view.eye, view.target), view.leastLit) << view.name;
        spawner.StopTask();
    }
}

// A bullet's hit on a wall facing the chase camera 18 units away: the
// impact's burst of sparks two frames on.
TEST_F(ShotPixels, AHitThrowsVisibleSparks) {
    spawner.Spawn("hit_spark", {10, 0, 1}, {-1, 0, 0}, -1, nullptr);
    EXPECT_GE(LitPixelsAfter(2, {-8, 0, 3}, {10, 0, 1}), 20);
}

// A shell case thrown up and back from a gun on the roof of a car that the
// chase camera follows 8 units behind, a few frames into its flight.
TEST_F(ShotPixels, AShellCaseShows) {
    ParticleDesc shell;
    shell.typeName = "gilze";
    shell.position = D3DXVECTOR3(0, 0.3f, 1.5f);
    shell.velocity = D3DXVECTOR3(-1, 0, 2) * 4.5f;
    shell.acceleration = D3DXVECTOR3(0, 0, -24.8f);
    shell.lifetime = 1.5f;
    shell.size = 0.2f;
    particles.Spawn(shell);
    EXPECT_GE(LitPixelsAfter(4, {-8, 0, 3}, {0, 0, 1}), 12);
}

} // namespace
