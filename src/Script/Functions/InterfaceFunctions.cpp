#include "Core/AppState.h"
#include "Core/PTask.h"
#include "Game/PGameData.h"
#include "Interface/InterfacePages.h"
#include "Interface/PInterface.h"
#include "Interface/SPFontManager.h"
#include "Script/Functions/ObjectFunctions.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/PScriptManager.h"
#include "Script/ScriptCall.h"

#include <array>

namespace {

CPInterface* Page(const ScriptCall& call) {
    return call.ObjectAs<CPInterface>(1);
}

CPWindow* Window(const ScriptCall& call) {
    CPInterface* page = Page(call);
    return page ? page->FindWindow(call.LooseText(2)) : nullptr;
}

PageText* Text(const ScriptCall& call) {
    CPInterface* page = Page(call);
    return page ? page->texts.Find(call.LooseText(2)) : nullptr;
}

CPEditBox* EditBox(const ScriptCall& call) {
    CPInterface* page = Page(call);
    if (!page)
        return nullptr;
    CPRefPtr<CPEditBox>* box = page->editBoxes.Find(call.LooseText(2));
    return box ? box->Get() : nullptr;
}

std::string GameText(const std::string& key) {
    return g_GameData ? g_GameData->GetText(key) : std::string();
}

void BuildText(const PageText& entry, float x, float y, const std::string& font, const std::string& text) {
    if (g_FontManager)
        g_FontManager->BuildText(entry.textObject, x, y, font, text);
}

// The page lives until the script manager goes: the handle the scripts hold
// stays valid for the whole game.
int CreateInterface(lua_State* L) {
    ScriptCall call(L);
    auto* page = new CPInterface();
    page->Load(call.LooseText(1), call.Int(2));
    if (g_ScriptManager)
        g_ScriptManager->KeepModel([page] { delete page; });
    call.PushObject(page);
    return call.Results();
}

int ActivateInterface(lua_State* L) {
    if (CPInterface* page = Page(ScriptCall(L)))
        page->Activate(PRIORITY_INTERFACE);
    return 0;
}

int SilentActivateInterface(lua_State* L) {
    if (CPInterface* page = Page(ScriptCall(L)))
        page->ActivateQuiet(PRIORITY_INTERFACE);
    return 0;
}

int UpdateInterface(lua_State* L) {
    if (CPInterface* page = Page(ScriptCall(L)))
        page->Render();
    return 0;
}

int UpdateInterfaceBuffers(lua_State* L) {
    if (CPInterface* page = Page(ScriptCall(L)))
        page->UpdateBuffers();
    return 0;
}

int IMenuRight(lua_State*) {
    BroadcastMenuRight();
    return 0;
}

int IMenuLeft(lua_State*) {
    BroadcastMenuLeft();
    return 0;
}

int DeselectCurrentButton(lua_State* L) {
    if (CPInterface* page = Page(ScriptCall(L)))
        page->DeselectFocused();
    return 0;
}

int SetWindowVisible(lua_State* L) {
    const ScriptCall call(L);
    if (CPWindow* window = Window(call))
        window->SetVisible(call.Bool(3));
    return 0;
}

void MoveWindow(lua_State* L, float offset) {
    const ScriptCall call(L);
    if (CPWindow* window = Window(call)) {
        window->x = call.Float(3) - offset;
        window->y = call.Float(4) - offset;
    }
}

int SetWindowPosition(lua_State* L) {
    MoveWindow(L, 0);
    return 0;
}

// The page loader places windows half a pixel up and left of their layout.
int SetWindowPositionShop(lua_State* L) {
    MoveWindow(L, 0.5f);
    return 0;
}

int GetWindowPosition(lua_State* L) {
    ScriptCall call(L);
    const CPWindow* window = Window(call);
    call.PushNumber(window ? window->x : -1.0);
    call.PushNumber(window ? window->y : -1.0);
    return call.Results();
}

int SetWindowSize(lua_State* L) {
    const ScriptCall call(L);
    if (CPWindow* window = Window(call))
        window->SetSize(call.Float(3), call.Float(4));
    return 0;
}

int SetCursor(lua_State* L) {
    const ScriptCall call(L);
    const std::string name = call.StrictText(2);
    if (CPInterface* page = Page(call))
        page->SetCursor(name);
    return 0;
}

int GetCursor(lua_State* L) {
    ScriptCall call(L);
    if (const CPInterface* page = Page(call))
        call.PushText(page->cursorName);
    return call.Results();
}

// Texts keep their last state once the game is ending: the pages are going.
void SetPageText(lua_State* L, bool fromTable) {
    const ScriptCall call(L);
    CPInterface* page = Page(call);
    if (g_AppExiting || !page)
        return;
    const std::string text = call.LooseText(3);
    page->SetPageText(call.LooseText(2), fromTable ? GameText(text) : text);
}

int SetText(lua_State* L) {
    SetPageText(L, false);
    return 0;
}

int SetTextString(lua_State* L) {
    SetPageText(L, true);
    return 0;
}

int SetTextPosition(lua_State* L) {
    const ScriptCall call(L);
    if (PageText* entry = Text(call)) {
        entry->x = call.Float(3);
        entry->y = call.Float(4);
        BuildText(*entry, entry->x, entry->y, entry->font, entry->text);
    }
    return 0;
}

int GetTextPosition(lua_State* L) {
    ScriptCall call(L);
    const PageText* entry = Text(call);
    call.PushNumber(entry ? entry->x : -1.0);
    call.PushNumber(entry ? entry->y : -1.0);
    return call.Results();
}

// Shows the text in another font without storing either in the entry.
void ShowInFont(lua_State* L, bool fromTable) {
    const ScriptCall call(L);
    if (const PageText* entry = Text(call)) {
        const std::string text = call.LooseText(4);
        BuildText(*entry, entry->x, entry->y, call.LooseText(3), fromTable ? GameText(text) : text);
    }
}

int SetFont(lua_State* L) {
    ShowInFont(L, false);
    return 0;
}

int SetFontString(lua_State* L) {
    ShowInFont(L, true);
    return 0;
}

int SetEditBoxText(lua_State* L) {
    const ScriptCall call(L);
    if (CPEditBox* box = EditBox(call))
        box->SetText(call.LooseText(3));
    return 0;
}

int EditBoxProcessKey(lua_State* L) {
    const ScriptCall call(L);
    if (CPEditBox* box = EditBox(call))
        box->ProcessKey(call.Int(3));
    return 0;
}

int EditBoxTextLength(lua_State* L) {
    ScriptCall call(L);
    if (Page(call)) {
        const CPEditBox* box = EditBox(call);
        call.PushNumber(box ? static_cast<double>(box->text.size()) : 0.0);
    }
    return call.Results();
}

int GetEditBoxText(lua_State* L) {
    ScriptCall call(L);
    if (Page(call)) {
        const CPEditBox* box = EditBox(call);
        call.PushText(box ? box->text : std::string());
    }
    return call.Results();
}

constexpr std::array kInterfaceFunctions = std::to_array<ScriptFunction>({
    {"CreateInterface", CreateInterface},
    {"ActivateInterface", ActivateInterface},
    {"SilentActivateInterface", SilentActivateInterface},
    {"DeactivateInterface", DeactivateObject},
    {"UpdateInterface", UpdateInterface},
    {"UpdateInterfaceBuffers", UpdateInterfaceBuffers},
    {"IMenuRight", IMenuRight},
    {"IMenuLeft", IMenuLeft},
    {"DeselectCurrentButton", DeselectCurrentButton},
    {"SetWindowVisible", SetWindowVisible},
    {"SetWindowPosition", SetWindowPosition},
    {"SetWindowPositionShop", SetWindowPositionShop},
    {"GetWindowPosition", GetWindowPosition},
    {"SetWindowSize", SetWindowSize},
    {"SetCursor", SetCursor},
    {"GetCursor", GetCursor},
    {"SetText", SetText},
    {"SetTextString", SetTextString},
    {"SetTextPosition", SetTextPosition},
    {"GetTextPosition", GetTextPosition},
    {"SetFont", SetFont},
    {"SetFontString", SetFontString},
    {"SetEditBoxText", SetEditBoxText},
    {"EditBoxProcessKey", EditBoxProcessKey},
    {"EditBoxTextLength", EditBoxTextLength},
    {"GetEditBoxText", GetEditBoxText},
});

} // namespace

ScriptFunctionTable InterfaceFunctions() {
    return kInterfaceFunctions;
}
