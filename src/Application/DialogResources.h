#pragma once

#include "Platform/Win32Dialogs.h"

// The program's dialogs: the launcher and its Options dialog.

// The title of the launcher and of the main window.
inline constexpr const char* kGameTitle = "Kestrovar";

// Launcher controls; the four buttons' ids are also the launcher's results.
inline constexpr int IDC_START_FULLSCREEN = 1000;
inline constexpr int IDC_OPTIONS = 1001;
inline constexpr int IDC_EXIT = 1002;
inline constexpr int IDC_START_WINDOWED = 1003;
inline constexpr int IDC_WEB_HOST = 1026;

// Options controls (and IDOK, IDCANCEL).
inline constexpr int IDC_RESOLUTION = 1004;
inline constexpr int IDC_MOTION_BLUR = 1007;
inline constexpr int IDC_LENS_FLARE = 1008;
inline constexpr int IDC_BLOOM = 1009;
inline constexpr int IDC_SMOKE = 1010;

extern const PlatDialogTemplate g_LauncherDialog;
extern const PlatDialogTemplate g_OptionsDialog;

// Moves the dialog to the middle of the screen (integer halves of the
// differences in size).
void CentreDialogOnScreen(HWND dialog);
