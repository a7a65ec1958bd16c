#include "Application/OptionsDialog.h"

#include "Application/DialogResources.h"
#include "Application/DisplayModes.h"
#include "Core/PSettings.h"

#include <cstdio>

namespace {

struct PendingSwitches {
    int bloom = 0;
    int lensFlare = 0;
    int dust = 0;
    int blur = 0;
};

PendingSwitches g_Pending;

UINT CheckState(int value) {
    return value ? BST_CHECKED : BST_UNCHECKED;
}

int IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

// The mode an entry's item data names; null for data naming none.
const SPDisplayMode* EntryMode(HWND dialog, LRESULT entry) {
    const LRESULT index = SendDlgItemMessage(dialog, IDC_RESOLUTION, CB_GETITEMDATA, entry, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= g_DisplayModes.size())
        return nullptr;
    return &g_DisplayModes[index];
}

// One entry per mode, kept in text order by the combo box; the entry of the
// current resolution is selected, else the first.
void FillResolutions(HWND dialog) {
    for (std::size_t i = 0; i < g_DisplayModes.size(); ++i) {
        const SPDisplayMode& mode = g_DisplayModes[i];
        char text[48];
        std::snprintf(text, sizeof text, "%d x %d x %d", mode.width, mode.height, mode.bits);
        const LRESULT entry =
            SendDlgItemMessage(dialog, IDC_RESOLUTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendDlgItemMessage(dialog, IDC_RESOLUTION, CB_SETITEMDATA, entry, static_cast<LPARAM>(i));
    }
    const SPDisplayMode current{g_ScreenHeight, g_ScreenWidth, g_ScreenBPP};
    const LRESULT count = SendDlgItemMessage(dialog, IDC_RESOLUTION, CB_GETCOUNT, 0, 0);
    WPARAM selection = 0;
    for (LRESULT entry = 0; entry < count; ++entry) {
        const SPDisplayMode* mode = EntryMode(dialog, entry);
        if (mode && *mode == current) {
            selection = static_cast<WPARAM>(entry);
            break;
        }
    }
    SendDlgItemMessage(dialog, IDC_RESOLUTION, CB_SETCURSEL, selection, 0);
}

void Initialise(HWND dialog) {
    g_Pending = PendingSwitches{g_Bloom, g_LensFlare, g_Dust, g_Blur};
    CheckDlgButton(dialog, IDC_MOTION_BLUR, CheckState(g_Blur));
    CheckDlgButton(dialog, IDC_BLOOM, CheckState(g_Bloom));
    CheckDlgButton(dialog, IDC_LENS_FLARE, CheckState(g_LensFlare));
    CheckDlgButton(dialog, IDC_SMOKE, CheckState(g_Dust));
    EnableWindow(GetDlgItem(dialog, IDC_MOTION_BLUR), g_Bloom != 0);
    FillResolutions(dialog);
    CentreDialogOnScreen(dialog);
}

void Apply(HWND dialog) {
    const LRESULT entry = SendDlgItemMessage(dialog, IDC_RESOLUTION, CB_GETCURSEL, 0, 0);
    if (const SPDisplayMode* mode = entry == CB_ERR ? nullptr : EntryMode(dialog, entry)) {
        g_ScreenBPP = mode->bits;
        g_ScreenWidth = mode->width;
        g_ScreenHeight = mode->height;
    }
    g_Bloom = g_Pending.bloom;
    g_LensFlare = g_Pending.lensFlare;
    g_Dust = g_Pending.dust;
    g_Blur = g_Pending.blur;
    // A failed write is logged by the writer.
    if (g_Settings)
        g_Settings->Save("config.cfg");
}

void Command(HWND dialog, int id) {
    switch (id) {
    case IDC_MOTION_BLUR:
        g_Pending.blur = IsChecked(dialog, id);
        break;
    case IDC_LENS_FLARE:
        g_Pending.lensFlare = IsChecked(dialog, id);
        break;
    case IDC_SMOKE:
        g_Pending.dust = IsChecked(dialog, id);
        break;
    case IDC_BLOOM:
        g_Pending.bloom = IsChecked(dialog, id);
        EnableWindow(GetDlgItem(dialog, IDC_MOTION_BLUR), g_Pending.bloom);
        break;
    case IDOK:
        Apply(dialog);
        EndDialog(dialog, IDOK);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        Initialise(dialog);
        return TRUE;
    case WM_COMMAND:
        Command(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, IDC_EXIT);
        return TRUE;
    default:
        return FALSE;
    }
}
