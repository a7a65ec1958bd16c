#include "Core/PSettings.h"
#include "DynamicSky/Skyscape.h"
#include "Game/PCamera.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PMeshManager.h"
#include "Game/PhysicsConnections.h"
#include "Physics/PPhysics.h"
#include "Physics/PhysicsServices.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Render/PSky.h"
#include "Render/RenderPriority.h"
#include "Render/RenderTestScene.h"
#include "Vehicles/AI_Task.h"
#include "Vehicles/CarConnections.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

struct Channels {
    int r, g, b;
};

Channels Split(uint32_t pixel) {
    return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
            static_cast<int>(pixel & 0xFF)};
}

// The asphalt's grey: channels alike, neither dark nor the white markings.
bool IsRoad(uint32_t pixel) {
    const Channels c = Split(pixel);
    return std::abs(c.r - c.g) < 12 && std::abs(c.g - c.b) < 12 && c.g > 40 && c.g < 150;
}

// The ground's grass: green well above red and blue.
bool IsGrass(uint32_t pixel) {
    const Channels c = Split(pixel);
    return c.g > c.r + 25 && c.g > c.b + 40;
}

// The barriers: red blocks, or white ones (pink where the two blend in the
// distance).
bool IsBarrier(uint32_t pixel) {
    const Channels c = Split(pixel);
    return (c.r > c.g + 25 && c.r > c.b + 25) || (c.r > 170 && c.g > 170 && c.b > 170);
}

// Copies the parts of the built Data tree a level needs into the test's
// game root.
void CopyDemoLevelData() {
    for (const char* folder : {"Levels", "Meshes", "Textures", "Descriptions", "Clouds"})
        std::filesystem::copy(
            std::filesystem::path(KV_BUILD_DATA) / folder, std::filesystem::path("Data") / folder,
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}

} // namespace

// The demo level as the build made it, drawn by the level's own pass on the
// OpenGL device of SDL's offscreen driver: the chase camera at the
// player's car on the grid looks along the straight, with the road under
// the car, the terrain's grass beside the road and the barriers beyond. The race starts from the
// menu, whose default camera (at the origin, looking along +x) is still
// bound for the menu's scene.
TEST(DemoLevelPixelTest, TheRoadRunsUnderTheCarAndTheGroundIsGrass) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    constexpr int kWidth = 64, kHeight = 48;
    CPPerspectiveCamera menuCamera;
    menuCamera.target = {1, 0, 0};
    menuCamera.up = {0, 0, 1};
    menuCamera.fov = 1.2f;
    menuCamera.nearPlane = 1.0f;
    menuCamera.farPlane = 1000.0f;
    menuCamera.viewDirty = menuCamera.projectionDirty = true;
    menuCamera.UpdateMatrices();
    RenderTestScene scene(PlatGraphicsBackendKind::OpenGL, kWidth, kHeight);
    ASSERT_TRUE(scene.started);
    scene.render->SetLevelCamera(RENDER_DEFAULT_CAMERA, &menuCamera);
    CopyDemoLevelData();
    const PhysicsServices saved = g_PhysicsServices;
    ConnectPhysicsToGameObjects();
    ConnectPhysicsToCars();
    const ScopedSetting<int> weightDiv(g_WeightDiv, 1);
    const ScopedSetting<float> plane(g_Plane, 0.5f);
    const ScopedSetting<int> bloom(g_Bloom, 0);
    {
        CPPhysics physics;
        AI_Task drivers;
        CPGameData data;
        data.playerName = "buggy";
        CPMeshManager meshes;
        auto level = std::make_unique<CPLevel>();
        ASSERT_TRUE(level->Load("level1", false, false));
        level->Start();
        // The field of view the race scripts give the camera.
        level->GetCamera()->SetFov(level->views[0].fov);
        level->Update();
        scene.render->Update();
        const std::vector<uint32_t> pixels = scene.BackBufferPixels();
        ASSERT_EQ(pixels.size(), std::size_t(kWidth * kHeight));
        const auto at = [&](int x, int y) { return pixels[y * kWidth + x]; };
        // Beside the car, inside the edge lines.
        for (int x : {12, 52})
            EXPECT_TRUE(IsRoad(at(x, kHeight - 2))) << x << std::hex << " " << at(x, kHeight - 2);
        // Grass on the shoulders in the lower half of each screen edge, and
        // the barriers beyond them, above it.
        const auto edgeShows = [&](int x, int fromRow, int toRow, bool (*matches)(uint32_t)) {
            for (int y = fromRow; y < toRow; ++y) {
                if (matches(at(x, y)))
                    return true;
            }
            return false;
        };
        for (int x : {0, 63}) {
            EXPECT_TRUE(edgeShows(x, kHeight / 2, kHeight, IsGrass)) << x;
            EXPECT_TRUE(edgeShows(x, kHeight / 3, kHeight * 3 / 4, IsBarrier)) << x;
        }
        level->Stop();
    }
    g_PhysicsServices = saved;
}

