#pragma once

#include "Core/PSettings.h"

// Page and font layouts are made for a 1024 x 768 screen and scaled to the
// actual one. Heights divide by 768 as a multiplication with the
// single-precision value of 1/768, so that every layout lands on the same
// pixels as it always has.
inline constexpr float kInverse768 = 1.0f / 768.0f;

inline float ScaleToScreenX(float layoutX) {
    return layoutX * static_cast<float>(g_ScreenWidth) / 1024.0f;
}

inline float ScaleToScreenY(float layoutY) {
    return layoutY * static_cast<float>(g_ScreenHeight) * kInverse768;
}
