#include "DemoVehicleScene.h"

#include "Game/PLevel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

bool Submitted(const CPRenderBlock& block, const CPRefPtr<CPMaterial>& material) {
    return std::any_of(block.frameBatches.begin(), block.frameBatches.end(),
                       [&](const auto& batch) { return batch.first == material.Get(); });
}

CPRefPtr<CPMaterial> MaterialOf(const CPGameObject& object) {
    return object.GetVisual() ? object.GetVisual()->GetMaterial() : nullptr;
}

class PlayerDrawing : public ::testing::Test {
protected:
    PlayerDrawing() : demo(PlatGraphicsBackendKind::Recording, 64, 64) {}

    DemoVehicleScene demo;
};

TEST_F(PlayerDrawing, TheShadowIsTheDarkDecalOfTheCarsShadowTexture) {
    ASSERT_TRUE(demo.BuildWorld());
    CPPlayer& vehicle = demo.AddVehicle({0, 0, 1.5f});
    vehicle.defeated = vehicle.deathReported = true;
    vehicle.CreateShadow();
    EXPECT_FALSE(vehicle.defeated);
    EXPECT_FALSE(vehicle.deathReported);
    ASSERT_TRUE(vehicle.shadow);
    const CPGameObject& shadow = *vehicle.shadow;
    EXPECT_EQ(MaterialOf(shadow), demo.scene.Material(120, "shadow.fx", {"shadow.tga"}));
    EXPECT_EQ(vehicle.GetCar()->shadowName, "shadow.tga") << "named by the car's description";
    EXPECT_FALSE(shadow.physicData);
    EXPECT_TRUE(shadow.IsVisible());
    EXPECT_TRUE(shadow.IsStaticObject());
    EXPECT_FALSE(shadow.GetVisual()->IsStatic()) << "rebuilt every frame";
    const D3DXVECTOR3 half = shadow.GetHalfSize();
    EXPECT_FLOAT_EQ(half.x, 1);
    EXPECT_FLOAT_EQ(half.y, 2);
}

struct DrawingCase {
    const char* name;
    D3DXVECTOR3 position;
    bool car;
    bool shadow;
};

// The camera stands at the origin's south, looking north along +y.
TEST_F(PlayerDrawing, TheCarIsDrawnWhenSeenAndItsShadowWhenNear) {
    ASSERT_TRUE(demo.BuildWorld());
    demo.LookFrom({0, -30, 10}, {0, 0, 0});
    const DrawingCase cases[] = {
        {"in view and near", {0, 0, 1.2f}, true, true},
        {"in view beyond 100", {0, 120, 1.2f}, true, false},
        {"behind the camera", {0, -60, 1.2f}, false, false},
    };
    for (const DrawingCase& c : cases) {
        SCOPED_TRACE(c.name);
        CPPlayer& vehicle = demo.AddVehicle(c.position);
        // The physics looks under the body for its ground triangles.
        demo.Frames(2);
        vehicle.UpdateHierarchy();
        demo.Block().Reset();
        vehicle.SubmitForDrawing(demo.Block(), demo.camera);
        EXPECT_EQ(Submitted(demo.Block(), MaterialOf(vehicle)), c.car);
        EXPECT_EQ(Submitted(demo.Block(), MaterialOf(*vehicle.shadow)), c.shadow);
        const auto& decal = static_cast<const CPRenderObject&>(*vehicle.shadow->GetVisual());
        if (!c.shadow)
            continue;
        // The decal lies on the ground triangles under the car.
        ASSERT_FALSE(decal.indices.empty());
        EXPECT_LE(decal.indices.size(), 6u);
        for (const MeshVertex& vertex : decal.vertices) {
            EXPECT_FLOAT_EQ(std::fabs(vertex.x), DemoVehicleScene::kGroundHalfSize);
            EXPECT_FLOAT_EQ(std::fabs(vertex.y), DemoVehicleScene::kGroundHalfSize);
            EXPECT_NEAR(vertex.z, 0, 0.1f);
        }
    }
}

// The level's camera target fades the screen out in 0.1 s after its respawn
// and back in over 0.4 s, a step each time it is submitted; other cars leave
// the screen alone.
TEST_F(PlayerDrawing, TheCameraTargetsRespawnFadesTheScreenOutAndIn) {
    ASSERT_TRUE(demo.BuildWorld());
    demo.LookFrom({0, -30, 10}, {0, 0, 0});
    CPLevel level;
    CPPlayer& followed = demo.AddVehicle({0, 0, 1.2f});
    CPPlayer& other = demo.AddVehicle({10, 0, 1.2f});
    level.cameraTarget = &followed;
    g_FrameTime = 0.05f;
    const auto fade = [this] { return demo.scene.render->fade / 256.0f; };

    demo.scene.render->SetFade(0.75f);
    other.fadeOut = true;
    other.SubmitForDrawing(demo.Block(), demo.camera);
    EXPECT_FLOAT_EQ(fade(), 0.75f);

    followed.fadeOut = true;
    struct Step {
        int frame;
        float fade;
        bool fadeOut, fadeIn;
    };
    const Step steps[] = {{1, 0.5f, true, false},  {2, 0.0f, false, true},   {3, 0.125f, false, true},
                          {6, 0.5f, false, true},  {9, 0.875f, false, true}, {10, 1.0f, false, false},
                          {11, 1.0f, false, false}};
    int frame = 0;
    for (const Step& step : steps) {
        while (frame < step.frame) {
            followed.SubmitForDrawing(demo.Block(), demo.camera);
            ++frame;
        }
        SCOPED_TRACE(frame);
        EXPECT_NEAR(fade(), step.fade, 1e-3f);
        EXPECT_EQ(followed.fadeOut, step.fadeOut);
        EXPECT_EQ(followed.fadeIn, step.fadeIn);
    }
    level.cameraTarget = nullptr;
}

