#include "Application/DialogResources.h"

using Kind = PlatControlKind;

const PlatDialogTemplate g_LauncherDialog{
    false,
    "",
    "MS Sans Serif",
    8,
    443,
    331,
    {
        {Kind::PushButton, IDC_START_FULLSCREEN, "Start in fullscreen mode", 7, 310, 90, 14, 0},
        {Kind::PushButton, IDC_START_WINDOWED, "Start in windowed mode", 103, 310, 85, 14, 0},
        {Kind::PushButton, IDC_OPTIONS, "Options", 250, 310, 68, 14, 0},
        {Kind::PushButton, IDC_EXIT, "Exit", 373, 310, 63, 14, 0},
        {Kind::BlackRect, IDC_WEB_HOST, "", 7, 7, 429, 298, 0},
    },
};

const PlatDialogTemplate g_OptionsDialog{
    true,
    "Options",
    "MS Sans Serif",
    8,
    186,
    105,
    {
        {Kind::DefaultPushButton, IDOK, "OK", 71, 84, 50, 14, 0},
        {Kind::PushButton, IDCANCEL, "Cancel", 129, 84, 50, 14, 0},
        {Kind::CheckBox, IDC_MOTION_BLUR, "Motion Blur", 13, 45, 96, 10, 0},
        {Kind::CheckBox, IDC_LENS_FLARE, "Lens Flare", 13, 59, 49, 10, 0},
        {Kind::CheckBox, IDC_BLOOM, "Bloom", 123, 45, 35, 10, 0},
        {Kind::CheckBox, IDC_SMOKE, "Smoke", 123, 59, 38, 10, 0},
        {Kind::GroupBox, -1, "Video", 7, 7, 172, 71, 0},
        {Kind::Text, -1, "Screen resolution", 16, 22, 56, 8, 0},
        {Kind::ComboBox, IDC_RESOLUTION, "", 78, 21, 91, 51, CBS_SORT},
    },
};

void CentreDialogOnScreen(HWND dialog) {
    RECT rect;
    if (!GetWindowRect(dialog, &rect))
        return;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
