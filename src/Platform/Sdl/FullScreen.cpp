#include "Platform/Sdl/FullScreen.h"

#include <SDL2/SDL.h>

#include <cstdio>

bool PlatFullScreen::Enter(int width, int height) {
    if (!on) {
        SDL_GetWindowPosition(window, &windowed.x, &windowed.y);
        SDL_GetWindowSize(window, &windowed.w, &windowed.h);
    }
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display >= 0 && (SwitchDisplayMode(display, width, height) || CoverDesktop(display))) {
        on = true;
        return true;
    }
    std::fprintf(stderr, "Graphics: no full screen, drawing in the window: %s\n", SDL_GetError());
    Leave();
    return false;
}

void PlatFullScreen::Leave() {
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0)
        SDL_SetWindowFullscreen(window, 0);
    if (on)
        Place(windowed);
    on = false;
}

bool PlatFullScreen::SwitchDisplayMode(int display, int width, int height) {
    const int count = SDL_GetNumDisplayModes(display);
    for (int k = 0; k < count; ++k) {
        // The modes come highest refresh rate first.
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(display, k, &mode) != 0 || mode.w != width || mode.h != height)
            continue;
        SDL_Rect bounds;
        SDL_GetDisplayBounds(display, &bounds);
        Place({bounds.x, bounds.y, width, height});
        return SDL_SetWindowDisplayMode(window, &mode) == 0 &&
               SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
    }
    return false;
}

bool PlatFullScreen::CoverDesktop(int display) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(display, &bounds) != 0)
        return false;
    Place(bounds);
    return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

void PlatFullScreen::Place(const SDL_Rect& rect) {
    SDL_SetWindowPosition(window, rect.x, rect.y);
    SDL_SetWindowSize(window, rect.w, rect.h);
}
