// A frame of 1,000 flying tracers (each casts its step through the level and
// moves) against the same 1,000 rays cast straight through
// CPLevel::CrossRay, in the same run: the tracers should cost at most twice
// the bare rays. The scene is a ring of 720 boxes of radius 100 in the
// level's spatial tree; the tracers fly outward from radius 50, slowly
// enough never to reach it while the benchmark runs.
#include "Core/PGlobalTimer.h"
#include "Game/PLevel.h"
#include "Game/PLevelBranch.h"
#include "Game/RayQuery.h"
#include "Vehicles/PShotSpawner.h"
#include "Vehicles/ShotTable.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRingBoxes = 720;
constexpr float kRingRadius = 100.0f;
constexpr int kTracers = 1000;
constexpr float kStartRadius = 50.0f;
constexpr float kFrame = 1.0f / 60.0f;
// Speed 0.06 at 60 frames a second: a thousandth of a unit a frame.
constexpr float kSpeed = 0.06f;

D3DXVECTOR3 Outward(int k, int count) {
    const float angle = 2 * std::numbers::pi_v<float> * static_cast<float>(k) / static_cast<float>(count);
    return {std::cos(angle), std::sin(angle), 0};
}

struct Ring {
    Ring() {
        for (int k = 0; k < kRingBoxes; ++k) {
            auto object = std::make_unique<CPGameObject>("wall");
            object->partBoxes.emplace_back(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0.5f, 0.5f, 2));
            object->SetPosition(Outward(k, kRingBoxes) * kRingRadius);
            object->UpdateHierarchy();
            list.push_back(object.get());
            objects.push_back(std::move(object));
        }
        tree.SetObjects(list);
        tree.Build();
        level.spatialTree = &tree;
        g_FrameTime = kFrame;
    }
    ~Ring() {
        level.spatialTree = nullptr;
        list.clear();
        g_FrameTime = 0;
    }

    std::vector<std::unique_ptr<CPGameObject>> objects;
    CPLevelBranch::ObjectList list;
    CPLevelBranch tree;
    CPLevel level;
};

void BM_ThousandTracersAFrame(benchmark::State& state) {
    Ring ring;
    CPShotSpawner spawner;
    const std::string row = "tracer;tracer;1;100000;5;;spark.tga;particle_add.fx;103;0.05;2;none\n";
    TextProblems problems;
    ShotTable::Fill(row.data(), row.size(), spawner, problems);
    for (int k = 0; k < kTracers; ++k)
        spawner.Spawn("tracer", Outward(k, kTracers) * kStartRadius, Outward(k, kTracers), kSpeed, nullptr);
    for (auto _ : state) {
        spawner.Update();
        benchmark::DoNotOptimize(spawner.GetActiveShots().size());
    }
    state.counters["tracers"] = static_cast<double>(spawner.GetActiveShots().size());
}
BENCHMARK(BM_ThousandTracersAFrame);

void BM_TheSameRaysThroughCrossRay(benchmark::State& state) {
    Ring ring;
    for (auto _ : state) {
        for (int k = 0; k < kTracers; ++k) {
            RayQuery query;
            query.direction = Outward(k, kTracers);
            query.origin = query.direction * kStartRadius;
            query.length = kSpeed * kFrame;
            benchmark::DoNotOptimize(ring.level.CrossRay(query));
        }
    }
}
BENCHMARK(BM_TheSameRaysThroughCrossRay);

} // namespace
