#pragma once

struct SDL_Window;

// Full screen for the graphics device's window. The device keeps its back
// buffer at the chosen size; Present scales it to whatever the window's
// drawable is.

// Covers the screen with the window: in the display mode of the given size
// when the display offers one, else over the desktop at its own mode. False
// (the reason on stderr) when the window stays as it was.
bool PlatEnterFullScreen(SDL_Window* window, int width, int height);
// Leaves full screen, which gives the display its own mode back; nothing
// when the window is not full screen.
void PlatLeaveFullScreen(SDL_Window* window);
