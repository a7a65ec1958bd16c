// The processor's share of a race frame: the level's pass (race rules,
// camera, culling and submission) against the recording renderer's frame
// drawing what that pass submitted, timed apart within the same frames. The
// level's pass should cost at most a quarter of the renderer's frame
// ("share" at most 0.25) in two scenes: 4 cars over 5,000 scenery boxes
// shaped like the demo level's crates, and the built demo level level1 with
// its 4 cars. A third scene draws the 5,000 objects as single quads, the
// least the renderer can do for an object, where the level's share is
// largest.
#include "BenchRoot.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Game/PCamera.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PLevelBranch.h"
#include "Game/PMeshManager.h"
#include "Game/PhysicsConnections.h"
#include "Physics/PPhysics.h"
#include "Physics/PhysicsServices.h"
#include "Platform/Recording/RecordingBackend.h"
#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Vehicles/AI_Task.h"
#include "Vehicles/CarConnections.h"
#include "Vehicles/PPlayer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr int kSide = 71;
constexpr float kSpacing = 20.0f;
constexpr int kCars = 4;
constexpr int kMaterials = 8;
constexpr int kCameraLevel = 16;

using MeshShape = void (*)(CPRenderObject& mesh);

// One face of half size 1 facing up: four vertices, two triangles.
void ShapeQuad(CPRenderObject& mesh) {
    mesh.sourceVertices = {{-1, -1, 0, 0, 0, 1, 0xffffffff, 0, 0, 0, 0, 0},
                           {1, -1, 0, 0, 0, 1, 0xffffffff, 0, 1, 0, 0, 0},
                           {1, 1, 0, 0, 0, 1, 0xffffffff, 0, 1, 1, 0, 0},
                           {-1, 1, 0, 0, 0, 1, 0xffffffff, 0, 0, 1, 0, 0}};
    mesh.indices = {0, 1, 2, 0, 2, 3};
}

// A box of half size 1 as the demo's crates are drawn: four corners of
// their own per face, with the face's normal (24 vertices, 36 indices).
void ShapeBox(CPRenderObject& mesh) {
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int axis = 0; axis < 3; ++axis) {
        for (const float side : {-1.0f, 1.0f}) {
            const auto first = static_cast<std::uint16_t>(mesh.sourceVertices.size());
            for (const auto& corner : corners) {
                float place[3];
                float normal[3] = {0, 0, 0};
                place[axis] = side;
                place[(axis + 1) % 3] = corner[0];
                place[(axis + 2) % 3] = corner[1];
                normal[axis] = side;
                mesh.sourceVertices.push_back({place[0], place[1], place[2], normal[0], normal[1], normal[2],
                                               0xffffffff, 0, (corner[0] + 1) / 2, (corner[1] + 1) / 2, 0,
                                               0});
            }
            for (const int corner : {0, 1, 2, 0, 2, 3})
                mesh.indices.push_back(static_cast<std::uint16_t>(first + corner));
        }
    }
}

// Gives the object a mesh of the shape within its box of half size 1.
void GiveMesh(CPGameObject& object, CPMaterialManager& materials, int index, MeshShape shape) {
    auto* mesh = new CPRenderObject(&object);
    shape(*mesh);
    mesh->vertices = mesh->sourceVertices;
    CPRefPtr<CPMaterial> material;
    materials.GetMaterial(material, 20 + index % kMaterials, "simple.fx", {});
    mesh->SetMaterial(material);
    object.SetVisual(mesh, VISUAL_MESH);
    object.partBoxes.emplace_back(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1));
}

// The recording renderer with its materials, for the level of a scene.
class Renderer {
public:
    Renderer() {
        PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::Recording);
        started = render->Start();
    }
    ~Renderer() { PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::OpenGL); }
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    PlatRecordingBackend& Recording() const {
        return static_cast<PlatRecordingBackend&>(render->GetDevice()->GetBackend());
    }

    std::unique_ptr<CPMaterialManager> materials = std::make_unique<CPMaterialManager>();
    std::unique_ptr<CPRender> render = std::make_unique<CPRender>();
    bool started = false;
};

