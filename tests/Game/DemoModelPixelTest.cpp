#include "MeshManagerSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

// The plain wood inside the crate texture's frame.
constexpr uint32_t kWood = 0xffa0703c;
constexpr uint32_t kBackground = 0xff000000;

// The demo crate, converted from data/meshes by meshtool during the build,
// loaded through its description and drawn by the renderer on the OpenGL
// device of SDL's offscreen driver. No camera: the frame's matrices are
// identity, so the crate, pushed half a unit into the screen, covers the
// middle half of it.
TEST(DemoModelPixelTest, TheDemoCrateDrawsWhereItStands) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    constexpr int kSize = 32;
    RenderTestScene scene(PlatGraphicsBackendKind::OpenGL, kSize, kSize);
    ASSERT_TRUE(scene.started);
    for (const char* file : {"Meshes/crate.rdf", "Meshes/crate.msh", "Textures/crate.tga"}) {
        const std::filesystem::path target = std::filesystem::path("Data") / file;
        std::filesystem::create_directories(target.parent_path());
        std::filesystem::copy_file(std::filesystem::path(KV_BUILD_DATA) / file, target);
    }
    CPMeshManager meshes;
    CPGameObject* crate = nullptr;
    {
        CPRefPtr<CPGameObject> loaded;
        meshes.LoadObject(loaded, "crate.rdf", 20);
        crate = loaded.Get();
    }
    ASSERT_TRUE(crate);
    const std::unique_ptr<CPGameObject, void (*)(CPGameObject*)> owner(crate, CPMeshManager::DeleteModel);
    EXPECT_EQ(crate->GetName(), "crate");
    ASSERT_EQ(crate->partBoxes.size(), 1u);
    EXPECT_TRUE(crate->GetRenderObject()->IsStatic());
    crate->SetPosition({0, 0, 0.55f});
    crate->UpdateHierarchy();

    scene.render->GetRenderBlock()->AddObject(crate);
    scene.render->Update();
    IDirect3DSurface9* backBuffer = nullptr;
    std::vector<uint32_t> pixels;
    scene.render->GetDevice()->GetBackBuffer(0, 0, 0, &backBuffer);
    ASSERT_EQ(scene.render->GetDevice()->ReadSurfacePixels(backBuffer, &pixels), D3D_OK);
    backBuffer->Release();
    ASSERT_EQ(pixels.size(), std::size_t(kSize * kSize));
    const auto at = [&](int x, int y) { return pixels[y * kSize + x]; };
    EXPECT_EQ(at(16, 16), kWood);
    EXPECT_EQ(at(14, 18), kWood);
    for (const auto& [x, y] : {std::pair{2, 2}, {29, 16}, {16, 29}, {3, 28}})
        EXPECT_EQ(at(x, y), kBackground) << x << "," << y;
}

} // namespace
