#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Input/NInput.h"
#include "Platform/FileSystem.h"
#include "Platform/Graphics/TextureLoader.h"
#include "Platform/Win32Shell.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/PLuaScript.h"
#include "Script/ScriptCall.h"

#include <array>

namespace {

constexpr const char* kActionsFile = "Actions.cfg";

int SetActions(lua_State* L) {
    const bool enabled = ScriptCall(L).Bool(1);
    if (g_Input)
        g_Input->actionsEnabled = enabled;
    g_FrameTime = 0;
    return 0;
}

int SaveActions(lua_State*) {
    if (g_Input)
        g_Input->SaveActions(kActionsFile);
    return 0;
}

// The bindings as written take effect at once.
int UpdateActions(lua_State*) {
    if (g_Input && SUCCEEDED(g_Input->SaveActions(kActionsFile)))
        g_Input->LoadActions(kActionsFile);
    return 0;
}

int LoadActions(lua_State* L) {
    const std::string name = ScriptCall(L).LooseText(1);
    if (g_Input)
        g_Input->LoadActions(name);
    return 0;
}

// The count is the length of the two tables (one entry per listed action,
// in list order); an action without a binding reads as empty texts.
int GetActionNames(lua_State* L) {
    ScriptCall call(L);
    std::vector<std::string> keys;
    std::vector<std::string> labels;
    if (g_Input) {
        for (const std::string& name : g_Input->actionNames) {
            const ActionBinding* binding = g_Input->actionMap.Find(name);
            keys.push_back(binding ? binding->keyName : std::string());
            labels.push_back(binding ? binding->text : std::string());
        }
    }
    call.PushNumber(static_cast<double>(keys.size()));
    call.PushTextTable(keys);
    call.PushTextTable(labels);
    return call.Results();
}

int SetAssignKey(lua_State*) {
    if (g_Input)
        g_Input->assignMode = true;
    return 0;
}

int SetAction(lua_State* L) {
    const ScriptCall call(L);
    const std::string label = call.LooseText(1), keyName = call.LooseText(2);
    if (g_Input)
        g_Input->SetAction(label, keyName, call.Bool(3));
    return 0;
}

int GetMouse(lua_State* L) {
    ScriptCall call(L);
    call.PushNumber(g_MouseSetting);
    return call.Results();
}

int SetMouse(lua_State* L) {
    g_MouseSetting = ScriptCall(L).Float(1);
    return 0;
}

// Anything but a script stops nothing.
int StopScript(lua_State* L) {
    if (CPLuaScript* script = ScriptCall(L).ObjectAs<CPLuaScript>(1))
        script->killFlag = true;
    return 0;
}

int SaveLog(lua_State* L) {
    ScriptCall(L).LooseText(1);
    return 0;
}

// A regular file on disk that can be read; folders, devices and files only
// inside the packs do not count.
bool IsReadableFile(const std::string& path) {
    return PlatOpenFileForReading(PlatResolvePath(path)) != nullptr;
}

int IsFileExists(lua_State* L) {
    ScriptCall call(L);
    call.PushBool(IsReadableFile(call.StrictText(1)));
    return call.Results();
}

// The size of the picture the file holds (loose or in the packs); 0, 0 when
// it cannot be read or decoded.
int GetTextureSize(lua_State* L) {
    ScriptCall call(L);
    CPFileReader reader(call.StrictText(1), false);
    D3DXIMAGE_INFO info;
    if (FAILED(reader.Load()) || FAILED(D3DXGetImageInfoFromFileInMemory(
                                     reader.GetData(), static_cast<UINT>(reader.GetSize()), &info)))
        info = D3DXIMAGE_INFO{};
    call.PushNumber(info.Width);
    call.PushNumber(info.Height);
    return call.Results();
}

void Open(const std::string& target) {
    ShellExecuteA(g_TaskManager ? g_TaskManager->hWnd : nullptr, "open", target.c_str(), "", "",
                  SW_SHOWNORMAL);
}

int GoURL(lua_State* L) {
    const std::string path = ScriptCall(L).StrictText(1);
    if (IsReadableFile(path))
        Open(PlatResolvePath(path));
    return 0;
}

bool IsWebAddress(const std::string& target) {
    return target.starts_with("http://") || target.starts_with("https://");
}

// Only web addresses and documents on disk are opened: anything else could
// start a program.
int GoURLlink(lua_State* L) {
    const std::string target = ScriptCall(L).StrictText(1);
    const std::string path = PlatResolvePath(target);
    if (IsWebAddress(target))
        Open(target);
    else if (PlatIsRegularFile(path))
        Open(path);
    else
        GetLog().Print(0, "Refused to open \"%s\": only web addresses and files are opened\n",
                       target.c_str());
    return 0;
}

constexpr std::array kSystemFunctions = std::to_array<ScriptFunction>({
    {"SetActions", SetActions},
    {"SaveActions", SaveActions},
    {"UpdateActions", UpdateActions},
    {"LoadActions", LoadActions},
    {"GetActionNames", GetActionNames},
    {"SetAssignKey", SetAssignKey},
    {"SetAction", SetAction},
    {"GetMouse", GetMouse},
    {"SetMouse", SetMouse},
    {"StopScript", StopScript},
    {"SaveLog", SaveLog},
    {"IsFileExists", IsFileExists},
    {"GetTextureSize", GetTextureSize},
    {"GoURL", GoURL},
    {"GoURLlink", GoURLlink},
});

} // namespace

ScriptFunctionTable SystemFunctions() {
    return kSystemFunctions;
}
