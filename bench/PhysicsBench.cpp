#include "Physics/Simulator/RbNarrowPhase.h"
#include "Physics/Simulator/RbQuaternion.h"
#include "Physics/Simulator/RbSimulator.h"
#include "PhysicsScenes.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// Boxes drifting in a closed arena, turned at random, bouncing off its walls.
struct Arena {
    explicit Arena(int count) {
        RbSizeInfo sizes;
        sizes.rigidBodiesCount = count;
        sizes.geometriesCount = count;
        sizes.overlapPairsCount = 20 * count;
        world = RbSimulator::Create(sizes, nullptr, nullptr);
        half = std::cbrt(static_cast<float>(count)) * 0.9f;
        PlatSRand(1);
        for (int i = 0; i < count; ++i) {
            RbRigidBody* body = world->CreateRigidBody();
            body->AddGeometry()->SetBoxSize(SceneRandom(0.5f, 1.5f), SceneRandom(0.5f, 1.5f),
                                            SceneRandom(0.5f, 1.5f));
            body->UpdateBoundingInfo();
            body->SetInertiaTensor(1, 1, 1);
            body->SetPosition({SceneRandom(-half, half), SceneRandom(-half, half), SceneRandom(-half, half)});
            body->SetRotation(RbNormaliseQuaternion(
                {SceneRandom(-1, 1), SceneRandom(-1, 1), SceneRandom(-1, 1), SceneRandom(-1, 1)}));
            body->SetVelocity({SceneRandom(-2, 2), SceneRandom(-2, 2), SceneRandom(-2, 2)});
            bodies.push_back(body);
        }
        world->Advance(1.0f / 60, 1, nullptr);
        for (RbRigidBody* body : bodies)
            body->SetAngularMomentum({SceneRandom(-1, 1), SceneRandom(-1, 1), SceneRandom(-1, 1)});
    }
    ~Arena() { RbSimulator::Destroy(world); }

    void Bounce() {
        for (RbRigidBody* body : bodies) {
            RbVector p = body->GetPosition();
            RbVector v = body->GetVelocity();
            bool turned = false;
            for (int k = 0; k < 3; ++k) {
                if ((p[k] > half && v[k] > 0) || (p[k] < -half && v[k] < 0)) {
                    v[k] = -v[k];
                    turned = true;
                }
            }
            if (turned)
                body->SetVelocity(v);
        }
    }

    // The narrow phase over every overlapping pair; returns the contact count.
    int TestPairs() {
        int contacts = 0;
        for (const RbOverlapPair* pair = world->Region().ActivePairs().head; pair; pair = pair->poolNext) {
            RbCollisionResult result;
            RbTestGeometries(result, pair->bodyA, pair->bodyA->WorldTransform(), pair->bodyB,
                             pair->bodyB->WorldTransform(), {});
            contacts += result.hasContact;
        }
        return contacts;
    }

    RbSimulator* world;
    std::vector<RbRigidBody*> bodies;
    float half;
};

void BM_StepBoxes(benchmark::State& state) {
    Arena arena(static_cast<int>(state.range(0)));
    long contacts = 0, pairs = 0;
    for (auto _ : state) {
        arena.Bounce();
        arena.world->Advance(1.0f / 60, 1, nullptr);
        contacts += arena.TestPairs();
        pairs += arena.world->Region().ActivePairs().count;
    }
    state.counters["pairs/step"] =
        benchmark::Counter(static_cast<double>(pairs), benchmark::Counter::kAvgIterations);
    state.counters["contacts/step"] =
        benchmark::Counter(static_cast<double>(contacts), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StepBoxes)->Arg(100)->Arg(300)->Arg(500)->Unit(benchmark::kMicrosecond);

void BM_BoxBoxTest(benchmark::State& state) {
    RbGeometry a, b;
    a.SetBoxSize(1, 2, 0.5f);
    b.SetBoxSize(1.5f, 0.7f, 1);
    RbMatrix4 ta, tb;
    RbMatrix3 ra = RbQuaternionToRotation(RbNormaliseQuaternion({0.2f, 0.4f, 0.1f, 0.9f}));
    RbMatrix3 rb = RbQuaternionToRotation(RbNormaliseQuaternion({-0.5f, 0.1f, 0.3f, 0.6f}));
    for (int i = 0; i < 3; ++i) {
        ta.row[i] = ra.row[i];
        tb.row[i] = rb.row[i];
    }
    tb.SetPosition({0.8f, 0.4f, 0.5f});
    RbCollisionResult result;
    for (auto _ : state) {
        RbBoxBoxTest(result, a, ta, b, tb);
        benchmark::DoNotOptimize(result.depth);
    }
}
BENCHMARK(BM_BoxBoxTest);

} // namespace

// Whole-world scenes on terrain served through the terrain query: time per
// step (median and 99th percentile) and allocations per step after warm-up,
// counted through the world's allocator.
#include "RbSceneWorld.h"

#include <algorithm>
#include <chrono>

namespace {

// Steps the scene's warm-up, then times each step of the benchmark loop.
void TimeSteps(benchmark::State& state, const PhysicsScene& scene, SceneQuery query = SceneQuery::Helper) {
    RbSceneWorld loaded(scene, query);
    for (int i = 0; i < scene.warmUpSteps; ++i)
        loaded.Step();
    std::vector<double> times;
    times.reserve(100000);
    long worldCalls = loaded.allocator.calls;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        loaded.Step();
        auto end = std::chrono::steady_clock::now();
        if (times.size() < times.capacity())
            times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    double steps = static_cast<double>(state.iterations());
    state.counters["world allocs/step"] = static_cast<double>(loaded.allocator.calls - worldCalls) / steps;
    std::sort(times.begin(), times.end());
    if (!times.empty()) {
        state.counters["median us"] = times[times.size() / 2];
        state.counters["p99 us"] = times[times.size() * 99 / 100];
    }
}

void BM_SceneFallingBoxesInArena(benchmark::State& state) {
    TimeSteps(state, FallingBoxesScene());
}
BENCHMARK(BM_SceneFallingBoxesInArena)->Iterations(600)->Unit(benchmark::kMillisecond);

void BM_SceneRestingBoxes(benchmark::State& state) {
    TimeSteps(state, RestingBoxesScene());
}
BENCHMARK(BM_SceneRestingBoxes)->Iterations(600)->Unit(benchmark::kMillisecond);

void BM_SceneSensorCars(benchmark::State& state) {
    TimeSteps(state, SensorCarsScene(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_SceneSensorCars)->Arg(8)->Arg(50)->Iterations(600)->Unit(benchmark::kMillisecond);

// The same cars on the terrain the game's grid serves: several times as many
// candidate triangles per query.
void BM_SceneSensorCarsOnGameGrid(benchmark::State& state) {
    TimeSteps(state, SensorCarsScene(static_cast<int>(state.range(0))), SceneQuery::GameGrid);
}
BENCHMARK(BM_SceneSensorCarsOnGameGrid)->Arg(8)->Arg(50)->Iterations(600)->Unit(benchmark::kMillisecond);

} // namespace
