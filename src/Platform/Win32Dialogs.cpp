#include "Platform/DialogModel.h"

#include "Platform/DialogBackends.h"
#include "Platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// The dialogs open now, the innermost modal one last.
std::vector<PlatDialog*> g_OpenDialogs;

int RoundedRatio(int value, int numerator, int denominator) {
    const long long scaled = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / denominator : (scaled - half) / denominator);
}

RECT PixelRect(int x, int y, int cx, int cy) {
    RECT rect;
    rect.left = PlatDialogUnitsToPixelsX(x);
    rect.top = PlatDialogUnitsToPixelsY(y);
    rect.right = rect.left + PlatDialogUnitsToPixelsX(cx);
    rect.bottom = rect.top + PlatDialogUnitsToPixelsY(cy);
    return rect;
}

void BuildModel(PlatDialog& dialog, const PlatDialogTemplate& source) {
    dialog.source = &source;
    dialog.title = source.title ? source.title : "";
    dialog.rect = PixelRect(0, 0, source.cx, source.cy);
    for (const PlatDialogItem& item : source.items) {
        auto control = std::make_unique<PlatControl>();
        control->dialog = &dialog;
        control->item = item;
        control->rect = PixelRect(item.x, item.y, item.cx, item.cy);
        if (item.kind != PlatControlKind::ComboBox)
            control->text = item.caption ? item.caption : "";
        dialog.controls.push_back(std::move(control));
    }
}

// Byte order with the letters A-Z folded to a-z, whatever the locale.
bool CaselessLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(PlatFoldCase(x)) < static_cast<unsigned char>(PlatFoldCase(y));
    });
}

LRESULT ComboMessage(PlatControl& combo, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto count = static_cast<WPARAM>(combo.entries.size());
    switch (message) {
    case CB_ADDSTRING:
        return lParam ? combo.AddEntry(reinterpret_cast<const char*>(lParam)) : CB_ERR;
    case CB_GETCOUNT:
        return static_cast<LRESULT>(count);
    case CB_GETCURSEL:
        return combo.selection;
    case CB_SETCURSEL:
        combo.selection = wParam < count ? static_cast<int>(wParam) : -1;
        combo.text = combo.selection >= 0 ? combo.entries[wParam].text : "";
        return combo.selection >= 0 ? combo.selection : CB_ERR;
    case CB_GETLBTEXT:
        if (wParam >= count || !lParam)
            return CB_ERR;
        std::strcpy(reinterpret_cast<char*>(lParam), combo.entries[wParam].text.c_str());
        return static_cast<LRESULT>(combo.entries[wParam].text.size());
    case CB_GETITEMDATA:
        return wParam < count ? combo.entries[wParam].data : CB_ERR;
    case CB_SETITEMDATA:
        if (wParam >= count)
            return CB_ERR;
        combo.entries[wParam].data = lParam;
        return TRUE;
    default:
        return 0;
    }
}

bool ChangesTheList(UINT message) {
    return message == CB_ADDSTRING || message == CB_SETCURSEL;
}

} // namespace

int PlatDialogUnitsToPixelsX(int units) {
    return RoundedRatio(units, 6, 4);
}

int PlatDialogUnitsToPixelsY(int units) {
    return RoundedRatio(units, 13, 8);
}

PlatDialog* PlatFindDialog(HWND window) {
    for (PlatDialog* dialog : g_OpenDialogs)
        if (dialog == window)
            return dialog;
    return nullptr;
}

PlatControl* PlatFindControl(HWND window) {
    for (PlatDialog* dialog : g_OpenDialogs)
        for (const auto& control : dialog->controls)
            if (control.get() == window)
                return control.get();
    return nullptr;
}

PlatControl* PlatDialog::Find(int id) const {
    if (id == -1)
        return nullptr;
    for (const auto& control : controls)
        if (control->item.id == id)
            return control.get();
    return nullptr;
}

LRESULT PlatDialog::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return proc(this, message, wParam, lParam);
}

void PlatDialog::Command(const PlatControl& control, WORD notification) {
    Send(WM_COMMAND, MAKEWPARAM(control.item.id, notification),
         reinterpret_cast<LPARAM>(static_cast<const PlatWindow*>(&control)));
}

void PlatControl::Click() {
    if (!enabled)
        return;
    if (item.kind == PlatControlKind::CheckBox)
        check = check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    dialog->Command(*this, BN_CLICKED);
}

void PlatControl::Select(int index) {
    if (!enabled || index < 0 || static_cast<std::size_t>(index) >= entries.size())
        return;
    selection = index;
    text = entries[index].text;
    dialog->Command(*this, CBN_SELCHANGE);
}

void PlatControl::Type(const std::string& typed) {
    if (!enabled)
        return;
    text = typed;
    auto match = std::find_if(entries.begin(), entries.end(), [&](const PlatComboEntry& entry) {
        return PlatNamesEqualNoCase(entry.text, typed);
    });
    selection = match == entries.end() ? -1 : static_cast<int>(match - entries.begin());
    dialog->Command(*this, CBN_EDITCHANGE);
}

