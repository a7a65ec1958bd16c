#include "Game/LevelSourcePoints.h"

#include <utility>

namespace {

SourcePointsLookup& CurrentLookup() {
    static SourcePointsLookup lookup;
    return lookup;
}

} // namespace

void SetLevelSourcePoints(SourcePointsLookup lookup) {
    CurrentLookup() = std::move(lookup);
}

SourcePoints GetLevelSourcePoints() {
    const SourcePointsLookup& lookup = CurrentLookup();
    return lookup ? lookup() : SourcePoints();
}
