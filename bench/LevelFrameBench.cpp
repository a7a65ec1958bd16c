// The processor's share of a race frame: the level's pass (race rules,
// camera, culling and submission of 4 cars and 5,000 scenery objects)
// against the recording renderer's frame drawing what that pass submitted,
// in the same run. The level's pass should cost at most a quarter of the
// renderer's frame.
#include "BenchRoot.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Game/PCamera.h"
#include "Game/PLevel.h"
#include "Game/PLevelBranch.h"
#include "Platform/Recording/RecordingBackend.h"
#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Vehicles/PPlayer.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kSide = 71;
constexpr float kSpacing = 20.0f;
constexpr int kCars = 4;
constexpr int kMaterials = 8;
constexpr int kCameraLevel = 16;

// A box of half size 1 drawn as a quad of that size.
void GiveQuad(CPGameObject& object, CPMaterialManager& materials, int index) {
    auto* mesh = new CPRenderObject(&object);
    mesh->sourceVertices = {{-1, -1, 0, 0, 0, 1, 0xffffffff, 0, 0, 0, 0, 0},
                            {1, -1, 0, 0, 0, 1, 0xffffffff, 0, 1, 0, 0, 0},
                            {1, 1, 0, 0, 0, 1, 0xffffffff, 0, 1, 1, 0, 0},
                            {-1, 1, 0, 0, 0, 1, 0xffffffff, 0, 0, 1, 0, 0}};
    mesh->vertices = mesh->sourceVertices;
    mesh->indices = {0, 1, 2, 0, 2, 3};
    CPRefPtr<CPMaterial> material;
    materials.GetMaterial(material, 20 + index % kMaterials, "simple.fx", {});
    mesh->SetMaterial(material);
    object.SetVisual(mesh, VISUAL_MESH);
    object.partBoxes.emplace_back(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1));
}

// The recording renderer, about 5,000 scenery objects in the level's tree,
// four cars on the grid and the race camera behind the first.
class Scene {
public:
    Scene() {
        PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::Recording);
        materials = std::make_unique<CPMaterialManager>();
        render = std::make_unique<CPRender>();
        started = render->Start();
        for (int i = 0; i < kSide * kSide; ++i) {
            objects.push_back(std::make_unique<CPGameObject>("box"));
            CPGameObject& object = *objects.back();
            GiveQuad(object, *materials, i);
            object.SetPosition(
                {kSpacing * static_cast<float>(i % kSide), kSpacing * static_cast<float>(i / kSide), 0});
            object.UpdateHierarchy();
            list.push_back(&object);
        }
        tree.SetObjects(list);
        tree.Build();
        for (int i = 0; i < kCars; ++i) {
            cars.push_back(std::make_unique<CPPlayer>());
            GiveQuad(*cars.back(), *materials, i);
            cars.back()->SetPosition({700.0f + 4 * static_cast<float>(i), 700, 1});
            cars.back()->UpdateHierarchy();
            level.cars.push_back(cars.back().get());
        }
        level.spatialTree = &tree;
        level.camera = &camera;
        level.player = cars.front().get();
        level.cameraTarget = cars.front().get();
        level.demoMode = false;
        level.cameraDistance = 9;
        level.cameraHeight = 1.5f;
        level.SetCameraView(0);
        camera.SetAngle(0.35f);
        camera.SetFov(60);
        camera.BindMainCamera(kCameraLevel);
        g_FrameTime = 1.0f / 60;
    }
    ~Scene() {
        // The renderer lets go of the camera before the camera goes.
        render->levels[kCameraLevel].camera = nullptr;
        level.cars.clear();
        level.player = nullptr;
        level.cameraTarget = nullptr;
        level.camera = nullptr;
        level.spatialTree = nullptr;
        PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::OpenGL);
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    PlatRecordingBackend& Recording() const {
        return static_cast<PlatRecordingBackend&>(render->GetDevice()->GetBackend());
    }

    // Members go in reverse order: the level's parts, then the objects,
    // then the renderer and the materials the meshes held.
    BenchRoot root{"kv-level-frame-bench"};
    std::unique_ptr<CPMaterialManager> materials;
    std::unique_ptr<CPRender> render;
    bool started = false;
    std::vector<std::unique_ptr<CPGameObject>> objects;
    std::vector<std::unique_ptr<CPPlayer>> cars;
    CPLevelBranch::ObjectList list;
    CPLevelBranch tree;
    CPCamera camera;
    CPLevel level;
};

void BM_LevelFrame(benchmark::State& state) {
    Scene scene;
    if (!scene.started) {
        state.SkipWithError("the renderer did not start");
        return;
    }
    for (auto _ : state) {
        scene.level.Update();
        state.PauseTiming();
        scene.render->Update();
        scene.Recording().ClearCalls();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LevelFrame)->Unit(benchmark::kMicrosecond);

void BM_RendererFrameOfTheLevel(benchmark::State& state) {
    Scene scene;
    if (!scene.started) {
        state.SkipWithError("the renderer did not start");
        return;
    }
    std::size_t draws = 0;
    for (auto _ : state) {
        state.PauseTiming();
        scene.level.Update();
        state.ResumeTiming();
        scene.render->Update();
        draws = scene.Recording().GetDraws().size();
        scene.Recording().ClearCalls();
    }
    state.counters["draws_per_frame"] = static_cast<double>(draws);
}
BENCHMARK(BM_RendererFrameOfTheLevel)->Unit(benchmark::kMicrosecond);

} // namespace
