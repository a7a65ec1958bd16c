#include "Physics/RbNarrowPhase.h"
#include "Physics/RbQuaternion.h"
#include "Physics/RbSimulator.h"
#include "Platform/Random.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

float Random(float low, float high) {
    return low + (high - low) * PlatRand() / float(PLAT_RAND_MAX);
}

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
            body->AddGeometry()->SetBoxSize(Random(0.5f, 1.5f), Random(0.5f, 1.5f), Random(0.5f, 1.5f));
            body->UpdateBoundingInfo();
            body->SetInertiaTensor(1, 1, 1);
            body->SetPosition({Random(-half, half), Random(-half, half), Random(-half, half)});
            body->SetRotation(
                RbNormaliseQuaternion({Random(-1, 1), Random(-1, 1), Random(-1, 1), Random(-1, 1)}));
            body->SetVelocity({Random(-2, 2), Random(-2, 2), Random(-2, 2)});
            bodies.push_back(body);
        }
        world->Advance(1.0f / 60, 1, nullptr);
        for (RbRigidBody* body : bodies)
            body->SetAngularMomentum({Random(-1, 1), Random(-1, 1), Random(-1, 1)});
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
// counted through the world's allocator (the simulator allocates nothing
// else).
#include "../tests/Physics/RbTestTerrain.h"
#include "Physics/RbControllerCallback.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace {

struct CountingAllocator : RbAllocator {
    long calls = 0;
    void* Allocate(std::size_t size, int) override {
        ++calls;
        return std::malloc(size);
    }
    void Free(void* block) override { std::free(block); }
};

struct SceneWorld {
    explicit SceneWorld(const RbSizeInfo& sizes) {
        RbVector gravity(0, 0, -9.8f);
        world = RbSimulator::Create(sizes, &allocator, &gravity);
        world->SetMaterial(0, 0.2f, 0);
        world->SetMaterial(1, 0.2f, 0);
    }
    ~SceneWorld() { RbSimulator::Destroy(world); }

    CountingAllocator allocator;
    RbSimulator* world;
    RbTestTerrain terrain;
};

RbSizeInfo SceneSizes(int bodies) {
    RbSizeInfo sizes;
    sizes.rigidBodiesCount = bodies;
    sizes.geometriesCount = bodies;
    sizes.animatedBodiesCount = 1;
    sizes.rigidParticleCount = 0;
    sizes.sensorsCount = 4 * bodies;
    sizes.controllersCount = bodies;
    sizes.overlapPairsCount = 20 * bodies;
    return sizes;
}

// Steps the world warmUp times, then times each step of the benchmark loop.
void TimeSteps(benchmark::State& state, SceneWorld& scene, int warmUp) {
    for (int i = 0; i < warmUp; ++i)
        scene.world->Advance(1.0f / 60, 1, nullptr);
    std::vector<double> times;
    times.reserve(100000);
    long worldCalls = scene.allocator.calls;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        scene.world->Advance(1.0f / 60, 1, nullptr);
        auto end = std::chrono::steady_clock::now();
        if (times.size() < times.capacity())
            times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    double steps = static_cast<double>(state.iterations());
    state.counters["world allocs/step"] = static_cast<double>(scene.allocator.calls - worldCalls) / steps;
    std::sort(times.begin(), times.end());
    if (!times.empty()) {
        state.counters["median us"] = times[times.size() / 2];
        state.counters["p99 us"] = times[times.size() * 99 / 100];
    }
}

void BM_SceneFallingBoxesInArena(benchmark::State& state) {
    SceneWorld scene(SceneSizes(200));
    scene.terrain.AddFloor(8);
    float h = 8, top = 30;
    scene.terrain.AddQuad({-h, -h, 0}, {h, -h, 0}, {h, -h, top}, {-h, -h, top});
    scene.terrain.AddQuad({h, h, 0}, {-h, h, 0}, {-h, h, top}, {h, h, top});
    scene.terrain.AddQuad({h, -h, 0}, {h, h, 0}, {h, h, top}, {h, -h, top});
    scene.terrain.AddQuad({-h, h, 0}, {-h, -h, 0}, {-h, -h, top}, {-h, h, top});
    scene.terrain.Install(*scene.world);
    PlatSRand(3);
    for (int i = 0; i < 200; ++i)
        RbAddBox(*scene.world, {1, 1, 1}, 1, {Random(-6, 6), Random(-6, 6), 2 + 0.6f * i});
    TimeSteps(state, scene, 60);
}
BENCHMARK(BM_SceneFallingBoxesInArena)->Iterations(600)->Unit(benchmark::kMillisecond);

void BM_SceneRestingBoxes(benchmark::State& state) {
    SceneWorld scene(SceneSizes(500));
    scene.terrain.AddFloor(40);
    scene.terrain.Install(*scene.world);
    for (int i = 0; i < 500; ++i)
        RbAddBox(*scene.world, {1, 1, 1}, 1, {-30.0f + 2.5f * (i % 25), -30.0f + 2.5f * (i / 25), 0.5f});
    TimeSteps(state, scene, 400);
}
BENCHMARK(BM_SceneRestingBoxes)->Iterations(600)->Unit(benchmark::kMillisecond);

struct Springs : RbControllerCallback {
    void UpdateController(RbController* controller, float) override {
        RbRigidBody* body = controller->GetBody();
        RbVector force, torque;
        for (RbSensor* s = body->sensors.head; s; s = s->poolNext) {
            if (s->GetDetectDepth() <= 0)
                continue;
            RbVector u = RbRotate(s->GetLineUnitVector(), body->transform);
            RbVector lever = s->GetDetectContactPoint() - body->GetPosition();
            RbVector f = s->GetDetectNormal() * (60000 * s->GetDetectDepth()) -
                         u * (8000 * RbDot(body->GetVelocityAtPoint(lever), u)) +
                         body->transform.row[1] * 2000;
            force += f;
            torque += RbCross(lever, f);
        }
        controller->SetControllerForce(force);
        controller->SetControllerTorque(torque);
    }
};

void BM_SceneSensorCars(benchmark::State& state) {
    int cars = static_cast<int>(state.range(0));
    SceneWorld scene(SceneSizes(cars));
    scene.terrain.AddHeightfield(
        64, 64, [](float x, float y) { return 0.5f * std::sin(0.2f * x) * std::cos(0.15f * y); });
    scene.terrain.Install(*scene.world);
    Springs springs;
    for (int i = 0; i < cars; ++i) {
        RbRigidBody* car =
            RbAddBox(*scene.world, {2, 4.5f, 1}, 1200, {-50.0f + 10 * (i % 10), -40.0f + 8 * (i / 10), 2});
        for (float x : {-0.9f, 0.9f})
            for (float y : {-2.0f, 2.0f})
                car->AddSensor()->SetLineSensor({x, y, 0}, {0, 0, -1.2f});
        car->UpdateBoundingInfo();
        car->AddController(&springs, 0);
    }
    TimeSteps(state, scene, 120);
}
BENCHMARK(BM_SceneSensorCars)->Arg(8)->Arg(50)->Iterations(600)->Unit(benchmark::kMillisecond);

} // namespace
