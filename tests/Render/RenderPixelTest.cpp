#include "RenderTestScene.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t kBarColour = 0xffffa020;
constexpr uint32_t kBackgroundColour = 0xff2040a0;
constexpr uint32_t kWallColour = 0xff3060c0;

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16, 24})
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// The renderer on the OpenGL device of SDL's offscreen driver.
class RenderPixelTest : public ::testing::Test {
protected:
    static RenderTestScene* Scene(int width, int height) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        return new RenderTestScene(PlatGraphicsBackendKind::OpenGL, width, height);
    }
    static std::vector<uint32_t> Pixels(const RenderTestScene& scene) { return scene.BackBufferPixels(); }
};

TEST_F(RenderPixelTest, LoadingScreenAtHalfShowsTheBarOverHalfTheWidth) {
    // The bar is 10 pixels high at a height of 768.
    constexpr int kWidth = 64, kHeight = 768;
    std::unique_ptr<RenderTestScene> scene(Scene(kWidth, kHeight));
    ASSERT_TRUE(scene->started);
    RenderTestScene::WritePicture("Data/Textures/load.tga", Image(8, 8, kBarColour));
    const std::vector<uint8_t> background = EncodeJpeg(Image(16, 16, kBackgroundColour), 95);
    TempGameRoot::WriteFile("Data/Textures/back2.jpg", std::string(background.begin(), background.end()));

    scene->render->DrawLoadingScreen(50);
    const std::vector<uint32_t> pixels = Pixels(*scene);
    ASSERT_EQ(pixels.size(), std::size_t(kWidth * kHeight));
    const auto at = [&](int x, int y) { return pixels[y * kWidth + x]; };
    for (int y : {758, 763, 767}) {
        EXPECT_EQ(at(0, y), kBarColour) << y;
        EXPECT_EQ(at(31, y), kBarColour) << y;
        EXPECT_TRUE(Near(at(32, y), kBackgroundColour, 8)) << std::hex << at(32, y);
        EXPECT_TRUE(Near(at(63, y), kBackgroundColour, 8)) << std::hex << at(63, y);
    }
    EXPECT_TRUE(Near(at(0, 757), kBackgroundColour, 8)) << std::hex << at(0, 757);
    EXPECT_TRUE(Near(at(40, 10), kBackgroundColour, 8)) << std::hex << at(40, 10);
}

// A quad in clip space (no camera yet: the frame's matrices are identity),
// wound clockwise on the screen.
std::unique_ptr<CPRenderObject> Quad(const CPRefPtr<CPMaterial>& material, float left, float right) {
    auto quad = MakeMesh(material, 4, 0.5f);
    const float corners[4][2] = {{left, -0.5f}, {left, 0.5f}, {right, 0.5f}, {right, -0.5f}};
    for (int i = 0; i < 4; ++i) {
        quad->sourceVertices[i].x = corners[i][0];
        quad->sourceVertices[i].y = corners[i][1];
    }
    quad->indices = {0, 1, 2, 0, 2, 3};
    quad->vertices = quad->sourceVertices;
    return quad;
}

TEST_F(RenderPixelTest, TwoTexturedMeshesOfOneMaterialDrawAsOneBatch) {
    constexpr int kSize = 32;
    std::unique_ptr<RenderTestScene> scene(Scene(kSize, kSize));
    ASSERT_TRUE(scene->started);
    RenderTestScene::WritePicture("Data/Textures/wall.tga", Image(4, 4, kWallColour));
    const auto material = scene->Material(20, "simple.fx", {"wall.tga"});
    const auto left = Quad(material, -0.9f, -0.1f);
    const auto right = Quad(material, 0.1f, 0.9f);
    CPRenderBlock& block = *scene->render->GetRenderBlock();
    block.AddRenderObject(left.get());
    block.AddRenderObject(right.get());
    ASSERT_EQ(block.frameBatches.size(), 1u);
    EXPECT_EQ(block.frameBatches.front().second->vertexCount, 8);

    scene->render->Update();
    const std::vector<uint32_t> pixels = Pixels(*scene);
    const auto at = [&](int x, int y) { return pixels[y * kSize + x]; };
    EXPECT_EQ(at(8, 16), kWallColour);
    EXPECT_EQ(at(24, 16), kWallColour);
    EXPECT_EQ(at(16, 16), 0xff000000u);
    EXPECT_EQ(at(8, 2), 0xff000000u);
}