int PlatControl::AddEntry(const std::string& entryText) {
    auto at = entries.end();
    if (item.style & CBS_SORT)
        at = std::upper_bound(
            entries.begin(), entries.end(), entryText,
            [](const std::string& a, const PlatComboEntry& b) { return CaselessLess(a, b.text); });
    const auto index = at - entries.begin();
    entries.insert(at, PlatComboEntry{entryText, 0});
    if (selection >= index)
        ++selection;
    return static_cast<int>(index);
}

INT_PTR DialogBoxIndirectParam(HINSTANCE, const PlatDialogTemplate* dialogTemplate, HWND owner, DLGPROC proc,
                               LPARAM param) {
    if (!dialogTemplate || !proc)
        return -1;
    PlatDialogBackend* backend = PlatChooseDialogBackend();
    if (!backend) {
        std::fprintf(stderr, "A dialog cannot be shown: there is no display\n");
        return -1;
    }
    PlatDialog dialog;
    dialog.proc = proc;
    dialog.owner = owner;
    dialog.backend = backend;
    BuildModel(dialog, *dialogTemplate);
    if (!backend->Create(dialog))
        return -1;
    g_OpenDialogs.push_back(&dialog);
    HWND firstControl = dialog.controls.empty() ? nullptr : dialog.controls.front().get();
    dialog.Send(WM_INITDIALOG, reinterpret_cast<WPARAM>(firstControl), param);
    if (!dialog.ended)
        backend->RunModal(dialog);
    backend->Destroy(dialog);
    g_OpenDialogs.pop_back();
    return dialog.result;
}

BOOL EndDialog(HWND window, INT_PTR result) {
    PlatDialog* dialog = PlatFindDialog(window);
    if (!dialog)
        return FALSE;
    dialog->result = result;
    dialog->ended = true;
    dialog->backend->Ended(*dialog);
    return TRUE;
}

HWND GetDlgItem(HWND window, int id) {
    PlatDialog* dialog = PlatFindDialog(window);
    return dialog ? dialog->Find(id) : nullptr;
}

BOOL CheckDlgButton(HWND window, int id, UINT check) {
    PlatControl* control = PlatFindControl(GetDlgItem(window, id));
    if (!control)
        return FALSE;
    control->check = check == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED;
    control->dialog->backend->ControlChanged(*control);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND window, int id) {
    PlatControl* control = PlatFindControl(GetDlgItem(window, id));
    return control ? control->check : BST_UNCHECKED;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    PlatControl* control = PlatFindControl(window);
    if (!control)
        return FALSE;
    const BOOL wasDisabled = control->enabled ? FALSE : TRUE;
    control->enabled = enable != FALSE;
    control->dialog->backend->ControlChanged(*control);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
    PlatControl* control = PlatFindControl(window);
    if (control)
        return control->enabled ? TRUE : FALSE;
    return PlatFindDialog(window) ? TRUE : FALSE;
}

LRESULT SendDlgItemMessage(HWND window, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    PlatControl* control = PlatFindControl(GetDlgItem(window, id));
    if (!control || control->item.kind != PlatControlKind::ComboBox)
        return 0;
    const LRESULT result = ComboMessage(*control, message, wParam, lParam);
    if (ChangesTheList(message))
        control->dialog->backend->ControlChanged(*control);
    return result;
}

BOOL SetWindowText(HWND window, const char* text) {
    const std::string value = text ? text : "";
    if (PlatDialog* dialog = PlatFindDialog(window)) {
        dialog->title = value;
        dialog->backend->DialogChanged(*dialog);
        return TRUE;
    }
    PlatControl* control = PlatFindControl(window);
    if (!control)
        return FALSE;
    control->text = value;
    control->dialog->backend->ControlChanged(*control);
    return TRUE;
}

int GetWindowText(HWND window, char* buffer, int size) {
    const PlatDialog* dialog = PlatFindDialog(window);
    const PlatControl* control = PlatFindControl(window);
    if ((!dialog && !control) || !buffer || size <= 0)
        return 0;
    const std::string& text = dialog ? dialog->title : control->text;
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    const PlatDialog* dialog = PlatFindDialog(window);
    const PlatControl* control = PlatFindControl(window);
    if ((!dialog && !control) || !rect)
        return FALSE;
    *rect = dialog ? dialog->rect : control->rect;
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    RECT outer;
    if (!rect || !GetWindowRect(window, &outer))
        return FALSE;
    *rect = RECT{0, 0, outer.right - outer.left, outer.bottom - outer.top};
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
    PlatDialog* dialog = PlatFindDialog(window);
    if (!dialog)
        return FALSE;
    RECT& rect = dialog->rect;
    const LONG width = (flags & SWP_NOSIZE) ? rect.right - rect.left : cx;
    const LONG height = (flags & SWP_NOSIZE) ? rect.bottom - rect.top : cy;
    if (!(flags & SWP_NOMOVE)) {
        rect.left = x;
        rect.top = y;
    }
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    dialog->backend->DialogChanged(*dialog);
    return TRUE;
}

std::unique_ptr<PlatWebBrowser> PlatCreateWebBrowser(HWND host) {
    PlatControl* control = PlatFindControl(host);
    return control ? control->dialog->backend->CreateWebBrowser(*control) : nullptr;
}
