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
