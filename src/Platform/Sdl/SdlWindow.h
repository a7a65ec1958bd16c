#pragma once

#include "Platform/Win32Types.h"

#include <SDL.h>

// For the platform's own backends (the graphics device, the event source):
// the SDL window behind a window handle, and the way back.

// Starts SDL's video once (the windows, the display and its modes); false,
// with the reason on stderr, when there is no video device.
bool PlatStartVideo();

// Null for a handle that names no open window.
SDL_Window* PlatGetSdlWindow(HWND hwnd);
// The window with this SDL window id; null when none is open.
HWND PlatFindWindow(Uint32 sdlWindowId);
// The oldest open window, which receives events that name no window.
HWND PlatGetFirstWindow();
