#include "Interface/InterfacePages.h"

#include "Core/PSettings.h"
#include "Interface/PInterface.h"
#include "Interface/PointText.h"
#include "Script/PScriptManager.h"

std::vector<CPInterface*> g_InterfacePages;

namespace {

// Newest page first. The index is checked on every step: a page may be
// removed by what the call does.
template <class Visit>
void ForEachPage(Visit&& visit) {
    for (std::size_t i = g_InterfacePages.size(); i-- > 0;) {
        if (i < g_InterfacePages.size())
            visit(*g_InterfacePages[i]);
    }
}

} // namespace

void BroadcastMouseMove(float x, float y) {
    SendCategoryCommand(
        "interface", "mouse_move",
        PointText(x / static_cast<float>(g_ScreenWidth), y / static_cast<float>(g_ScreenHeight)));
    ForEachPage([&](CPInterface& page) { page.OnMouseMove(x, y); });
}

void BroadcastMouseDown(int button, float x, float y) {
    ForEachPage([&](CPInterface& page) { page.OnMouseDown(button, x, y); });
}

void BroadcastMouseUp(int button, float x, float y) {
    ForEachPage([&](CPInterface& page) { page.OnMouseUp(button, x, y); });
}

void BroadcastEnterPress() {
    ForEachPage([](CPInterface& page) { page.PressFocused(); });
}

void BroadcastEnterRelease() {
    ForEachPage([](CPInterface& page) { page.ReleaseFocused(); });
}

void BroadcastKeyUp() {
    ForEachPage([](CPInterface& page) { page.SendMenuDown(); });
}

void BroadcastKeyDown() {
    ForEachPage([](CPInterface& page) { page.SendMenuUp(); });
}

void BroadcastKeyLeft() {
    ForEachPage([](CPInterface& page) { page.SendMenuLeft(); });
}

void BroadcastKeyRight() {
    ForEachPage([](CPInterface& page) { page.SendMenuRight(); });
}

void BroadcastMenuRight() {
    ForEachPage([](CPInterface& page) { page.FocusNext(); });
}

void BroadcastMenuLeft() {
    ForEachPage([](CPInterface& page) { page.FocusPrevious(); });
}
