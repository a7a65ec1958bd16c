#pragma once

#include "Physics/Simulator/RbAllocator.h"

#include <cstddef>
#include <cstring>
#include <type_traits>

// A buffer of trivially copyable records in memory from an RbAllocator.
// When full it grows by growStep records (a new block, the records copied, the
// old block freed); a grow step of 0 keeps the capacity fixed.
template <class T>
class RbArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    RbArray() = default;
    ~RbArray() { Release(); }
    RbArray(const RbArray&) = delete;
    RbArray& operator=(const RbArray&) = delete;

    bool Init(RbAllocator* with, std::size_t initialCapacity, std::size_t step) {
        Release();
        allocator = with;
        growStep = step;
        return Reallocate(initialCapacity);
    }

    // A fixed capacity of all-zero records, every one counted.
    bool InitZeroed(RbAllocator* with, std::size_t records) {
        Release();
        allocator = with;
        growStep = 0;
        std::size_t bytes = 0;
        if (records == 0)
            return true;
        if (!allocator || __builtin_mul_overflow(records, sizeof(T), &bytes))
            return false;
        data = static_cast<T*>(allocator->AllocateZeroed(bytes));
        if (!data)
            return false;
        count = capacity = records;
        return true;
    }

    // False when the array is full and cannot grow; the record is then dropped.
    bool Append(const T& value) {
        if (count == capacity && (growStep == 0 || !Reallocate(capacity + growStep)))
            return false;
        data[count++] = value;
        return true;
    }

    // Makes room for at least n records, growing by whole grow steps. False
    // when it cannot.
    bool Reserve(std::size_t n) {
        if (n <= capacity)
            return true;
        if (growStep == 0)
            return false;
        return Reallocate(capacity + (n - capacity + growStep - 1) / growStep * growStep);
    }

    // Counts the first n records, written through begin() into reserved
    // room; at most the capacity.
    void SetCount(std::size_t n) { count = n < capacity ? n : capacity; }

    void Clear() { count = 0; }
    void Truncate(std::size_t newCount) { count = newCount < count ? newCount : count; }

    void Release() {
        if (data)
            allocator->Free(data);
        data = nullptr;
        count = capacity = 0;
    }

    T& operator[](std::size_t i) { return data[i]; }
    const T& operator[](std::size_t i) const { return data[i]; }
    std::size_t Count() const { return count; }
    std::size_t Capacity() const { return capacity; }
    T* begin() { return data; }
    T* end() { return data + count; }

private:
    bool Reallocate(std::size_t newCapacity) {
        if (newCapacity == 0)
            return true;
        std::size_t bytes = 0;
        if (!allocator || __builtin_mul_overflow(newCapacity, sizeof(T), &bytes))
            return false;
        T* block = static_cast<T*>(allocator->Allocate(bytes, 0));
        if (!block)
            return false;
        if (count)
            std::memcpy(static_cast<void*>(block), data, count * sizeof(T));
        if (data)
            allocator->Free(data);
        data = block;
        capacity = newCapacity;
        return true;
    }

    T* data = nullptr;
    std::size_t count = 0;
    std::size_t capacity = 0;
    std::size_t growStep = 0;
    RbAllocator* allocator = nullptr;
};
