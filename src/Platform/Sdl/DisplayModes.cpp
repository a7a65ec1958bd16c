#include "Platform/DisplayModes.h"

#include "Platform/Sdl/SdlWindow.h"
#include "Platform/Win32Window.h"

#include <span>

namespace {

constexpr PlatDisplayMode kHeadlessModes[] = {
    {1920, 1080, 60, 32}, {1920, 1080, 50, 32}, {1680, 1050, 60, 32}, {1280, 1024, 75, 32},
    {1280, 1024, 60, 32}, {1280, 720, 60, 32},  {1024, 768, 60, 32},  {800, 600, 60, 32},
};

bool IsHeadless() {
    return PlatIsHeadlessVideoDriver(SDL_GetCurrentVideoDriver());
}

} // namespace

int PlatGetDisplayModeCount() {
    if (!PlatStartVideo())
        return 0;
    if (IsHeadless())
        return static_cast<int>(std::size(kHeadlessModes));
    const int count = SDL_GetNumDisplayModes(0);
    return count > 0 ? count : 0;
}

bool PlatGetDisplayMode(int index, PlatDisplayMode& mode) {
    if (index < 0 || !PlatStartVideo())
        return false;
    if (IsHeadless()) {
        const std::span<const PlatDisplayMode> modes(kHeadlessModes);
        if (static_cast<std::size_t>(index) >= modes.size())
            return false;
        mode = modes[index];
        return true;
    }
    SDL_DisplayMode sdl;
    if (SDL_GetDisplayMode(0, index, &sdl) != 0)
        return false;
    mode =
        PlatDisplayMode{sdl.w, sdl.h, sdl.refresh_rate, static_cast<int>(SDL_BYTESPERPIXEL(sdl.format)) * 8};
    return true;
}
