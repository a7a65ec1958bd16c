#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {

bool g_Counting = false;
long g_Allocations = 0;

} // namespace

void CountAllocations(bool on) {
    if (on)
        g_Allocations = 0;
    g_Counting = on;
}

long AllocationCount() {
    return g_Allocations;
}

void* operator new(std::size_t size) {
    if (g_Counting)
        ++g_Allocations;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
