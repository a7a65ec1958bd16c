// The level's per-frame searches against the brute-force alternatives they
// replace: the nearest track-line piece from the last one found against a
// scan of the ring, culling through the spatial tree against a frustum test
// per object, and a short ray through the tree against testing every object.
#include "Core/PFileReader.h"
#include "Core/PSettings.h"
#include "Game/PLevelBranch.h"
#include "Game/PSpline.h"
#include "Game/RayQuery.h"
#include "Render/PPerspectiveCamera.h"
#include "leveltool/LevelWriter.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// A circle sampled into about 2,000 pieces.
constexpr float kRingRadius = 4055.0f;
constexpr int kGridSide = 100;
constexpr float kGridSpacing = 20.0f;

std::unique_ptr<CPSpline> MakeRing() {
    std::vector<uint8_t> bytes;
    WriteTrackLine(bytes, {"c_path", true, CircleSegments({0, 0, 0}, kRingRadius, false)});
    CPFileReader reader("memory", false);
    reader.SetData(std::move(bytes));
    auto spline = std::make_unique<CPSpline>();
    if (!spline->Load(reader))
        return nullptr;
    return spline;
}

// Points a car passes along the ring, one per frame.
std::vector<D3DXVECTOR3> Route() {
    std::vector<D3DXVECTOR3> points;
    for (int i = 0; i < 4096; ++i) {
        const float angle = static_cast<float>(i) * 2 * D3DX_PI / 4096;
        points.emplace_back((kRingRadius + 3) * std::cos(angle), (kRingRadius + 3) * std::sin(angle), 0);
    }
    return points;
}

void BM_FindClosestLineFromTheLastPiece(benchmark::State& state) {
    const std::unique_ptr<CPSpline> ring = MakeRing();
    const std::vector<D3DXVECTOR3> route = Route();
    CPLine* last = ring->firstLine;
    std::size_t frame = 0;
    for (auto _ : state) {
        float radius = 40;
        benchmark::DoNotOptimize(ring->FindClosestLine(route[frame++ % route.size()], radius, 1, last));
    }
    state.counters["pieces"] = static_cast<double>(ring->lines.size() - 1);
}
BENCHMARK(BM_FindClosestLineFromTheLastPiece);

void BM_ScanTheRingForTheNearestPiece(benchmark::State& state) {
    const std::unique_ptr<CPSpline> ring = MakeRing();
    const std::vector<D3DXVECTOR3> route = Route();
    std::size_t frame = 0;
    for (auto _ : state) {
        const D3DXVECTOR3& point = route[frame++ % route.size()];
        const CPLine* nearest = nullptr;
        float best = 1e30f;
        for (const auto& piece : ring->lines) {
            const float dx = piece->centre.x - point.x;
            const float dy = piece->centre.y - point.y;
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                nearest = piece.get();
            }
        }
        benchmark::DoNotOptimize(nearest);
    }
}
BENCHMARK(BM_ScanTheRingForTheNearestPiece);

// Static objects on a 100 x 100 grid 20 units apart, in a built tree.
class Scenery {
public:
    Scenery() {
        for (int y = 0; y < kGridSide; ++y) {
            for (int x = 0; x < kGridSide; ++x) {
                auto object = std::make_unique<CPGameObject>("scenery");
                object->boundingBox = BoundingBox(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(2, 2, 2));
                object->partBoxes = {object->boundingBox};
                object->castsShadow = false;
                object->SetPosition(D3DXVECTOR3(static_cast<float>(x), static_cast<float>(y), 0) *
                                    kGridSpacing);
                object->UpdateHierarchy();
                list.emplace_back(object.get());
                owned.push_back(std::move(object));
            }
        }
        tree.SetObjects(list);
        tree.Build();
        camera.eye = D3DXVECTOR3(1000, 1000, 5);
        camera.target = D3DXVECTOR3(1001, 1000, 5);
        camera.fov = 1.0f;
        camera.nearPlane = 1;
        camera.farPlane = 200;
        camera.viewDirty = camera.projectionDirty = true;
        camera.UpdateMatrices();
    }

    std::vector<std::unique_ptr<CPGameObject>> owned;
    CPLevelBranch::ObjectList list;
    CPLevelBranch tree;
    CPPerspectiveCamera camera;
};

void BM_CullVisibleThroughTheTree(benchmark::State& state) {
    Scenery scenery;
    const CPRefPtr<CPPerspectiveCamera> camera(&scenery.camera);
    for (auto _ : state)
        scenery.tree.CullVisible(camera);
}
BENCHMARK(BM_CullVisibleThroughTheTree);

// The same view turned to sixteen headings in turn: culling should not favour
// the grid's axes.
void BM_CullVisibleFromSixteenHeadings(benchmark::State& state) {
    Scenery scenery;
    constexpr int kHeadings = 16;
    std::vector<std::unique_ptr<CPPerspectiveCamera>> cameras;
    for (int i = 0; i < kHeadings; ++i) {
        const float angle = static_cast<float>(i) * 6.2831853f / kHeadings + 0.1f;
        auto& camera = *cameras.emplace_back(std::make_unique<CPPerspectiveCamera>());
        camera.eye = scenery.camera.eye;
        camera.target = camera.eye + D3DXVECTOR3(std::cos(angle), std::sin(angle), 0);
        camera.fov = scenery.camera.fov;
        camera.nearPlane = scenery.camera.nearPlane;
        camera.farPlane = scenery.camera.farPlane;
        camera.viewDirty = camera.projectionDirty = true;
        camera.UpdateMatrices();
    }
    std::vector<CPRefPtr<CPPerspectiveCamera>> views;
    for (const auto& camera : cameras)
        views.emplace_back(camera.get());
    std::size_t frame = 0;
    for (auto _ : state)
        scenery.tree.CullVisible(views[frame++ % kHeadings]);
}
BENCHMARK(BM_CullVisibleFromSixteenHeadings);

void BM_FrustumTestPerObject(benchmark::State& state) {
    Scenery scenery;
    const CPRefPtr<CPPerspectiveCamera> camera(&scenery.camera);
    for (auto _ : state) {
        int visible = 0;
        for (const CPRefPtr<CPGameObject>& object : scenery.list)
            visible += IsBoxInFrustum(camera, object->bounds.min, object->bounds.max) ? 1 : 0;
        benchmark::DoNotOptimize(visible);
    }
}
BENCHMARK(BM_FrustumTestPerObject);

RayQuery ShortRay() {
    RayQuery query;
    query.origin = D3DXVECTOR3(995, 1003, 1);
    query.direction = D3DXVECTOR3(1, 0, 0);
    query.length = 50;
    return query;
}

void BM_RayTestThroughTheTree(benchmark::State& state) {
    Scenery scenery;
    for (auto _ : state) {
        RayQuery query = ShortRay();
        benchmark::DoNotOptimize(scenery.tree.RayTest(query));
    }
}
BENCHMARK(BM_RayTestThroughTheTree);

void BM_RayTestEveryObject(benchmark::State& state) {
    Scenery scenery;
    for (auto _ : state) {
        RayQuery query = ShortRay();
        bool hit = false;
        for (const CPRefPtr<CPGameObject>& object : scenery.list)
            hit = object->RayTest(query) || hit;
        benchmark::DoNotOptimize(hit);
    }
}
BENCHMARK(BM_RayTestEveryObject);

} // namespace
