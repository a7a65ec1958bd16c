#pragma once

#include "Game/RacePath.h"
#include "Platform/D3DX9Math.h"

#include <vector>

// Where every car is along the racing line and how the laps stand: kept by
// the lap counting (PLevelLaps.cpp) and read by the race rules.
struct LapState {
    RacePath pathLines;
    // Each car's piece of the racing line and its progress along the ring.
    std::vector<int> carLine = std::vector<int>(20, 0);
    std::vector<int> carProgress = std::vector<int>(20, 0);
    bool lapTiming = false;
    int playerLineIndex = 0;
    int playerProgress = 0;
    // The start posts' line and the piece nearest it.
    int startLineIndex = 0;
    D3DXVECTOR3 startLine{0, 0, 0};
    D3DXVECTOR3 startPoint{0, 0, 0};
    // The first three places taken, in order.
    int places[3] = {-1, -1, -1};
};
