#pragma once

#include <functional>

// What the input task asks of the interface pages, which sit above it: each
// entry reaches every page. The entries do nothing until the pages connect
// them.
struct PageInputServices {
    // A mouse button (0 left, 1 right, 2 middle) went down or up with the
    // pointer at x, y (screen pixels).
    std::function<void(int button, float x, float y)> mouseDown = [](int, float, float) {};
    std::function<void(int button, float x, float y)> mouseUp = [](int, float, float) {};
    // The pointer moved to x, y.
    std::function<void(float x, float y)> mouseMove = [](float, float) {};
    // Enter or NumPad Enter went down (presses the focused button) or up
    // (releases it).
    std::function<void()> enterPress = [] {};
    std::function<void()> enterRelease = [] {};
    // An arrow key (or its NumPad key) went down: Up makes the pages send
    // "menu_down", Down "menu_up", Left "menu_left", Right "menu_right".
    std::function<void()> keyUp = [] {};
    std::function<void()> keyDown = [] {};
    std::function<void()> keyLeft = [] {};
    std::function<void()> keyRight = [] {};
};

extern PageInputServices g_PageInputServices;
