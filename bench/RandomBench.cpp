#include "Platform/Random.h"

#include <benchmark/benchmark.h>

static void BM_PlatRand(benchmark::State& state) {
    PlatSRand(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(PlatRand());
}
BENCHMARK(BM_PlatRand);
