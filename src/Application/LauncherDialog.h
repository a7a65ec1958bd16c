#pragma once

#include "Platform/Win32Dialogs.h"

// The launcher: the launcher page in its web host and four buttons. Its
// result is the button that closed it: IDC_START_FULLSCREEN or
// IDC_START_WINDOWED (which set g_FullScreen to 1 or 0), or IDC_EXIT (also
// when it is closed). "Options" shows the Options dialog over it.
INT_PTR LauncherDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
