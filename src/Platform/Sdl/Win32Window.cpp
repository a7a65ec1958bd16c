#include "Platform/Win32Window.h"

#include "Platform/Graphics/Direct3D9.h"
#include "Platform/Sdl/SdlEventSource.h"
#include "Platform/Sdl/SdlWindow.h"
#include "Platform/WindowObject.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SdlWindowObject final : PlatWindow {
    explicit SdlWindowObject(SDL_Window* window) : sdl(window) {}
    SDL_Window* sdl = nullptr;
    bool shownOnce = false;
};

} // namespace

// Only "shown" and "hidden" are told apart; SDL draws the arrow.
struct PlatCursor {};

namespace {

// Class name -> window procedure. Class styles and cursors change nothing
// here: SDL redraws nothing itself and shows the arrow unless told otherwise.
std::map<std::string, WNDPROC> g_Classes;
std::vector<std::unique_ptr<SdlWindowObject>> g_Windows;
ATOM g_NextAtom = 0xC000;
bool g_VideoStarted = false;
PlatSdlEventSource g_SdlEvents;

PlatCursor g_ArrowCursor;
HCURSOR const kArrowCursor = &g_ArrowCursor;
HCURSOR g_CurrentCursor = kArrowCursor;

// Windows are made for OpenGL unless the graphics device draws nothing, so
// a headless run never loads the OpenGL driver (with a software renderer
// that alone takes a fifth of a second).
bool WindowsUseOpenGL() {
    return PlatGetGraphicsBackendKind() != PlatGraphicsBackendKind::Headless;
}

// The OpenGL driver stays loaded for the life of the process once the first
// OpenGL window needs it: drivers that are unloaded and loaded again leak,
// and windows come and go.
void KeepOpenGLDriverLoaded() {
    static bool loaded = false;
    if (!loaded)
        loaded = SDL_GL_LoadLibrary(nullptr) == 0;
}

SdlWindowObject* FindSdlWindow(HWND hwnd) {
    for (const auto& window : g_Windows)
        if (window.get() == hwnd)
            return window.get();
    return nullptr;
}

} // namespace

bool PlatStartVideo() {
    if (g_VideoStarted)
        return true;
    // Closing the last window must reach the window procedure as WM_CLOSE,
    // not end the program behind its back.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "Video start-up failed: %s\n", SDL_GetError());
        return false;
    }
    g_VideoStarted = true;
    if (!PlatGetEventSource())
        PlatSetEventSource(&g_SdlEvents);
    return true;
}

bool PlatIsHeadlessVideoDriver(const char* driverName) {
    return driverName && (std::strcmp(driverName, "offscreen") == 0 || std::strcmp(driverName, "dummy") == 0);
}

SDL_Window* PlatGetSdlWindow(HWND hwnd) {
    SdlWindowObject* window = FindSdlWindow(hwnd);
    return window ? window->sdl : nullptr;
}

HWND PlatFindWindow(Uint32 sdlWindowId) {
    for (const auto& window : g_Windows)
        if (SDL_GetWindowID(window->sdl) == sdlWindowId)
            return window.get();
    return nullptr;
}

HWND PlatGetFirstWindow() {
    return g_Windows.empty() ? nullptr : g_Windows.front().get();
}

ATOM RegisterClass(const WNDCLASS* windowClass) {
    if (!windowClass || !windowClass->lpfnWndProc || !windowClass->lpszClassName ||
        !*windowClass->lpszClassName || g_Classes.count(windowClass->lpszClassName))
        return 0;
    g_Classes[windowClass->lpszClassName] = windowClass->lpfnWndProc;
    return g_NextAtom++;
}

BOOL AdjustWindowRect(RECT* rect, DWORD, BOOL) {
    return rect ? TRUE : FALSE;
}

int GetSystemMetrics(int index) {
    SDL_DisplayMode mode;
    if (!PlatStartVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return 0;
    if (index == SM_CXSCREEN)
        return mode.w;
    return index == SM_CYSCREEN ? mode.h : 0;
}

HWND CreateWindowEx(DWORD, const char* className, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND, void*, HINSTANCE, void*) {
    auto found = className ? g_Classes.find(className) : g_Classes.end();
    if (found == g_Classes.end() || !PlatStartVideo())
        return nullptr;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (WindowsUseOpenGL()) {
        KeepOpenGLDriverLoaded();
        flags |= SDL_WINDOW_OPENGL;
    }
    if (style & WS_POPUP)
        flags |= SDL_WINDOW_BORDERLESS;
    SDL_Window* sdl = SDL_CreateWindow(title ? title : "", x, y, width, height, flags);
    if (!sdl) {
        std::fprintf(stderr, "Window creation failed: %s\n", SDL_GetError());
        return nullptr;
    }
    g_Windows.push_back(std::make_unique<SdlWindowObject>(sdl));
    HWND hwnd = g_Windows.back().get();
    PlatSetWindowProc(hwnd, found->second);
    return hwnd;
}

BOOL ShowWindow(HWND hwnd, int showCommand) {
    SdlWindowObject* window = FindSdlWindow(hwnd);
    if (!window)
        return FALSE;
    SDL_Window* sdl = window->sdl;
    const bool wasVisible = (SDL_GetWindowFlags(sdl) & SDL_WINDOW_SHOWN) != 0;
    if (showCommand == SW_HIDE) {
        SDL_HideWindow(sdl);
        return wasVisible;
    }
    SDL_ShowWindow(sdl);
    if (!window->shownOnce) {
        window->shownOnce = true;
        int width = 0, height = 0;
        SDL_GetWindowSize(sdl, &width, &height);
        const MSG size{hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height)};
        DispatchMessage(&size);
    }
    return wasVisible;
}

BOOL UpdateWindow(HWND hwnd) {
    return PlatGetSdlWindow(hwnd) ? TRUE : FALSE;
}

LRESULT DefWindowProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

HCURSOR LoadCursor(HINSTANCE, int cursorId) {
    return cursorId == IDC_ARROW ? kArrowCursor : nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = g_CurrentCursor;
    g_CurrentCursor = cursor;
    if (g_VideoStarted)
        SDL_ShowCursor(cursor ? SDL_ENABLE : SDL_DISABLE);
    return previous;
}

void PlatReleaseWindows() {
    for (const auto& window : g_Windows) {
        PlatSetWindowProc(window.get(), nullptr);
        SDL_DestroyWindow(window->sdl);
    }
    g_Windows.clear();
    g_Classes.clear();
    g_CurrentCursor = kArrowCursor;
    g_SdlEvents.Reset();
}
