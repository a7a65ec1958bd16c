#include "Support/AllocationCounter.h"

#include <atomic>

#include <cstdlib>
#include <new>

namespace {

// Only the counting thread counts: others (a driver's, the sound mixer's)
// allocate on their own schedule.
thread_local bool t_Counting = false;
std::atomic<long> g_Allocations{0};

void* Allocate(std::size_t size) noexcept {
    if (t_Counting)
        g_Allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}

} // namespace

void CountAllocations(bool on) {
    if (on)
        g_Allocations.store(0, std::memory_order_relaxed);
    t_Counting = on;
}

long AllocationCount() {
    return g_Allocations.load(std::memory_order_relaxed);
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
