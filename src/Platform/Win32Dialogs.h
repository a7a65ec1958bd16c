#pragma once

#include "Platform/Win32Window.h"

#include <vector>

// Modal dialog boxes built from templates held by the program, with the
// messages and control operations dialog procedures use. A dialog is shown
// with GTK when there is a display, or played by a test's script (see
// DialogScript.h); with neither, DialogBoxIndirectParam fails with -1, as a
// dialog that cannot be created does.

using INT_PTR = intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

inline constexpr UINT WM_INITDIALOG = 0x0110;
// wParam: the control id in the low word, the notification in the high word;
// lParam: the control's handle.
inline constexpr UINT WM_COMMAND = 0x0111;

inline constexpr WORD BN_CLICKED = 0;
inline constexpr WORD CBN_SELCHANGE = 1;
inline constexpr WORD CBN_EDITCHANGE = 5;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;

// Combo box messages (SendDlgItemMessage). Indexes are display positions.
inline constexpr UINT CB_ADDSTRING = 0x0143; // lParam: const char*; returns the index
inline constexpr UINT CB_GETCOUNT = 0x0146;  //
inline constexpr UINT CB_GETCURSEL = 0x0147; // CB_ERR when nothing is selected
inline constexpr UINT CB_GETLBTEXT = 0x0148; // wParam index, lParam char buffer
inline constexpr UINT CB_SETCURSEL = 0x014E; // wParam index, or -1 to clear
inline constexpr UINT CB_GETITEMDATA = 0x0150;
inline constexpr UINT CB_SETITEMDATA = 0x0151;
inline constexpr LRESULT CB_ERR = -1;

// Control styles that change behaviour.
inline constexpr DWORD CBS_SORT = 0x0100; // entries kept in case-insensitive text order

inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;

inline constexpr WPARAM MAKEWPARAM(int low, int high) {
    return static_cast<WPARAM>(MAKELPARAM(low, high)) & 0xFFFFFFFFu;
}

enum class PlatControlKind {
    PushButton,
    DefaultPushButton, // the button Return presses
    CheckBox,          // toggles itself when clicked
    GroupBox,
    Text,
    BlackRect, // an empty black area, a host for other windows
    ComboBox,  // drop-down list with an edit field
};

// Positions and sizes are in dialog units: a quarter of the dialog font's
// average character width across, an eighth of its height down.
struct PlatDialogItem {
    PlatControlKind kind = PlatControlKind::Text;
    int id = -1; // -1: a control the program never addresses
    const char* caption = "";
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;
};

struct PlatDialogTemplate {
    bool captionBar = true; // false: a bordered popup without a title bar
    const char* title = "";
    const char* fontName = "MS Sans Serif";
    int fontPointSize = 8;
    short cx = 0, cy = 0;
    std::vector<PlatDialogItem> items;
};

// Creates the dialog (hidden), sends WM_INITDIALOG (lParam = param), shows
// it and runs until its procedure calls EndDialog, whose result it returns.
// -1 when the dialog cannot be shown.
INT_PTR DialogBoxIndirectParam(HINSTANCE instance, const PlatDialogTemplate* dialogTemplate, HWND owner,
                               DLGPROC proc, LPARAM param);
// Ends the modal run once the procedure returns. FALSE for a handle that
// names no open dialog.
BOOL EndDialog(HWND dialog, INT_PTR result);

// The rest work on open dialogs and their controls; a handle or id that
// names none gives FALSE, 0 or null.
HWND GetDlgItem(HWND dialog, int id);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
// Returns TRUE when the control was disabled before the call.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
// A dialog's title, or a control's caption (a combo box's edit field).
BOOL SetWindowText(HWND window, const char* text);
// Copies at most size - 1 characters and a terminator; returns the length copied.
int GetWindowText(HWND window, char* buffer, int size);
// Screen pixels of a dialog; a control's rectangle relative to its dialog.
BOOL GetWindowRect(HWND window, RECT* rect);
// (0, 0) to the window's width and height.
BOOL GetClientRect(HWND window, RECT* rect);
// Moves and sizes a dialog; insertAfter is accepted for the familiar call shape.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
