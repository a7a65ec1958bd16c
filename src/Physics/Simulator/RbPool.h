#pragma once

#include "Physics/Simulator/RbDefaultAllocator.h"
#include "Physics/Simulator/RbList.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

// A fixed-capacity pool of T, filled once from one block and never grown.
// T ends with the links poolNext, poolPrev and the flag inUse; the links chain
// a free element into the free list and an element in use into its owner's
// list. Take pops the head of the free list and Return pushes it, so elements
// are reused last in, first out.
template <class T>
class RbPool {
public:
    RbPool() = default;
    ~RbPool() { Release(); }
    RbPool(const RbPool&) = delete;
    RbPool& operator=(const RbPool&) = delete;

    // Frees any block held, then builds count elements, all free. A negative
    // count, a size overflow or a failed allocation leave the pool empty and
    // give false; count 0 gives an empty pool and true.
    bool Reserve(int count, RbAllocator* with = nullptr) {
        Release();
        if (count < 0)
            return false;
        if (count == 0)
            return true;
        if (with)
            allocator = with;
        std::size_t bytes = 0;
        if (__builtin_mul_overflow(static_cast<std::size_t>(count), sizeof(T), &bytes) ||
            __builtin_add_overflow(bytes, HeaderSize, &bytes))
            return false;
        auto* block = static_cast<unsigned char*>(allocator->Allocate(bytes, 0));
        if (!block)
            return false;
        std::int32_t header = count;
        std::memcpy(block, &header, sizeof(header));
        elements = reinterpret_cast<T*>(block + HeaderSize);
        capacity = count;
        for (int i = 0; i < count; ++i) {
            new (&elements[i]) T();
            freeList.Append(&elements[i]);
        }
        return true;
    }

    void Release() {
        if (elements) {
            std::destroy_n(elements, capacity);
            allocator->Free(reinterpret_cast<unsigned char*>(elements) - HeaderSize);
        }
        elements = nullptr;
        freeList = {};
        capacity = 0;
    }

    // One free element marked in use with cleared links, or null when exhausted.
    T* Take() {
        T* e = freeList.head;
        if (!e)
            return nullptr;
        freeList.Remove(e);
        e->inUse = 1;
        return e;
    }

    // Puts an element in use back at the head of the free list. The owner
    // takes it off its own list first. Elements of other pools and elements
    // already free are refused, so a double return cannot corrupt the free
    // list.
    void Return(T* e) {
        if (IndexOf(e) < 0 || !e->inUse)
            return;
        e->inUse = 0;
        freeList.PushFront(e);
    }

    // Slot number of a pointer, or -1 when it is not the start of an element
    // of this pool's block. Compares addresses only; never dereferences.
    int IndexOf(const void* p) const {
        auto address = reinterpret_cast<std::uintptr_t>(p);
        auto first = reinterpret_cast<std::uintptr_t>(elements);
        if (!elements || address < first)
            return -1;
        std::uintptr_t offset = address - first;
        if (offset % sizeof(T) != 0 || offset / sizeof(T) >= static_cast<std::uintptr_t>(capacity))
            return -1;
        return static_cast<int>(offset / sizeof(T));
    }

    T* At(int index) { return &elements[index]; }
    int Capacity() const { return capacity; }
    int FreeCount() const { return freeList.count; }
    int UsedCount() const { return capacity - freeList.count; }
    const T* FreeHead() const { return freeList.head; }
    const T* FreeTail() const { return freeList.tail; }
    RbDefaultAllocator& DefaultAllocator() { return defaultAllocator; }

    // The block starts with the element count, padded so that the elements
    // that follow keep their alignment.
    static constexpr std::size_t HeaderSize = alignof(T) > 4 ? alignof(T) : 4;

private:
    T* elements = nullptr;
    RbList<T> freeList;
    int capacity = 0;
    RbDefaultAllocator defaultAllocator;
    RbAllocator* allocator = &defaultAllocator;
};
