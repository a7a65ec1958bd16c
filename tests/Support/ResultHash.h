#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A 64-bit FNV-1a hash of results, for tests that pin a computation down to
// the bit: any change of a float's bits changes the value.
class ResultHash {
public:
    void AddBytes(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t k = 0; k < size; ++k) {
            value ^= bytes[k];
            value *= 0x100000001b3ULL;
        }
    }
    template <class T>
    void Add(const T& plain) {
        AddBytes(&plain, sizeof(plain));
    }
    void AddFloats(const float* values, std::size_t count) { AddBytes(values, count * sizeof(float)); }
    void AddText(const std::string& text) { AddBytes(text.data(), text.size() + 1); }
    template <class T>
    void AddAll(const std::vector<T>& values) {
        Add(values.size());
        AddBytes(values.data(), values.size() * sizeof(T));
    }

    std::uint64_t Value() const { return value; }

private:
    std::uint64_t value = 0xcbf29ce484222325ULL;
};
