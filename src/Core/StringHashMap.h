#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <forward_list>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A map from text keys whose walking order is part of the file formats the
// engine writes (config.cfg is written by walking one):
// - the bucket count is the first size of the prime list that is at least
//   the requested count (100 gives 193) and never changes;
// - a key hashes as h = 5 * h + c over its bytes, each byte taken as a
//   signed char, in 32-bit unsigned arithmetic;
// - a new key goes to the front of its bucket;
// - a walk visits the buckets in order, each from front to back.
template <class T>
class StringHashMap {
public:
    explicit StringHashMap(std::size_t requestedBuckets = 100) : buckets(BucketCountFor(requestedBuckets)) {}

    static uint32_t Hash(std::string_view key) {
        uint32_t h = 0;
        for (const char c : key)
            h = 5 * h + static_cast<uint32_t>(static_cast<signed char>(c));
        return h;
    }

    // The value stored under the key; a missing key is added with a
    // default value.
    T& operator[](std::string_view key) {
        if (T* found = Find(key))
            return *found;
        ++count;
        return BucketOf(key).emplace_front(std::string(key), T{}).second;
    }

    T* Find(std::string_view key) {
        for (Entry& entry : BucketOf(key)) {
            if (entry.first == key)
                return &entry.second;
        }
        return nullptr;
    }
    const T* Find(std::string_view key) const { return const_cast<StringHashMap*>(this)->Find(key); }

    // Removes the key's entry; false when there was none.
    bool Erase(std::string_view key) {
        auto& bucket = BucketOf(key);
        const auto before = std::distance(bucket.begin(), bucket.end());
        bucket.remove_if([&](const Entry& entry) { return entry.first == key; });
        const bool erased = std::distance(bucket.begin(), bucket.end()) != before;
        if (erased)
            --count;
        return erased;
    }

    void Clear() {
        for (auto& bucket : buckets)
            bucket.clear();
        count = 0;
    }

    std::size_t Size() const { return count; }
    std::size_t BucketCount() const { return buckets.size(); }

    // Calls visit(key, value) for every entry in the map's order.
    template <class Visit>
    void ForEach(Visit&& visit) {
        for (auto& bucket : buckets) {
            for (Entry& entry : bucket)
                visit(entry.first, entry.second);
        }
    }
    template <class Visit>
    void ForEach(Visit&& visit) const {
        for (const auto& bucket : buckets) {
            for (const Entry& entry : bucket)
                visit(entry.first, entry.second);
        }
    }

private:
    using Entry = std::pair<std::string, T>;

    static std::size_t BucketCountFor(std::size_t requested) {
        static constexpr std::array<uint32_t, 28> kPrimes = {
            53,        97,        193,       389,       769,        1543,        3079,
            6151,      12289,     24593,     49157,     98317,      196613,      393241,
            786433,    1572869,   3145739,   6291469,   12582917,   25165843,    50331653,
            100663319, 201326611, 402653189, 805306457, 1610612741, 3221225473u, 4294967291u};
        const auto size = std::lower_bound(kPrimes.begin(), kPrimes.end(), requested);
        return size == kPrimes.end() ? kPrimes.back() : *size;
    }

    std::forward_list<Entry>& BucketOf(std::string_view key) { return buckets[Hash(key) % buckets.size()]; }

    std::vector<std::forward_list<Entry>> buckets;
    std::size_t count = 0;
};