float NormalChange(const CPRenderObject& mesh, const std::vector<MeshVertex>& before) {
    float change = 0;
    for (std::size_t i = 0; i < before.size() && i < mesh.sourceVertices.size(); ++i) {
        const MeshVertex& now = mesh.sourceVertices[i];
        change = std::max({change, std::fabs(now.nx - before[i].nx), std::fabs(now.ny - before[i].ny),
                           std::fabs(now.nz - before[i].nz)});
    }
    return change;
}

// Built in the loader's order and stepped and drawn as the race does, the
// car rides on its wheels without a dent; driven into a wall of the terrain
// its body mesh is dented.
TEST_F(PlayerDrawing, ACarDrivenIntoAWallIsDented) {
    LevelStarted started(true);
    const float wall = -15.0f;
    ASSERT_TRUE(demo.BuildWorld({{{{-20, wall, -1}, {20, wall, -1}, {20, wall, 10}, {-20, wall, 10}}}}));
    demo.LookFrom({0, 20, 10}, {0, 0, 0});
    CPPlayer& vehicle = demo.AddVehicle({0, 0, 1.5f});
    const auto race = [&](int frames) {
        for (int frame = 0; frame < frames; ++frame) {
            vehicle.Update(kFrame);
            demo.Frames(1);
            vehicle.SubmitForDrawing(demo.Block(), demo.camera);
            demo.scene.render->Update();
        }
    };
    CPRenderObject& mesh = *vehicle.GetRenderObject();
    const std::vector<MeshVertex> built = mesh.sourceVertices;
    race(60);
    EXPECT_EQ(NormalChange(mesh, built), 0.0f);
    const std::vector<MeshVertex> settled = mesh.sourceVertices;

    vehicle.physicData->rigidBody->SetVelocity({0, -12, 0});
    vehicle.SetControls(1, 0);
    race(90);
    EXPECT_LT(vehicle.GetPosition().y, wall + 4.0f) << "the car reached the wall";
    EXPECT_GT(vehicle.GetPosition().y, wall) << "and stopped at it";
    EXPECT_GT(NormalChange(mesh, settled), 0.01f);
}

int Channel(uint32_t colour) {
    return static_cast<int>(colour & 0xff);
}

constexpr int kPixelSize = 64;
constexpr uint32_t kGrey = 0xff808080;

// The first frame of a fresh renderer on the OpenGL device of SDL's
// offscreen driver: the demo car standing on flat grey ground, seen from
// above and behind, with or without its shadow. No post effects: the motion
// blur runs just before the shadows' level and would blend the frame.
std::vector<uint32_t> DemoCarFrame(bool withShadow) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    const int bloom = g_Bloom;
    g_Bloom = 0;
    DemoVehicleScene demo(PlatGraphicsBackendKind::OpenGL, kPixelSize, kPixelSize);
    EXPECT_TRUE(demo.scene.started);
    EXPECT_TRUE(demo.BuildWorld());
    RenderTestScene::WritePicture("Data/Textures/ground.tga", Image(2, 2, kGrey));
    const float h = DemoVehicleScene::kGroundHalfSize;
    const auto ground = TwoSidedQuad(demo.scene.Material(20, "simple.fx", {"ground.tga"}),
                                     {{-h, -h, 0}, {h, -h, 0}, {h, h, 0}, {-h, h, 0}});
    CPPlayer& vehicle = demo.AddVehicle({0, 0, 1.5f});
    demo.Frames(60);
    vehicle.UpdateHierarchy();
    demo.LookFrom({3, 6, 6}, {0, 0, 0.5f});
    CPRenderBlock& block = demo.Block();
    block.AddRenderObject(ground.get());
    if (withShadow)
        vehicle.SubmitForDrawing(block, demo.camera);
    else
        block.AddObject(&vehicle);
    demo.scene.render->Update();
    g_Bloom = bloom;
    return demo.scene.BackBufferPixels();
}

// The shadow darkens the ground around the car, and nothing else.
TEST(PlayerShadowPixelTest, TheDemoCarCastsADarkFootprint) {
    const std::vector<uint32_t> plain = DemoCarFrame(false);
    const std::vector<uint32_t> shadowed = DemoCarFrame(true);
    ASSERT_EQ(plain.size(), std::size_t(kPixelSize * kPixelSize));
    ASSERT_EQ(shadowed.size(), plain.size());
    // The software rasteriser may dither blended pixels by one step.
    constexpr int kDither = 2;
    int darkened = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const int before = Channel(plain[i]), after = Channel(shadowed[i]);
        if (std::abs(after - before) <= kDither)
            continue;
        EXPECT_EQ(plain[i], kGrey) << "only the ground changes, at pixel " << i;
        EXPECT_LT(after, before) << "and only darker, at pixel " << i;
        ++darkened;
    }
    EXPECT_GE(darkened, 20);
}

} // namespace
