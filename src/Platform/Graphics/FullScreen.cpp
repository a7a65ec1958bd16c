#include "Platform/Graphics/FullScreen.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <optional>

namespace {

// The display's mode of exactly this size (its first, highest refresh
// rate); none when the display has no such mode.
std::optional<SDL_DisplayMode> ModeOfSize(SDL_Window* window, int width, int height) {
    const int display = SDL_GetWindowDisplayIndex(window);
    const int count = display < 0 ? 0 : SDL_GetNumDisplayModes(display);
    for (int k = 0; k < count; ++k) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(display, k, &mode) == 0 && mode.w == width && mode.h == height)
            return mode;
    }
    return std::nullopt;
}

bool SwitchDisplayMode(SDL_Window* window, int width, int height) {
    const std::optional<SDL_DisplayMode> mode = ModeOfSize(window, width, height);
    return mode && SDL_SetWindowDisplayMode(window, &*mode) == 0 &&
           SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
}

} // namespace

bool PlatEnterFullScreen(SDL_Window* window, int width, int height) {
    if (SwitchDisplayMode(window, width, height) ||
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0)
        return true;
    std::fprintf(stderr, "Graphics: no full screen, drawing in the window: %s\n", SDL_GetError());
    return false;
}

void PlatLeaveFullScreen(SDL_Window* window) {
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0)
        SDL_SetWindowFullscreen(window, 0);
}
