#include "Platform/Win32Messages.h"

#include <chrono>
#include <deque>
#include <thread>
#include <unordered_map>

namespace {

std::deque<MSG> g_Queue;
std::unordered_map<HWND, WNDPROC> g_WindowProcs;
PlatEventSource* g_EventSource = nullptr;

} // namespace

BOOL PeekMessage(MSG* msg, HWND, UINT, UINT, UINT removeFlags) {
    if (g_EventSource)
        g_EventSource->Pump();
    if (g_Queue.empty())
        return FALSE;
    *msg = g_Queue.front();
    if (removeFlags & PM_REMOVE)
        g_Queue.pop_front();
    return TRUE;
}

BOOL TranslateMessage(const MSG*) {
    // Character messages are produced by the event source directly.
    return FALSE;
}

LRESULT DispatchMessage(const MSG* msg) {
    auto found = g_WindowProcs.find(msg->hwnd);
    if (found == g_WindowProcs.end() || !found->second)
        return 0;
    return found->second(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    g_Queue.push_back(MSG{hwnd, message, wParam, lParam});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    PostMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

void PlatSetWindowProc(HWND hwnd, WNDPROC proc) {
    if (proc)
        g_WindowProcs[hwnd] = proc;
    else
        g_WindowProcs.erase(hwnd);
}

void PlatWaitMessage(int timeoutMilliseconds) {
    if (!g_Queue.empty())
        return;
    if (g_EventSource)
        g_EventSource->Wait(timeoutMilliseconds);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMilliseconds));
}

void PlatSetEventSource(PlatEventSource* source) {
    g_EventSource = source;
}

PlatEventSource* PlatGetEventSource() {
    return g_EventSource;
}

void PlatResetMessageQueue() {
    g_Queue.clear();
    g_WindowProcs.clear();
}