// A race frame of the demo level with its sky leaves no pixel undrawn: the
// sky dome reaches down past the far edge of the ground, so the rows around
// the horizon show sky or ground, never what was on the screen before (here
// a magenta the frame starts from), whichever way the camera looks along the
// ground and whatever the screen's shape.
TEST(DemoLevelPixelTest, TheSkyReachesTheGroundAtEveryHeadingAndAspect) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    constexpr D3DCOLOR kMarker = 0xffff00ff;
    const PhysicsServices saved = g_PhysicsServices;
    ConnectPhysicsToGameObjects();
    ConnectPhysicsToCars();
    SetSkyFactory([] { return std::make_unique<Skyscape>(); });
    const ScopedSetting<int> weightDiv(g_WeightDiv, 1);
    const ScopedSetting<float> plane(g_Plane, 0.5f);
    const ScopedSetting<int> bloom(g_Bloom, 0);
    const ScopedSetting<int> distance(g_Distance, 400);
    struct Screen {
        int width, height;
    };
    for (const Screen screen : {Screen{64, 48}, Screen{128, 48}, Screen{48, 64}}) {
        RenderTestScene scene(PlatGraphicsBackendKind::OpenGL, screen.width, screen.height);
        ASSERT_TRUE(scene.started);
        CopyDemoLevelData();
        CPPhysics physics;
        AI_Task drivers;
        CPGameData data;
        data.playerName = "buggy";
        CPMeshManager meshes;
        auto level = std::make_unique<CPLevel>();
        ASSERT_TRUE(level->Load("level1", false, false));
        level->Start();
        CPCamera& camera = *level->GetCamera();
        camera.SetFov(level->views[0].fov);
        camera.fixedMode = true;
        // On the near straight at a car's eye height, looking level along
        // eight headings: along the road both ways, across it to both sides
        // and between.
        for (int step = 0; step < 8; ++step) {
            const float heading = static_cast<float>(step) * 0.7853982f;
            const D3DXVECTOR3 eye(20, -70, 2.5f);
            camera.SetFixedView(eye, eye + D3DXVECTOR3(std::cos(heading), std::sin(heading), 0), {0, 0, 1});
            level->Update();
            scene.render->GetDevice()->Clear(0, nullptr, D3DCLEAR_TARGET, kMarker, 1.0f, 0);
            scene.render->Update();
            const std::vector<uint32_t> pixels = scene.BackBufferPixels();
            ASSERT_EQ(pixels.size(), std::size_t(screen.width * screen.height));
            int undrawn = 0, firstRow = -1;
            for (int y = screen.height / 4; y < screen.height * 3 / 4; ++y)
                for (int x = 0; x < screen.width; ++x)
                    if ((pixels[y * screen.width + x] | 0xff000000u) == kMarker) {
                        ++undrawn;
                        firstRow = firstRow < 0 ? y : firstRow;
                    }
            EXPECT_EQ(undrawn, 0) << screen.width << " x " << screen.height << ", heading step " << step
                                  << ", first at row " << firstRow;
        }
        level->Stop();
    }
    SetSkyFactory(nullptr);
    g_PhysicsServices = saved;
}
