#include "Interface/PInterface.h"

#include <algorithm>

void CPInterface::RebuildWhen(bool changed) {
    if (changed)
        UpdateBuffers();
}

bool CPInterface::IsInFocusList(const CPWindow* element) const {
    return std::any_of(focusList.begin(), focusList.end(),
                       [&](const CPRefPtr<CPWindow>& control) { return control.Get() == element; });
}

void CPInterface::HoverPass(float px, float py, bool navigation) {
    bool changed = false;
    if (focused && !focused->HitTest(px, py)) {
        changed = focused->OnMouseOut(px, py);
        focused = nullptr;
    }
    // The element drawn on top is hit first.
    for (auto element = elements.rbegin(); element != elements.rend(); ++element) {
        CPWindow& candidate = **element;
        if (!candidate.enabled || !candidate.visible || !candidate.HitTest(px, py))
            continue;
        focused = &candidate;
        if (candidate.OnMouseOver(px, py)) {
            UpdateBuffers();
            return;
        }
        if (navigation)
            focused = nullptr;
        break;
    }
    RebuildWhen(changed);
}

void CPInterface::HoverAt(float px, float py) {
    HoverPass(px, py, true);
}

void CPInterface::OnMouseMove(float px, float py) {
    pointerX = px;
    pointerY = py;
    if (!pageActive || !cursor)
        return;
    cursor->SetPosition(D3DXVECTOR3(px, py, 0));
    cursor->UpdateHierarchy();
    HoverPass(px, py, false);
}

void CPInterface::OnMouseDown(int button, float px, float py) {
    if (focused)
        RebuildWhen(focused->OnMouseDown(button, px, py));
}

void CPInterface::OnMouseUp(int button, float px, float py) {
    if (focused)
        RebuildWhen(focused->OnMouseUp(button, px, py));
}

void CPInterface::FocusStep(int step) {
    const int count = static_cast<int>(focusList.size());
    const auto usable = [&](int index) {
        const CPWindow& control = *focusList[static_cast<std::size_t>(index)];
        return control.enabled && control.visible;
    };
    const auto at = [&](int index) -> CPWindow& { return *focusList[static_cast<std::size_t>(index)]; };
    const auto current = std::find(focusList.begin(), focusList.end(), focused);
    if (focused && current != focusList.end()) {
        // The focused control itself comes last, after the whole round.
        const int from = static_cast<int>(current - focusList.begin());
        for (int k = 1; k <= count; ++k) {
            const int index = ((from + step * k) % count + count) % count;
            if (usable(index)) {
                HoverAt(at(index).x + 1, at(index).y + 1);
                return;
            }
        }
        return;
    }
    // Nothing focused: forward starts at the first control, probing it one
    // pixel inside; backward starts at the last. Any other control found is
    // probed two pixels right of its corner.
    const int start = step > 0 ? 0 : count - 1;
    if (step > 0 && usable(start)) {
        HoverAt(at(start).x + 1, at(start).y + 1);
        return;
    }
    for (int index = step > 0 ? start + 1 : start; index >= 0 && index < count; index += step) {
        if (usable(index)) {
            HoverAt(at(index).x + 2, at(index).y);
            return;
        }
    }
}

void CPInterface::FocusNext() {
    if (pageActive && !focusList.empty())
        FocusStep(1);
}

void CPInterface::FocusPrevious() {
    if (pageActive && !focusList.empty())
        FocusStep(-1);
}

void CPInterface::PressFocused() {
    if (pageActive && focused && IsInFocusList(focused.Get()))
        RebuildWhen(focused->OnMouseDown(0, focused->x + 1, focused->y + 1));
}

void CPInterface::ReleaseFocused() {
    if (pageActive && focused && IsInFocusList(focused.Get()))
        RebuildWhen(focused->OnMouseUp(0, focused->x + 1, focused->y + 1));
}

void CPInterface::SendMenuCommand(const char* command) {
    if (pageActive)
        SendPageCommand(command, "");
}

void CPInterface::SendMenuUp() {
    SendMenuCommand("menu_up");
}

void CPInterface::SendMenuDown() {
    SendMenuCommand("menu_down");
}

void CPInterface::SendMenuLeft() {
    SendMenuCommand("menu_left");
}

void CPInterface::SendMenuRight() {
    SendMenuCommand("menu_right");
}

void CPInterface::LockButton(const std::string& elementName) {
    CPWindow* element = FindWindow(elementName);
    if (!element)
        return;
    element->SetEnabled(false);
    if (focused.Get() == element) {
        element->OnMouseOut(0, 0);
        focused = nullptr;
    }
}

void CPInterface::UnlockButton(const std::string& elementName) {
    if (CPWindow* element = FindWindow(elementName))
        element->SetEnabled(true);
}

void CPInterface::DeselectFocused() {
    if (!focused || !IsInFocusList(focused.Get()))
        return;
    focused->OnMouseOut(pointerX, pointerY);
    focused = nullptr;
}
