#include "DynamicSky/SkyFixture.h"
#include "Render/PPerspectiveCamera.h"

#include <cstdlib>

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr uint32_t kWallColour = 0xff306020;

int Red(uint32_t pixel) {
    return static_cast<int>(pixel >> 16 & 0xFF);
}
int Green(uint32_t pixel) {
    return static_cast<int>(pixel >> 8 & 0xFF);
}
int Blue(uint32_t pixel) {
    return static_cast<int>(pixel & 0xFF);
}

void CopyDemoFile(const std::string& name) {
    std::filesystem::copy_file(std::string(KV_SOURCE_DIR "/data/Clouds/") + name, "Data/Clouds/" + name,
                               std::filesystem::copy_options::overwrite_existing);
}

// The demo sky drawn by the renderer on the OpenGL device of SDL's offscreen
// driver, seen from the centre looking along -x 10 degrees up, towards the
// sun that stands 20 degrees high there; a wall quad stands in front, low
// and to one side.
class SkyPixelTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        scene = std::make_unique<RenderTestScene>(PlatGraphicsBackendKind::OpenGL, kWidth, kHeight);
        ASSERT_TRUE(scene->started);
        WriteSkyData();
        for (const char* name : {"skyscape1.txt", "clouds.set", "layer.cl"})
            CopyDemoFile(name);
        RenderTestScene::WritePicture("Data/Textures/wall.tga", Image(4, 4, kWallColour));
        SetSkyFactory([] { return std::make_unique<Skyscape>(); });
        camera.eye = D3DXVECTOR3(0, 0, 0);
        camera.target = Ahead() * 10;
        camera.up = D3DXVECTOR3(0, 0, 1);
        camera.fov = Radians(60);
        camera.nearPlane = 0.5f;
        camera.farPlane = 100;
        camera.viewDirty = camera.projectionDirty = true;
        camera.UpdateMatrices();
        g_MainCamera = &camera;
        scene->render->levelCamera = &camera;
    }

    void TearDown() override {
        scene->render->levelCamera = nullptr;
        g_MainCamera = nullptr;
        SetSkyFactory({});
        scene.reset();
    }

    static D3DXVECTOR3 Ahead() { return {-std::cos(Radians(10)), 0, std::sin(Radians(10))}; }

    // A point of the plane across the view at 10 units.
    static D3DXVECTOR3 WallPoint(float across, float up) {
        const D3DXVECTOR3 upwards(std::sin(Radians(10)), 0, std::cos(Radians(10)));
        return Ahead() * 10 + D3DXVECTOR3(0, across, 0) + upwards * up;
    }

    // A quad facing the camera at 10 units, its corners given on the
    // screen-aligned plane there.
    std::unique_ptr<CPRenderObject> Wall() const {
        auto wall = MakeMesh(scene->Material(20, "simple.fx", {"wall.tga"}), 4);
        const float corners[4][2] = {{-3, -2}, {-3, -0.5f}, {-1, -0.5f}, {-1, -2}};
        for (int i = 0; i < 4; ++i) {
            const D3DXVECTOR3 p = WallPoint(corners[i][0], corners[i][1]);
            wall->sourceVertices[i].x = p.x;
            wall->sourceVertices[i].y = p.y;
            wall->sourceVertices[i].z = p.z;
        }
        wall->indices = {0, 1, 2, 0, 2, 3, 0, 2, 1, 0, 3, 2};
        wall->vertices = wall->sourceVertices;
        return wall;
    }

    std::unique_ptr<RenderTestScene> scene;
    CPPerspectiveCamera camera;
    SkyLogCapture log;
};

TEST_F(SkyPixelTest, TheSkyIsBehindTheFrameWithItsSunWhereTheFlareLooks) {
    scene->render->LoadSky(1);
    const auto wall = Wall();
    for (int frame = 0; frame < 2; ++frame) {
        scene->render->GetRenderBlock()->AddRenderObject(wall.get());
        scene->render->Update();
    }
    const std::vector<uint32_t> pixels = scene->BackBufferPixels();
    ASSERT_EQ(pixels.size(), static_cast<size_t>(kWidth * kHeight));
    const auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * kWidth + x)]; };

    // Up the sky the colour deepens towards the zenith's blue; about the
    // horizon (row 80) it is pale, and the dome goes on below it (to some 8
    // degrees under it, row 95) rather than leaving the screen undrawn.
    const uint32_t top = at(20, 2);
    for (const int row : {76, 84, 90}) {
        const uint32_t low = at(150, row);
        EXPECT_GT(Blue(top) - Red(top), Blue(low) - Red(low) + 20) << std::hex << top << " " << low;
        EXPECT_GT(Red(low), 170) << std::hex << low << " in row " << std::dec << row;
    }
    EXPECT_GT(Blue(top), Red(top) + 60) << std::hex << top;

    // The sun's disc, where the lens flare projects it.
    D3DXVECTOR3 sun;
    scene->render->ProjectToScreen(&sun, &g_SunPosition);
    const int sunX = static_cast<int>(sun.x * kWidth / static_cast<float>(g_ScreenWidth));
    const int sunY = static_cast<int>(sun.y * kHeight / static_cast<float>(g_ScreenHeight));
    ASSERT_GT(sunY, 0);
    ASSERT_LT(sunY, kHeight / 2);
    EXPECT_GE(Red(at(sunX, sunY)), 250) << std::hex << at(sunX, sunY) << " at " << sunX << "," << sunY;
    EXPECT_GE(Green(at(sunX, sunY)), 240) << std::hex << at(sunX, sunY);

    // The wall drawn after the sky stands in front of it.
    D3DXVECTOR3 wallCentre;
    const D3DXVECTOR3 middle = WallPoint(-2, -1.25f);
    scene->render->ProjectToScreen(&wallCentre, &middle);
    EXPECT_EQ(at(static_cast<int>(wallCentre.x), static_cast<int>(wallCentre.y)), kWallColour);
}

} // namespace
