#include "Application/LauncherDialog.h"

#include "Application/DialogResources.h"
#include "Application/OptionsDialog.h"
#include "Application/PWebHost.h"
#include "Core/PSettings.h"

namespace {

void Initialise(HWND dialog) {
    SetWindowText(dialog, kGameTitle);
    CentreDialogOnScreen(dialog);
    g_WebHost = new CPWebHost();
    g_WebHost->Create(GetDlgItem(dialog, IDC_WEB_HOST));
}

void Command(HWND dialog, int id) {
    switch (id) {
    case IDC_START_FULLSCREEN:
        g_FullScreen = 1;
        EndDialog(dialog, IDC_START_FULLSCREEN);
        break;
    case IDC_START_WINDOWED:
        g_FullScreen = 0;
        EndDialog(dialog, IDC_START_WINDOWED);
        break;
    case IDC_EXIT:
        EndDialog(dialog, IDC_EXIT);
        break;
    case IDC_OPTIONS:
        DialogBoxIndirectParam(nullptr, &g_OptionsDialog, dialog, OptionsDialogProc, 0);
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR LauncherDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        Initialise(dialog);
        break;
    case WM_COMMAND:
        Command(dialog, LOWORD(wParam));
        break;
    case WM_CLOSE:
        EndDialog(dialog, IDC_EXIT);
        break;
    default:
        return 0;
    }
    return DefWindowProc(dialog, message, wParam, lParam);
}
