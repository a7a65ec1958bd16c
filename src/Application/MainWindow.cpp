#include "Application/MainWindow.h"

#include "Core/AppState.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Platform/QuitRequest.h"
#include "Platform/Sound/SoundBackend.h"
#include "Render/PRender.h"
#include "Script/PScriptManager.h"

#include <string>

namespace {

// The game is silent while it is not the active application.
void SetActive(bool active) {
    g_AppActive = active;
    PlatSetSoundFocus(active);
}

void Deactivate() {
    if (g_TaskManager)
        g_TaskManager->SuspendTask(g_GlobalTimer);
    SetActive(false);
}

void ResetDevice() {
    if (g_Render)
        g_Render->ResetDevice();
}

void ResumeClock() {
    if (g_TaskManager)
        g_TaskManager->ResumeTask(g_GlobalTimer);
}

// Any activation of a window that is not minimised, by a click as well.
bool IsActivation(WPARAM wParam) {
    return LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0;
}

void OnSize(WPARAM kind) {
    if (kind == SIZE_MINIMIZED || kind == SIZE_MAXHIDE) {
        Deactivate();
        return;
    }
    ResetDevice();
    ResumeClock();
    SetActive(true);
}

void OnActivate(WPARAM wParam) {
    if (g_AppExiting || g_FullScreen == 0)
        return;
    if (!IsActivation(wParam)) {
        Deactivate();
        return;
    }
    ResumeClock();
    ResetDevice();
    SetActive(true);
}

void OnChar(WPARAM code) {
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByCategory("interface", "key",
                                               std::to_string(static_cast<unsigned>(code)));
}

} // namespace

HRESULT CreateMainWindow(HINSTANCE instance, int showCommand, HWND* window, bool windowed, int width,
                         int height, const char* title) {
    WNDCLASS windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = title;
    if (!RegisterClass(&windowClass))
        return E_FAIL;

    RECT rect{0, 0, width, height};
    AdjustWindowRect(&rect, WS_OVERLAPPED, FALSE);
    const int outerWidth = rect.right - rect.left;
    const int outerHeight = rect.bottom - rect.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2;
    HWND created = CreateWindowEx(0, title, title, windowed ? WS_OVERLAPPED : WS_POPUP, x, y, outerWidth,
                                  outerHeight, nullptr, nullptr, instance, nullptr);
    if (!created)
        return E_FAIL;
    ShowWindow(created, showCommand);
    UpdateWindow(created);
    *window = created;
    return S_OK;
}

LRESULT MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
    case WM_DESTROY:
        PlatRequestQuit();
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        OnSize(wParam);
        break;
    case WM_ACTIVATE:
        OnActivate(wParam);
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_CHAR:
        OnChar(wParam);
        break;
    default:
        break;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}
