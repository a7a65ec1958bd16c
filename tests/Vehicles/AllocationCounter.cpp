#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {

bool g_Counting = false;
long g_Allocations = 0;

void* Allocate(std::size_t size) noexcept {
    if (g_Counting)
        ++g_Allocations;
    return std::malloc(size ? size : 1);
}

} // namespace

void CountAllocations(bool on) {
    if (on)
        g_Allocations = 0;
    g_Counting = on;
}

long AllocationCount() {
    return g_Allocations;
}

// Every unaligned form of new and delete goes through malloc and free, so that
// none of them is paired with another allocator's.
void* operator new(std::size_t size) {
    if (void* block = Allocate(size))
        return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
