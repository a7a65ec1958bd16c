#pragma once

#include "Platform/WebBrowser.h"
#include "Platform/Win32Dialogs.h"
#include "Platform/WindowObject.h"

#include <memory>
#include <string>
#include <vector>

// For the dialog backends: the state of an open dialog and its controls,
// which the control operations read and change whatever shows the dialog.

struct PlatDialog;

struct PlatComboEntry {
    std::string text;
    LPARAM data = 0;
};

struct PlatControl final : PlatWindow {
    PlatDialog* dialog = nullptr;
    PlatDialogItem item;
    RECT rect; // pixels, relative to the dialog's client area
    bool enabled = true;
    UINT check = BST_UNCHECKED;
    std::string text; // caption, or a combo box's edit field
    std::vector<PlatComboEntry> entries;
    int selection = -1;

    // What the user does, as the window system would report it.
    void Click();
    void Select(int index);
    // Typing into a combo box's edit field selects the entry of that text
    // (letter case aside) and clears the selection when none matches.
    void Type(const std::string& typed);

    // Keeps a sorted combo box in order; returns the new entry's index.
    int AddEntry(const std::string& entryText);
};

class PlatDialogBackend;

struct PlatDialog final : PlatWindow {
    const PlatDialogTemplate* source = nullptr;
    DLGPROC proc = nullptr;
    HWND owner = nullptr;
    std::string title;
    RECT rect; // screen pixels
    std::vector<std::unique_ptr<PlatControl>> controls;
    bool ended = false;
    INT_PTR result = 0;
    PlatDialogBackend* backend = nullptr;
    void* view = nullptr; // the backend's widgets

    PlatControl* Find(int id) const;
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam);
    void Command(const PlatControl& control, WORD notification);
};

// What shows dialogs: creates their windows from the model, runs them
// modally and mirrors the program's changes to the model.
class PlatDialogBackend {
public:
    virtual ~PlatDialogBackend() = default;
    // Builds the dialog's window, hidden; false when it cannot.
    virtual bool Create(PlatDialog& dialog) = 0;
    // Shows the dialog and returns once it has ended.
    virtual void RunModal(PlatDialog& dialog) = 0;
    virtual void Destroy(PlatDialog& dialog) = 0;
    // The program changed the control, or the dialog's title or place.
    virtual void ControlChanged(PlatControl& control) = 0;
    virtual void DialogChanged(PlatDialog& dialog) = 0;
    virtual void Ended(PlatDialog& dialog) = 0;
    // A browser shown inside the control; null when none can be made.
    virtual std::unique_ptr<PlatWebBrowser> CreateWebBrowser(PlatControl& host) = 0;
};

// Pixels of dialog units for the dialog font ("MS Sans Serif" 8 at 96 dpi,
// whose average character is 6 x 13 pixels), rounded to nearest.
int PlatDialogUnitsToPixelsX(int units);
int PlatDialogUnitsToPixelsY(int units);

// The open dialog or control a handle names; null for any other handle.
PlatDialog* PlatFindDialog(HWND window);
PlatControl* PlatFindControl(HWND window);

// The test's script when one is installed, null otherwise.
PlatDialogBackend* PlatGetScriptedDialogBackend();

// The dialog module's one entry point, looked up by this name when it loads:
// the GTK backend when GTK can reach a display, null otherwise. The module
// calls back into the program for the dialog model's operations above, which
// the program exports (Platform/DialogExports.list).
using PlatDialogModuleEntry = PlatDialogBackend* (*)();
inline constexpr const char* kPlatDialogModuleEntry = "PlatGtkDialogBackend";
