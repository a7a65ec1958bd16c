#pragma once

#include <cstdint>
#include <string>
#include <tuple>

// One line of a record table: a name and three results, compared in order;
// smaller is better.
struct ScoreLine {
    std::string name;
    int32_t a = 999;
    int32_t b = 0;
    int32_t c = 0;

    // True when this line is strictly better than the other; equal results
    // do not beat each other.
    bool Beats(const ScoreLine& other) const {
        return std::tie(a, b, c) < std::tie(other.a, other.b, other.c);
    }
};
