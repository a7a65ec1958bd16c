#pragma once

#include "Platform/Win32Dialogs.h"

// The Options dialog: the fullscreen resolution (from g_DisplayModes) and
// four effect switches. Its check boxes change pending copies of the
// settings; OK applies them with the chosen mode and writes config.cfg at
// once, Cancel (result 2) and closing (result 1002) change nothing.
INT_PTR OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