// The level's ground effect: the colour map times the detail texture,
// doubled, on the second texture coordinates tiled far beyond one repeat.
TEST_F(RenderPixelTest, TerrainEffectModulatesTheColourMapByTheDoubledDetail) {
    constexpr int kSize = 32;
    std::unique_ptr<RenderTestScene> scene(Scene(kSize, kSize));
    ASSERT_TRUE(scene->started);
    for (const auto& [file, colour] :
         {std::pair{"color.dds", 0xff80a040u}, std::pair{"detail1.dds", 0xff404040u}}) {
        const std::vector<uint8_t> bytes = EncodeDds(Image(4, 4, colour));
        TempGameRoot::WriteFile(std::string("Data/Textures/ground/") + file,
                                std::string(bytes.begin(), bytes.end()));
    }
    const auto material = scene->Material(17, "terrain2.fx", {"ground\\color.dds", "ground\\detail1.dds"});
    const auto quad = Quad(material, -0.9f, 0.9f);
    for (MeshVertex& vertex : quad->sourceVertices) {
        vertex.u1 = vertex.u0 * 37.5f;
        vertex.v1 = vertex.v0 * 37.5f;
    }
    quad->vertices = quad->sourceVertices;
    scene->render->GetRenderBlock()->AddRenderObject(quad.get());

    scene->render->Update();
    const std::vector<uint32_t> pixels = Pixels(*scene);
    const uint32_t ground = pixels[16 * kSize + 16];
    EXPECT_TRUE(Near(ground, 0xff405020, 2)) << std::hex << ground;
}

// The frame of two textured quads, drawn without post passes, then the
// passes on their own.
class PostPassPixelTest : public RenderPixelTest {
protected:
    static constexpr int kWidth = 64, kHeight = 48;

    void SetUp() override {
        scene.reset(Scene(kWidth, kHeight));
        ASSERT_TRUE(scene->started);
    }
    void DrawScene(const Image& picture) {
        RenderTestScene::WritePicture("Data/Textures/picture.tga", picture);
        const auto material = scene->Material(20, "simple.fx", {"picture.tga"});
        const auto left = Quad(material, -0.95f, -0.05f);
        const auto right = Quad(material, 0.05f, 0.95f);
        scene->render->GetRenderBlock()->AddRenderObject(left.get());
        scene->render->GetRenderBlock()->AddRenderObject(right.get());
        const ScopedSetting<int> noPostPasses(g_Bloom, 0);
        scene->render->Update();
    }
    void RunPass(int (CPBloom::*pass)()) {
        IDirect3DDevice9& device = *scene->render->GetDevice();
        device.BeginScene();
        (scene->render->bloom.*pass)();
        device.EndScene();
    }
    static double MeanBrightness(const std::vector<uint32_t>& pixels) {
        double sum = 0;
        for (uint32_t pixel : pixels)
            sum += ((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF)) / 3.0;
        return sum / static_cast<double>(pixels.size());
    }

    std::unique_ptr<RenderTestScene> scene;
};

TEST_F(PostPassPixelTest, MotionBlurOfAStandingCarLeavesTheFrameUnchanged) {
    Image checker(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            checker.At(x, y) = (x + y) % 2 ? 0xffffffff : 0xff202060;
    DrawScene(checker);
    const std::vector<uint32_t> before = Pixels(*scene);

    scene->render->bloom.playerCarVelocity = [] { return D3DXVECTOR3(0, 0, 0); };
    RunPass(&CPBloom::RenderMotionBlur);
    EXPECT_EQ(Pixels(*scene), before);

    // At full speed the edges of the screen smear.
    scene->render->bloom.playerCarVelocity = [] { return D3DXVECTOR3(0, 25, 0); };
    RunPass(&CPBloom::RenderMotionBlur);
    const std::vector<uint32_t> blurred = Pixels(*scene);
    ASSERT_EQ(blurred.size(), before.size());
    int changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
        changed += blurred[i] != before[i];
    EXPECT_GT(changed, 0);
    // The middle of the screen stays sharp.
    const std::size_t middle = kHeight / 2 * kWidth + kWidth / 2 - 6;
    EXPECT_EQ(blurred[middle], before[middle]);
}

TEST_F(PostPassPixelTest, BloomRaisesTheMeanBrightnessOfABrightScene) {
    DrawScene(Image(4, 4, 0xffe0e0d0));
    // Half the screen is bright, the rest black.
    const double before = MeanBrightness(Pixels(*scene));
    ASSERT_GT(before, 80.0);

    RunPass(&CPBloom::RenderBloom);
    const double after = MeanBrightness(Pixels(*scene));
    EXPECT_GT(after, before + 10.0) << before;
}

} // namespace
