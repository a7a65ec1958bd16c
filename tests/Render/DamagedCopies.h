#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

// Damaged versions of a file: cut at several points (down to nothing),
// random bytes of about its header's size, and the file with bytes of its
// headers overwritten at random. The same every run.
inline std::vector<std::vector<uint8_t>> DamagedCopies(const std::vector<uint8_t>& whole) {
    std::mt19937 random(7);
    std::vector<std::vector<uint8_t>> damaged;
    for (size_t cut : {size_t{0}, size_t{11}, size_t{100}, size_t{220}, whole.size() / 3, whole.size() - 5})
        damaged.emplace_back(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(cut));
    std::vector<uint8_t> noise(5000);
    for (uint8_t& byte : noise)
        byte = static_cast<uint8_t>(random());
    damaged.push_back(noise);
    std::vector<uint8_t> flipped = whole;
    for (int i = 0; i < 40; ++i)
        flipped[random() % 300] = static_cast<uint8_t>(random());
    damaged.push_back(flipped);
    return damaged;
}
