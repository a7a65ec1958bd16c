#pragma once

#include "Platform/D3DX9Math.h"
#include "Platform/Win32Types.h"

#include <cmath>

// A game vector (left-handed) in OpenAL's right-handed coordinates.
inline D3DXVECTOR3 PlatAlVector(const D3DXVECTOR3& v) {
    return {v.x, v.y, -v.z};
}

// Hundredths of a decibel as an amplitude factor: 10^(mB / 2000).
inline float PlatAlGain(LONG volume) {
    return std::pow(10.0f, static_cast<float>(volume) / 2000.0f);
}
