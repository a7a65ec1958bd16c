// The level's ray and sphere queries over 5,000 scenery objects in the
// spatial tree against testing every object, in the same run.
#include "Core/PSettings.h"
#include "Game/PLevel.h"
#include "Game/PLevelBranch.h"
#include "Game/RayQuery.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kSide = 71;
constexpr float kSpacing = 20.0f;

// About 5,000 boxed objects on a grid and a level whose tree holds them.
struct Scene {
    Scene() {
        for (int i = 0; i < kSide * kSide; ++i) {
            auto object = std::make_unique<CPGameObject>("box");
            object->partBoxes.emplace_back(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1));
            object->SetPosition(
                {kSpacing * static_cast<float>(i % kSide), kSpacing * static_cast<float>(i / kSide), 0});
            object->UpdateHierarchy();
            list.push_back(object.get());
            objects.push_back(std::move(object));
        }
        tree.SetObjects(list);
        tree.Build();
        level.spatialTree = &tree;
    }
    ~Scene() {
        level.spatialTree = nullptr;
        list.clear();
    }

    std::vector<std::unique_ptr<CPGameObject>> objects;
    CPLevelBranch::ObjectList list;
    CPLevelBranch tree;
    CPLevel level;
};

using Found = std::vector<CPRefPtr<CPGameObject>>;
constexpr float kSphereRadius = 15.0f;

// A 50-unit ray along +y starting in the next column of the grid each time.
template <class Cast>
void Rays(benchmark::State& state, Cast&& cast) {
    Scene scene;
    int frame = 0;
    for (auto _ : state) {
        RayQuery query;
        query.origin = {kSpacing * static_cast<float>(frame++ % kSide), 5.0f, 0};
        query.direction = {0, 1, 0};
        query.length = 50;
        benchmark::DoNotOptimize(cast(scene, query));
    }
}

// A sphere centred in the next column of the grid each time.
template <class Query>
void Spheres(benchmark::State& state, Query&& query) {
    Scene scene;
    int frame = 0;
    Found found;
    for (auto _ : state) {
        found.clear();
        query(scene, D3DXVECTOR3(kSpacing * static_cast<float>(frame++ % kSide), 100, 0), found);
        benchmark::DoNotOptimize(found.size());
    }
}

void BM_CrossRayThroughTheTree(benchmark::State& state) {
    Rays(state, [](Scene& scene, RayQuery& query) { return scene.level.CrossRay(query); });
}
BENCHMARK(BM_CrossRayThroughTheTree);

void BM_RayAgainstEveryObject(benchmark::State& state) {
    Rays(state, [](Scene& scene, RayQuery& query) {
        bool hit = false;
        for (const CPRefPtr<CPGameObject>& object : scene.list)
            hit = object->RayTest(query) || hit;
        return hit;
    });
}
BENCHMARK(BM_RayAgainstEveryObject);

void BM_QuerySphereThroughTheTree(benchmark::State& state) {
    Spheres(state, [](Scene& scene, const D3DXVECTOR3& centre, Found& found) {
        scene.level.QuerySphere(centre, kSphereRadius, found);
    });
}
BENCHMARK(BM_QuerySphereThroughTheTree);

void BM_SphereAgainstEveryObject(benchmark::State& state) {
    Spheres(state, [](Scene& scene, const D3DXVECTOR3& centre, Found& found) {
        for (const CPRefPtr<CPGameObject>& object : scene.list) {
            if (object->partsBounds.IntersectsSphere(centre, kSphereRadius))
                found.push_back(object);
        }
    });
}
BENCHMARK(BM_SphereAgainstEveryObject);

} // namespace
