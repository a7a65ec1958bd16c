#pragma once

#include <vector>

// A fullscreen mode the Options dialog offers.
struct SPDisplayMode {
    int height = 0;
    int width = 0;
    int bits = 0;

    bool operator==(const SPDisplayMode&) const = default;
};

extern std::vector<SPDisplayMode> g_DisplayModes;

// Fills g_DisplayModes with the display's 32-bit modes of at least
// 1024 x 768, in the display's order; a mode that repeats the one before it
// (another refresh rate) is kept once.
void EnumDisplayModes();