// The recording renderer, about 5,000 scenery objects in the level's tree,
// four cars on the grid and the race camera behind the first, every object
// drawn with a mesh of the one shape.
class Scene {
public:
    explicit Scene(MeshShape shape) {
        for (int i = 0; i < kSide * kSide; ++i) {
            objects.push_back(std::make_unique<CPGameObject>("box"));
            CPGameObject& object = *objects.back();
            GiveMesh(object, *renderer.materials, i, shape);
            object.SetPosition(
                {kSpacing * static_cast<float>(i % kSide), kSpacing * static_cast<float>(i / kSide), 0});
            object.UpdateHierarchy();
            list.push_back(&object);
        }
        tree.SetObjects(list);
        tree.Build();
        for (int i = 0; i < kCars; ++i) {
            cars.push_back(std::make_unique<CPPlayer>());
            GiveMesh(*cars.back(), *renderer.materials, i, shape);
            cars.back()->SetPosition({700.0f + 4 * static_cast<float>(i), 700, 1});
            cars.back()->UpdateHierarchy();
            level.cars.push_back(cars.back().get());
        }
        level.spatialTree = &tree;
        level.camera = &camera;
        level.player = cars.front().get();
        level.cameraTarget = cars.front().get();
        level.demo.active = false;
        level.views[0].distance = 9;
        level.views[0].height = 1.5f;
        level.SetCameraView(0);
        camera.SetAngle(0.35f);
        camera.SetFov(60);
        camera.BindMainCamera(kCameraLevel);
        g_FrameTime = 1.0f / 60;
    }
    ~Scene() {
        // The renderer lets go of the camera before the camera goes.
        renderer.render->levels[kCameraLevel].camera = nullptr;
        level.cars.clear();
        level.player = nullptr;
        level.cameraTarget = nullptr;
        level.camera = nullptr;
        level.spatialTree = nullptr;
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Members go in reverse order: the level's parts, then the objects,
    // then the renderer and the materials the meshes held.
    BenchRoot root{"kv-level-frame-bench"};
    Renderer renderer;
    std::vector<std::unique_ptr<CPGameObject>> objects;
    std::vector<std::unique_ptr<CPPlayer>> cars;
    CPLevelBranch::ObjectList list;
    CPLevelBranch tree;
    CPCamera camera;
    CPLevel level;
};

// The built demo level level1 (the player's car and three rivals) loaded
// from the build's Data tree with the mesh manager and physics, on the
// recording renderer, started outside the kernel.
class LevelOneScene {
public:
    LevelOneScene() {
        ConnectPhysicsToGameObjects();
        ConnectPhysicsToCars();
        g_WeightDiv = 1;
        data.playerName = "buggy";
        loaded = renderer.started && level.Load("level1", false, false);
        if (loaded)
            level.Start();
        g_FrameTime = 1.0f / 60;
    }
    ~LevelOneScene() {
        if (loaded)
            level.Stop();
        g_WeightDiv = 0;
        g_PhysicsServices = savedServices;
    }
    LevelOneScene(const LevelOneScene&) = delete;
    LevelOneScene& operator=(const LevelOneScene&) = delete;

    // The build's game root, the working directory while the scene lives.
    struct BuildRoot {
        BuildRoot() { std::filesystem::current_path(std::filesystem::path(KV_BUILD_DATA).parent_path()); }
        ~BuildRoot() { std::filesystem::current_path(previous); }
        BuildRoot(const BuildRoot&) = delete;
        BuildRoot& operator=(const BuildRoot&) = delete;
        const std::filesystem::path previous = std::filesystem::current_path();
    };

    BuildRoot root;
    const PhysicsServices savedServices = g_PhysicsServices;
    Renderer renderer;
    CPPhysics physics;
    AI_Task drivers;
    CPGameData data;
    CPMeshManager meshes;
    CPLevel level;
    bool loaded = false;
};

// Runs whole frames, the level's pass and the renderer's frame each timed on
// its own; the benchmark's time is the level's pass.
void RunFrames(benchmark::State& state, CPLevel& level, CPRender& render, PlatRecordingBackend& recording) {
    using Clock = std::chrono::steady_clock;
    std::chrono::duration<double> levelTime{0};
    std::chrono::duration<double> renderTime{0};
    std::size_t draws = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        level.Update();
        const Clock::time_point submitted = Clock::now();
        render.Update();
        const Clock::time_point drawn = Clock::now();
        draws = recording.GetDraws().size();
        recording.ClearCalls();
        state.SetIterationTime(std::chrono::duration<double>(submitted - start).count());
        levelTime += submitted - start;
        renderTime += drawn - submitted;
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["level_us"] = levelTime.count() * 1e6 / frames;
    state.counters["renderer_us"] = renderTime.count() * 1e6 / frames;
    state.counters["share"] = levelTime.count() / renderTime.count();
    state.counters["draws_per_frame"] = static_cast<double>(draws);
}

void RunSceneFrames(benchmark::State& state, MeshShape shape) {
    Scene scene(shape);
    if (!scene.renderer.started) {
        state.SkipWithError("the renderer did not start");
        return;
    }
    RunFrames(state, scene.level, *scene.renderer.render, scene.renderer.Recording());
}

void BM_LevelFrameOverScenery(benchmark::State& state) {
    RunSceneFrames(state, ShapeBox);
}
BENCHMARK(BM_LevelFrameOverScenery)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_LevelFrameOverSingleQuads(benchmark::State& state) {
    RunSceneFrames(state, ShapeQuad);
}
BENCHMARK(BM_LevelFrameOverSingleQuads)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_LevelFrameOfLevelOne(benchmark::State& state) {
    LevelOneScene scene;
    if (!scene.loaded) {
        state.SkipWithError("level1 did not load from the build's Data tree");
        return;
    }
    RunFrames(state, scene.level, *scene.renderer.render, scene.renderer.Recording());
}
BENCHMARK(BM_LevelFrameOfLevelOne)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
