// One frame of particle work, update and fill, for 20,000 particles in 10
// types, against a baseline doing the same arithmetic on one contiguous
// array of plain records. Both report particles per millisecond; the goal
// is at least half the baseline's rate in the same run.
#include "Core/PGlobalTimer.h"
#include "Particles/PParticlesManager.h"
#include "Platform/D3DX9Math.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kTypes = 10;
constexpr int kParticles = 20000;
constexpr float kFrame = 0.001f;

void CountParticles(benchmark::State& state) {
    state.counters["particles_per_ms"] = benchmark::Counter(static_cast<double>(kParticles) / 1000.0,
                                                            benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ParticleTypesUpdateAndFill(benchmark::State& state) {
    CPParticlesManager manager;
    std::vector<CPParticleRenderObject*> types;
    for (int t = 0; t < kTypes; ++t) {
        auto& slot = manager.particleTypes["type" + std::to_string(t)];
        slot = std::make_unique<CPParticleRenderObject>();
        types.push_back(slot.get());
    }
    for (int i = 0; i < kParticles; ++i) {
        ParticleDesc desc;
        desc.typeName = "type" + std::to_string(i % kTypes);
        desc.position = D3DXVECTOR3(static_cast<float>(i % 100), static_cast<float>(i / 100), 0);
        desc.velocity = D3DXVECTOR3(0.1f, 0.2f, 0.3f);
        desc.acceleration = D3DXVECTOR3(0, 0, -0.5f);
        desc.size = 0.5f;
        desc.growth = 0.01f;
        desc.lifetime = 1.0e9f;
        desc.fade = true;
        manager.Spawn(desc);
    }
    g_FrameTime = kFrame;
    std::vector<MeshVertex> vertices(4 * kParticles / kTypes);
    std::vector<uint16_t> indices(6 * kParticles / kTypes);
    for (auto _ : state) {
        manager.Update();
        for (CPParticleRenderObject* type : types)
            type->Fill(vertices.data(), indices.data(), 0, 0);
        benchmark::DoNotOptimize(vertices.data());
    }
    CountParticles(state);
}
BENCHMARK(BM_ParticleTypesUpdateAndFill);

struct PlainParticle {
    D3DXVECTOR3 position, velocity, acceleration;
    float size, growth, age, lifetime;
};

void BM_ContiguousBaseline(benchmark::State& state) {
    std::vector<PlainParticle> particles(kParticles);
    for (int i = 0; i < kParticles; ++i)
        particles[i] = {{static_cast<float>(i % 100), static_cast<float>(i / 100), 0},
                        {0.1f, 0.2f, 0.3f},
                        {0, 0, -0.5f},
                        0.5f,
                        0.01f,
                        0,
                        1.0e9f};
    std::vector<MeshVertex> vertices(4 * kParticles);
    std::vector<uint16_t> indices(6 * kParticles);
    const D3DXVECTOR3 right(1, 0, 0), up(0, 1, 0);
    for (auto _ : state) {
        // Two passes, as the engine's frame has: the update, then the fill.
        for (PlainParticle& p : particles) {
            p.velocity += p.acceleration * kFrame;
            p.position += p.velocity * kFrame;
            p.size += p.growth * kFrame;
            p.age += kFrame;
        }
        for (std::size_t i = 0; i < particles.size(); ++i) {
            const PlainParticle& p = particles[i];
            const float s = p.size + p.growth * p.age;
            const auto alpha =
                static_cast<DWORD>(static_cast<int>((p.lifetime - p.age) * 256 / p.lifetime)) & 0xFF;
            const float xs[4] = {-s, s, s, -s};
            const float ys[4] = {-s, -s, s, s};
            for (int k = 0; k < 4; ++k) {
                const D3DXVECTOR3 corner = p.position + right * xs[k] + up * ys[k];
                vertices[4 * i + k] =
                    MeshVertex{corner.x, corner.y, corner.z, 0, 0, 1, alpha << 24 | 0xFFFFFF, 0, 0, 0, 0, 0};
            }
            const int order[6] = {0, 2, 1, 0, 3, 2};
            for (int k = 0; k < 6; ++k)
                indices[6 * i + k] = static_cast<uint16_t>(4 * i + order[k]);
        }
        benchmark::DoNotOptimize(vertices.data());
    }
    CountParticles(state);
}
BENCHMARK(BM_ContiguousBaseline);

} // namespace
