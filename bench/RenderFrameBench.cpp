// The processor's share of one frame on the recording device: submitting a
// scene of moving meshes, batching them by material, writing them into the
// ring of buffers and drawing the batches.
#include "BenchRoot.h"
#include "Core/PSettings.h"
#include "Platform/Recording/RecordingBackend.h"
#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Render/PSceneObject.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kMaterials = 8;
constexpr int kVerticesPerMesh = 24;

// A moving object: its world matrix changes every frame.
class MovingObject : public CPSceneObject {
public:
    MovingObject() {
        D3DXMatrixIdentity(&world);
        isStatic = false;
        visualKind = VISUAL_MESH;
    }
    const D3DXMATRIX& GetWorldMatrix() const override { return world; }
    bool IsWorldChanged() const override { return true; }
    void ClearWorldChanged() override {}
    const D3DXVECTOR3& GetPosition() const override { return position; }
    const AxisAlignedBox& GetWorldBox() const override { return worldBox; }
    CPBaseRenderObject* GetVisual() const override { return mesh.get(); }
    const D3DLIGHT9* GetLight() override { return nullptr; }
    const std::string& GetName() const override { return name; }
    CPSceneObject* GetParentObject() const override { return nullptr; }
    const D3DXQUATERNION& GetOrientation() const override { return orientation; }
    D3DXVECTOR3 GetHalfSize() const override { return D3DXVECTOR3(0, 0, 0); }
    void SetTrackMatrix(const D3DXMATRIX&) override {}
    void UpdateHierarchy() override {}
    void OnAnimationEnd() override {}
    void NotifyControllerAnimationEnd() override {}
    void UpdateController() override {}
    std::size_t GetChildCount() const override { return 0; }
    CPSceneObject* GetChild(std::size_t) const override { return nullptr; }
    std::size_t GetLodCount() const override { return 1; }
    CPSceneObject* GetLod(std::size_t) const override { return nullptr; }
    size_t GetSize() const override { return sizeof(MovingObject); }
    std::string GetClassName() const override { return "MovingObject"; }

    D3DXMATRIX world;
    std::string name;
    D3DXQUATERNION orientation{0, 0, 0, 1};
    D3DXVECTOR3 position{0, 0, 0};
    AxisAlignedBox worldBox{};
    std::unique_ptr<CPRenderObject> mesh;
};

void BM_RenderFrame(benchmark::State& state) {
    const BenchRoot root("kv-render-bench");
    PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::Recording);
    auto* materials = new CPMaterialManager();
    auto* render = new CPRender();
    if (!render->Start()) {
        state.SkipWithError("the renderer did not start");
        return;
    }
    std::vector<std::unique_ptr<MovingObject>> objects;
    for (int i = 0; i < state.range(0); ++i) {
        auto object = std::make_unique<MovingObject>();
        object->mesh = std::make_unique<CPRenderObject>(object.get());
        CPRefPtr<CPMaterial> material;
        materials->GetMaterial(material, 20 + i % kMaterials, "simple.fx", {});
        object->mesh->SetMaterial(material);
        for (int k = 0; k < kVerticesPerMesh; ++k)
            object->mesh->sourceVertices.push_back(
                MeshVertex{float(k), float(k % 3), 0, 0, 0, 1, 0xffffffff, 0, 0, 0, 0, 0});
        for (int k = 0; k + 2 < kVerticesPerMesh; ++k)
            object->mesh->indices.insert(object->mesh->indices.end(),
                                         {uint16_t(0), uint16_t(k + 1), uint16_t(k + 2)});
        object->mesh->vertices = object->mesh->sourceVertices;
        objects.push_back(std::move(object));
    }
    auto& recording = static_cast<PlatRecordingBackend&>(render->GetDevice()->GetBackend());
    std::size_t draws = 0;
    float t = 0;
    for (auto _ : state) {
        t += 0.01f;
        for (const auto& object : objects) {
            D3DXMatrixTranslation(&object->world, t, 0, 0);
            render->GetRenderBlock()->AddObject(object.get());
        }
        render->Update();
        draws = recording.GetDraws().size();
        recording.ClearCalls();
    }
    state.counters["draws_per_frame"] = static_cast<double>(draws);
    state.counters["time_per_object"] =
        benchmark::Counter(static_cast<double>(state.range(0)),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    objects.clear();
    delete render;
    delete materials;
    PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::OpenGL);
}
BENCHMARK(BM_RenderFrame)->Arg(100)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond);

} // namespace
