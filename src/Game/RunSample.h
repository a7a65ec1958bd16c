#pragma once

#include "Platform/D3DX9Math.h"

// One sample of a recorded run: where the player's car was, how it was
// turned and when. Stored as 32 bytes in the save games.
struct RunSample {
    D3DXVECTOR3 position;
    D3DXQUATERNION orientation;
    float raceTime = 0;
};

static_assert(sizeof(RunSample) == 32, "a run sample is stored as 32 bytes");
