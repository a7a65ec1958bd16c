#include "Platform/Random.h"

#include <cstdint>

namespace {
uint32_t g_RandState = 1;
}

void PlatSRand(unsigned int seed) {
    g_RandState = seed;
}

int PlatRand() {
    g_RandState = g_RandState * 214013u + 2531011u;
    return static_cast<int>((g_RandState >> 16) & 0x7FFF);
}
