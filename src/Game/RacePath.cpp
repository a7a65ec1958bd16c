#include "Game/RacePath.h"

#include "Game/PLine.h"

namespace {

constexpr int kLanes = 4;
using Lanes = float __attribute__((vector_size(16)));
using LaneInts = int __attribute__((vector_size(16)));

Lanes Load(const float* values) {
    return Lanes{values[0], values[1], values[2], values[3]};
}

Lanes Splat(float value) {
    return Lanes{value, value, value, value};
}

} // namespace

void RacePath::Clear() {
    pieces.clear();
    centreX.clear();
    centreY.clear();
}

void RacePath::Add(CPLine* piece) {
    pieces.push_back(piece);
    centreX.push_back(piece->centre.x);
    centreY.push_back(piece->centre.y);
}

// Four pieces at a time, each lane keeping the last of its nearest pieces;
// the lanes then give the nearest overall, the last of equals, as a search
// in piece order would.
int RacePath::Nearest(const D3DXVECTOR3& point, float farthest) const {
    const int count = static_cast<int>(pieces.size());
    const int whole = count - count % kLanes;
    Lanes bestDistance = Splat(farthest);
    LaneInts bestIndex = {-1, -1, -1, -1};
    LaneInts index = {0, 1, 2, 3};
    for (int i = 0; i < whole; i += kLanes) {
        const Lanes dx = Load(&centreX[i]) - point.x;
        const Lanes dy = Load(&centreY[i]) - point.y;
        const Lanes distance = dx * dx + dy * dy;
        const LaneInts nearer = distance <= bestDistance;
        bestDistance = nearer ? distance : bestDistance;
        bestIndex = nearer ? index : bestIndex;
        index += kLanes;
    }
    float nearestDistance = farthest;
    int nearest = -1;
    for (int lane = 0; lane < kLanes; ++lane) {
        const bool equal = bestDistance[lane] == nearestDistance && bestIndex[lane] > nearest;
        if (bestIndex[lane] >= 0 && (bestDistance[lane] < nearestDistance || equal)) {
            nearestDistance = bestDistance[lane];
            nearest = bestIndex[lane];
        }
    }
    // The last pieces, after every lane's, win ties.
    for (int i = whole; i < count; ++i) {
        const float dx = centreX[i] - point.x;
        const float dy = centreY[i] - point.y;
        const float distance = dx * dx + dy * dy;
        if (distance <= nearestDistance) {
            nearestDistance = distance;
            nearest = i;
        }
    }
    return nearest;
}
