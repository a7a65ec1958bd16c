// Loads arbitrary bytes as one track-line entry of a level file, then drapes
// the pieces and searches the ring the way a race does.

#include "Core/PFileReader.h"
#include "Game/PSpline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CPFileReader reader("fuzz", false);
    reader.SetData(std::vector<uint8_t>(data, data + size));
    CPSpline spline;
    if (!spline.Load(reader)) {
        if (spline.firstLine || !spline.lines.empty())
            __builtin_trap();
        return 0;
    }
    if (!spline.firstLine || !std::isfinite(spline.totalLength) ||
        spline.lines.size() > static_cast<std::size_t>(CPSpline::kMaxPieces) + 1)
        __builtin_trap();
    spline.DrapeOnTerrain();
    // A few searches: one over a long ring whose pieces all lie in the square
    // walks the whole ring.
    CPLine* start = nullptr;
    const std::size_t searches = std::min<std::size_t>(spline.lines.size(), 64);
    for (std::size_t i = 0; i < searches; ++i) {
        const CPLine* piece = spline.lines[i].get();
        float radius = 40;
        spline.FindClosestLine(piece->centre, radius, 1, start);
        radius = 100;
        spline.FindClosestLine(piece->start, radius, -3, start);
    }
    return 0;
}
