#pragma once

#include "Platform/Win32Dialogs.h"

#include <functional>
#include <string>
#include <vector>

// Dialogs without a display, for tests: with a script installed, every
// modal dialog is played by it instead of being shown. Each dialog takes the
// script's next actions in order until it ends, so a dialog opened by a
// button of another takes the actions that follow that click. A dialog still
// open when the script has run out receives WM_CLOSE, as if the user had
// closed it. A click, selection or typing on a disabled control does nothing.
struct PlatDialogAction {
    enum class Kind {
        Click,   // a push button or check box: the check box toggles, then WM_COMMAND BN_CLICKED
        Select,  // a combo box entry by display index, then CBN_SELCHANGE
        Type,    // text typed into a combo box's edit field, then CBN_EDITCHANGE
        Close,   // WM_CLOSE
        Inspect, // calls `inspect` with the open dialog
    };
    Kind kind = Kind::Close;
    int id = 0;
    int index = 0;
    std::string text;
    std::function<void(HWND dialog)> inspect;
};

struct PlatDialogScript {
    std::vector<PlatDialogAction> actions;
    // Web browsers created in the played dialogs fail to be made.
    bool refuseWebBrowsers = false;
    // Filled while playing: what the played dialogs' web browsers were asked
    // ("create <host id>", "bounds <left> <top> <width> <height>",
    // "navigate <url>", "close"), and the actions not taken because their
    // control was missing.
    std::vector<std::string> webBrowserCalls;
    std::vector<std::string> problems;
};

// The script is kept by the caller and read while dialogs run; null removes it.
void PlatSetDialogScript(PlatDialogScript* script);

// Short forms for building scripts.
PlatDialogAction PlatClick(int id);
PlatDialogAction PlatSelect(int id, int index);
PlatDialogAction PlatType(int id, std::string text);
PlatDialogAction PlatCloseDialog();
PlatDialogAction PlatInspect(std::function<void(HWND dialog)> inspect);
