#pragma once

#include "Platform/Win32Window.h"

// Creates the game's window: client area width x height, centred on the
// desktop, with a border and caption when windowed and without them for
// fullscreen. S_OK with the handle in *window, else E_FAIL.
HRESULT CreateMainWindow(HINSTANCE instance, int showCommand, HWND* window, bool windowed, int width,
                         int height, const char* title);

// The main window's procedure: closing quits the main loop; minimising (and,
// in fullscreen, losing the focus) stops the clock and every task; restoring
// and re-activation reset the graphics device and resume them; the pointer is
// hidden over the window; typed characters go to the interface scripts.
LRESULT MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
