#pragma once

#include "Platform/Win32Messages.h"

// Top-level windows: a class registry, window creation, showing, the cursor
// and the screen size. Windows are SDL windows able to carry an OpenGL
// context; with SDL_VIDEODRIVER=offscreen they exist without a display.
// Their events reach the message queue as WM_SIZE, WM_ACTIVATE, WM_CLOSE,
// WM_SETCURSOR and WM_CHAR (see SdlEventSource.h).

using ATOM = WORD;

inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_OWNDC = 0x0020;

inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;

// wParam of WM_SIZE.
inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;
inline constexpr WPARAM SIZE_MAXSHOW = 3;
inline constexpr WPARAM SIZE_MAXHIDE = 4;

// Low word of WM_ACTIVATE's wParam; the high word is non-zero when the
// window is minimised.
inline constexpr WPARAM WA_INACTIVE = 0;
inline constexpr WPARAM WA_ACTIVE = 1;
inline constexpr WPARAM WA_CLICKACTIVE = 2;

// lParam of WM_SETCURSOR: the pointer is over the client area.
inline constexpr LPARAM HTCLIENT = 1;

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;

inline constexpr int IDC_ARROW = 32512;

struct PlatCursor;
using HCURSOR = PlatCursor*;

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    HINSTANCE hInstance = nullptr;
    HCURSOR hCursor = nullptr;
    const char* lpszClassName = nullptr;
};

inline constexpr LPARAM MAKELPARAM(int low, int high) {
    return static_cast<LPARAM>((static_cast<DWORD>(high & 0xFFFF) << 16) | static_cast<DWORD>(low & 0xFFFF));
}

// 0 when the class has no name or procedure or the name is taken.
ATOM RegisterClass(const WNDCLASS* windowClass);

// Enlarges a client rectangle to the window rectangle of the style. The
// window manager draws its decorations outside our windows, so the frame
// adds nothing here and a window's size is its client size.
BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);

// The desktop's width or height in pixels; 0 when there is no video device.
int GetSystemMetrics(int index);

// Creates a hidden window of a registered class at (x, y) with the given
// size; a WS_POPUP window has no border. Null when the class is unknown or
// the window cannot be created (the reason goes to stderr).
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, void* menu, HINSTANCE instance, void* param);

// Shows or hides the window. The first time it is shown, its procedure
// receives WM_SIZE (SIZE_RESTORED, client size) before the call returns.
BOOL ShowWindow(HWND hwnd, int showCommand);
// Nothing to paint outside the graphics device's frames.
BOOL UpdateWindow(HWND hwnd);

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The system arrow for IDC_ARROW; null for any other cursor.
HCURSOR LoadCursor(HINSTANCE instance, int cursorId);
// Null hides the pointer over our windows; returns the previous cursor.
HCURSOR SetCursor(HCURSOR cursor);

// Destroys every window without sending messages and forgets every class,
// as the end of the process would.
void PlatReleaseWindows();

// True for the video drivers without a display (SDL's offscreen and dummy),
// by the name SDL_VIDEODRIVER gives.
bool PlatIsHeadlessVideoDriver(const char* driverName);
