#pragma once

// What the input task asks of the interface pages, which sit above it: each
// entry reaches every page. The entries do nothing until the pages connect
// them.
struct PageInputServices {
    // A mouse button (0 left, 1 right, 2 middle) went down or up with the
    // pointer at x, y (screen pixels).
    void (*mouseDown)(int button, float x, float y) = [](int, float, float) {};
    void (*mouseUp)(int button, float x, float y) = [](int, float, float) {};
    // The pointer moved to x, y.
    void (*mouseMove)(float x, float y) = [](float, float) {};
    // Enter or NumPad Enter went down (presses the focused button) or up
    // (releases it).
    void (*enterPress)() = [] {};
    void (*enterRelease)() = [] {};
    // An arrow key (or its NumPad key) went down: Up makes the pages send
    // "menu_down", Down "menu_up", Left "menu_left", Right "menu_right".
    void (*keyUp)() = [] {};
    void (*keyDown)() = [] {};
    void (*keyLeft)() = [] {};
    void (*keyRight)() = [] {};
};

extern PageInputServices g_PageInputServices;
