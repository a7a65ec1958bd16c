#pragma once

#include <SDL2/SDL_rect.h>

struct SDL_Window;

// Full screen for the graphics device's window. The device keeps its back
// buffer at the chosen size; Present scales it to the window's drawable.
// The window is also placed over the whole display by hand, so that it
// covers the screen where no window manager acts on the full-screen state.
class PlatFullScreen {
public:
    explicit PlatFullScreen(SDL_Window* window) : window(window) {}

    // Covers the screen with the window: in the display mode of the given
    // size when the display offers one, else over the desktop at its own
    // mode. False (the reason on stderr) when the window stays windowed.
    bool Enter(int width, int height);
    // Leaves full screen, which gives the display its own mode back, and
    // puts the window where it was before; nothing when not full screen.
    void Leave();

private:
    bool SwitchDisplayMode(int display, int width, int height);
    bool CoverDesktop(int display);
    void Place(const SDL_Rect& rect);

    SDL_Window* window;
    // The window's place before it went full screen.
    SDL_Rect windowed{};
    bool on = false;
};
