#pragma once

#include "Platform/Win32Types.h"

// The thread's window-message queue. The engine takes at most one message
// per pass with PeekMessage and dispatches it to the window procedure of its
// window. An event source (the desktop backend, or a test's script) feeds the
// queue from operating-system events.

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_CHAR = 0x0102;

inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

struct MSG {
    HWND hwnd = nullptr;
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// Takes the oldest message for any window (hwnd and the range are accepted
// for the familiar call shape; the engine always asks for everything).
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
// Calls the window procedure registered for msg->hwnd; 0 when there is none.
LRESULT DispatchMessage(const MSG* msg);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Binds a window handle to its procedure (null unbinds).
void PlatSetWindowProc(HWND hwnd, WNDPROC proc);

// Blocks until a message may be waiting or the timeout has passed, so an
// idle loop does not spin a core.
void PlatWaitMessage(int timeoutMilliseconds);

class PlatEventSource {
public:
    virtual ~PlatEventSource() = default;
    // Turns pending operating-system events into posted messages.
    virtual void Pump() = 0;
    // Waits up to the timeout for an event.
    virtual void Wait(int timeoutMilliseconds) = 0;
};

// Installs the source that feeds the queue; null leaves only posted messages.
void PlatSetEventSource(PlatEventSource* source);
PlatEventSource* PlatGetEventSource();

// Drops every queued message and window binding (tests start clean with it).
void PlatResetMessageQueue();
