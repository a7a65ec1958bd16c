#include "Platform/D3DX9Math.h"

#include <benchmark/benchmark.h>

#include <vector>

static void BM_MatrixMultiply(benchmark::State& state) {
    D3DXMATRIX a, b, out;
    D3DXMatrixRotationYawPitchRoll(&a, 0.3f, 0.2f, 0.1f);
    D3DXMatrixTranslation(&b, 1, 2, 3);
    for (auto _ : state) {
        D3DXMatrixMultiply(&out, &a, &b);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MatrixMultiply);

static void BM_MatrixInverse(benchmark::State& state) {
    D3DXMATRIX m, out;
    D3DXMatrixRotationYawPitchRoll(&m, 0.3f, 0.2f, 0.1f);
    m._41 = 5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(D3DXMatrixInverse(&out, nullptr, &m));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MatrixInverse);

// Positions inside 48-byte vertex records, as the mesh code transforms them.
static void BM_TransformCoordArray(benchmark::State& state) {
    struct Vertex {
        D3DXVECTOR3 position;
        float rest[9];
    };
    std::vector<Vertex> vertices(static_cast<size_t>(state.range(0)));
    for (size_t i = 0; i < vertices.size(); ++i)
        vertices[i].position = {static_cast<float>(i), 1, 2};
    std::vector<D3DXVECTOR3> out(vertices.size());
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, 1, 4.0f / 3, 1, 1000);
    for (auto _ : state) {
        D3DXVec3TransformCoordArray(out.data(), sizeof(D3DXVECTOR3), &vertices[0].position, sizeof(Vertex),
                                    &m, static_cast<unsigned int>(vertices.size()));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TransformCoordArray)->Arg(1024)->Arg(20000);
