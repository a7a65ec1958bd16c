#include "Core/PFileReader.h"
#include "Core/PGlobalTimer.h"
#include "Game/CameraTarget.h"
#include "Game/PCamera.h"
#include "Game/PSpline.h"
#include "Render/RenderPriority.h"
#include "Render/RenderTestScene.h"
#include "leveltool/LevelWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t kGround = 0xff208020;
constexpr uint32_t kBox = 0xffc02020;
constexpr uint32_t kLine = 0xffffffff;
constexpr uint32_t kSky = 0xff000000;

// A car heading along +x, at rest.
class StandingCar : public CameraTarget {
public:
    D3DXVECTOR3 GetTargetForward() const override { return {1, 0, 0}; }
    bool GetCarSteering(float& slide, float& steering) const override {
        slide = steering = 0;
        return true;
    }
    bool IsResultSent() const override { return false; }
    float GetTrackAngle() const override { return 0; }
    float GetDemoShotTime() const override { return 0; }
};

// The chase camera raised a little behind a box standing on the ground,
// with a track line drawn across the ground beyond it, on the OpenGL device
// of SDL's offscreen driver.
TEST(ChaseCameraPixelTest, TheBoxShowsInTheLowerMiddleAndTheTrackLineAcrossTheGround) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    constexpr int kWidth = 64, kHeight = 48;
    // The renderer's levels hold the render cameras: the camera outlives it.
    StandingCar car;
    CPCamera camera;
    RenderTestScene scene(PlatGraphicsBackendKind::OpenGL, kWidth, kHeight);
    ASSERT_TRUE(scene.started);
    RenderTestScene::WritePicture("Data/Textures/ground.tga", Image(2, 2, kGround));
    RenderTestScene::WritePicture("Data/Textures/box.tga", Image(2, 2, kBox));
    const auto ground = TwoSidedQuad(scene.Material(20, "simple.fx", {"ground.tga"}),
                                     {{-200, -200, 0}, {200, -200, 0}, {200, 200, 0}, {-200, 200, 0}});
    const auto box = TwoSidedQuad(scene.Material(21, "simple.fx", {"box.tga"}),
                                  {{0, -1, 0}, {0, 1, 0}, {0, 1, 2}, {0, -1, 2}});

    std::vector<uint8_t> bytes;
    WriteTrackLine(bytes, {"c_path", false, {StraightSegment({20, -60, 0.2f}, {20, 60, 0.2f})}});
    CPFileReader reader("memory", false);
    reader.SetData(bytes);
    CPSpline line;
    ASSERT_TRUE(line.Load(reader));
    line.UpdateHierarchy();

    camera.SetTarget(&car);
    camera.SetFov(60);
    camera.SetDistance(10);
    camera.SetAngle(0.15f);
    camera.SetHeading(0);
    camera.Snap();
    camera.focus = D3DXVECTOR3(0, 0, 3);
    camera.distanceDiv = 10;
    // The lowest level drawn, so that the line's level draws through it too.
    camera.BindMainCamera(RENDER_LINE);
    camera.Update();

    CPRenderBlock& block = *scene.render->GetRenderBlock();
    block.AddRenderObject(ground.get());
    block.AddRenderObject(box.get());
    block.AddObject(&line);
    scene.render->Update();
    const std::vector<uint32_t> pixels = scene.BackBufferPixels();
    ASSERT_EQ(pixels.size(), std::size_t(kWidth * kHeight));
    const auto at = [&](int x, int y) { return pixels[y * kWidth + x]; };

    // The box: below the middle of the screen, centred.
    EXPECT_EQ(at(32, 38), kBox);
    EXPECT_EQ(at(30, 36), kBox);
    EXPECT_EQ(at(32, 20), kSky);
    EXPECT_EQ(at(20, 38), kGround);
    EXPECT_EQ(at(44, 38), kGround);
    EXPECT_EQ(at(32, 46), kGround);
    // The line crosses the ground from side to side above the box.
    for (int x : {4, 16, 48, 60}) {
        int lineRows = 0;
        for (int y = 25; y < 34; ++y)
            lineRows += at(x, y) == kLine ? 1 : 0;
        EXPECT_GE(lineRows, 1) << x;
    }
}

} // namespace
