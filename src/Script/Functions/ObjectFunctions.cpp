#include "Script/Functions/ObjectFunctions.h"
#include "Core/ObjectHandle.h"
#include "Core/PGlobalTimer.h"
#include "Core/PObject.h"
#include "Core/PTaskManager.h"
#include "Game/ObjectDescription.h"
#include "Game/PGameObject.h"
#include "Game/PMeshManager.h"
#include "Interface/PInterface.h"
#include "Render/PRender.h"
#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/PLuaScript.h"
#include "Script/PScriptManager.h"
#include "Script/ScriptCall.h"
#include "Sound/PMusic.h"

#include <array>

namespace {

int GetDeltaTime(lua_State* L) {
    ScriptCall call(L);
    call.PushNumber(g_FrameTime);
    return call.Results();
}

int AddRef(lua_State* L) {
    if (CPObject* object = ScriptCall(L).Object(1))
        object->AddRef();
    return 0;
}

int DumpObjects(lua_State*) {
    return 0;
}

int Release(lua_State* L) {
    if (CPObject* object = ScriptCall(L).Object(1))
        object->Release();
    return 0;
}

int SendCommandByName(lua_State* L) {
    const ScriptCall call(L);
    const std::string name = call.StrictText(1), command = call.StrictText(2), params = call.StrictText(3);
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByName(name, command, params);
    return 0;
}

// Anything but a script handle sends nothing and reads no text.
int SendCommandByObject(lua_State* L) {
    const ScriptCall call(L);
    CPLuaScript* script = call.ObjectAs<CPLuaScript>(1);
    if (!script)
        return 0;
    const std::string command = call.StrictText(2), params = call.StrictText(3);
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByObject(script, command, params);
    return 0;
}

int SendCommandByCategory(lua_State* L) {
    const ScriptCall call(L);
    const std::string category = call.StrictText(1), command = call.StrictText(2),
                      params = call.StrictText(3);
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByCategory(category, command, params);
    return 0;
}

int SetNextCommand(lua_State* L) {
    ScriptCall call(L);
    CPLuaScript* script = call.ObjectAs<CPLuaScript>(1);
    call.PushBool(script && script->SetNextCommand());
    return call.Results();
}

// Nothing for a null script; nil when no command is current.
int GetCurrentCommand(lua_State* L) {
    ScriptCall call(L);
    CPLuaScript* script = call.ObjectAs<CPLuaScript>(1);
    if (!script)
        return 0;
    const ScriptCommand* command = script->GetCurrentCommand();
    if (!command) {
        lua_pushnil(L);
        return 1;
    }
    call.PushText(command->name);
    return call.Results();
}

int GetCurrentParams(lua_State* L) {
    ScriptCall call(L);
    CPLuaScript* script = call.ObjectAs<CPLuaScript>(1);
    const ScriptCommand* command = script ? script->GetCurrentCommand() : nullptr;
    if (command)
        call.PushTexts(command->params);
    return call.Results();
}

int PointerToString(lua_State* L) {
    ScriptCall call(L);
    call.PushText(::PointerToString(lua_touserdata(L, 1)));
    return call.Results();
}

// A text naming no live object gives the null handle.
int StringToPointer(lua_State* L) {
    ScriptCall call(L);
    call.PushObject(ResolveHandle(StringToAddress(call.StrictText(1))));
    return call.Results();
}

// Places the object and its subtree at once as if its parent stood at the
// given pose; a later update of a real parent moves it back.
int SetPTransformation(lua_State* L) {
    const ScriptCall call(L);
    CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    if (!object)
        return 0;
    D3DXMATRIX rotation, translation;
    D3DXMatrixRotationYawPitchRoll(&rotation, call.Float(5), call.Float(6), call.Float(7));
    D3DXMatrixTranslation(&translation, call.Float(2), call.Float(3), call.Float(4));
    D3DXMatrixMultiply(&object->parentMatrix, &rotation, &translation);
    object->transformChanged = false;
    object->dirty = true;
    object->UpdateHierarchy();
    return 0;
}

// Raises unless argument 1 is text or a number; returns the last argument.
int CheckString(lua_State* L) {
    luaL_checkstring(L, 1); // also turns a number into its text in place
    return 1;
}

// The first object of that exact name in the object's tree, itself first.
CPGameObject* FindInTree(CPGameObject& object, const std::string& name) {
    std::vector<CPRefPtr<CPGameObject>> tree;
    object.CollectTree(tree);
    for (const CPRefPtr<CPGameObject>& member : tree) {
        if (member->GetName() == name)
            return member.Get();
    }
    return nullptr;
}

int GetChildObject(lua_State* L) {
    ScriptCall call(L);
    CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    const std::string name = call.StrictText(2);
    call.PushObject(object ? FindInTree(*object, name) : nullptr);
    return call.Results();
}

int SetVisible(lua_State* L) {
    const ScriptCall call(L);
    if (CPGameObject* object = call.ObjectAs<CPGameObject>(1))
        object->SetVisible(call.Bool(2));
    return 0;
}

int SetCollision(lua_State* L) {
    const ScriptCall call(L);
    if (CPGameObject* object = call.ObjectAs<CPGameObject>(1))
        object->collision = call.Bool(2);
    return 0;
}

int SplitString(lua_State* L) {
    ScriptCall call(L);
    const std::string text = call.StrictText(1), separator = call.StrictText(2);
    call.PushTexts(SplitFields(text, separator));
    return call.Results();
}

// The model of the description in Data\Meshes, neither activated nor
// placed in a level; it holds a reference for the script and lives as
// long as the script manager.
int LoadRenderObject(lua_State* L) {
    ScriptCall call(L);
    const std::string fileName = call.StrictText(1);
    const int priority = TruncateToInt(call.StrictNumber(2));
    CPGameObject* model = nullptr;
    if (g_MeshManager && g_ScriptManager) {
        CPRefPtr<CPGameObject> loaded;
        g_MeshManager->LoadObject(loaded, fileName, priority);
        model = loaded.Get();
    }
    if (model) {
        g_ScriptManager->KeepModel([model] { CPMeshManager::DeleteModel(model); });
        model->AddRef();
    }
    call.PushObject(model);
    return call.Results();
}

// Submits the object to the renderer's main block for this frame.
int DrawDynamicObject(lua_State* L) {
    CPSceneObject* object = ScriptCall(L).ObjectAs<CPSceneObject>(1);
    CPRenderBlock* block = g_Render ? g_Render->GetRenderBlock().Get() : nullptr;
    if (object && block)
        block->AddObject(object);
    return 0;
}

// An animation that is already playing goes on undisturbed.
int SetAnimation(lua_State* L) {
    const ScriptCall call(L);
    CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    if (object)
        object->StartAnimation(ReadAnimationRequest(call), false);
    return 0;
}

int GetParentObject(lua_State* L) {
    ScriptCall call(L);
    CPGameObject* object = call.ObjectAs<CPGameObject>(1);
    call.PushObject(object ? object->GetParent().Get() : nullptr);
    return call.Results();
}

int ActivateObject(lua_State* L) {
    const ScriptCall call(L);
    if (CPGameObject* object = call.ObjectAs<CPGameObject>(1))
        object->Activate(call.Int(2));
    return 0;
}

int DeactivateObject(lua_State* L) {
    if (CPGameObject* object = ScriptCall(L).ObjectAs<CPGameObject>(1))
        object->Deactivate();
    return 0;
}

int SetFade(lua_State* L) {
    const float level = ScriptCall(L).Float(1);
    if (g_Render)
        g_Render->SetFade(level);
    return 0;
}

// The handle is a live object of any class: only a page has buttons.
CPInterface* PageArgument(const ScriptCall& call) {
    return dynamic_cast<CPInterface*>(call.Object(1));
}

int LockButton(lua_State* L) {
    const ScriptCall call(L);
    if (CPInterface* page = PageArgument(call))
        page->LockButton(call.LooseText(2));
    return 0;
}

int UnlockButton(lua_State* L) {
    const ScriptCall call(L);
    if (CPInterface* page = PageArgument(call))
        page->UnlockButton(call.LooseText(2));
    return 0;
}

// Every task, the caller included, is removed at its next turn; the
// calling script still finishes its current resume.
int KillAllTasks(lua_State*) {
    if (g_TaskManager)
        g_TaskManager->KillAllTasks();
    return 0;
}

int ToInt(lua_State* L) {
    ScriptCall call(L);
    call.PushNumber(call.Int(1));
    return call.Results();
}

int PlayMusic(lua_State* L) {
    const std::string fileName = ScriptCall(L).LooseText(1);
    if (g_Music)
        g_Music->Play(fileName, true);
    return 0;
}

constexpr std::array<ScriptFunction, 30> kObjectFunctions = {{
    {"GetDeltaTime", GetDeltaTime},
    {"AddRef", AddRef},
    {"DumpObjects", DumpObjects},
    {"Release", Release},
    {"SendCommandByName", SendCommandByName},
    {"SendCommandByObject", SendCommandByObject},
    {"SendCommandByCategory", SendCommandByCategory},
    {"SetNextCommand", SetNextCommand},
    {"GetCurrentCommand", GetCurrentCommand},
    {"GetCurrentParams", GetCurrentParams},
    {"PointerToString", PointerToString},
    {"StringToPointer", StringToPointer},
    {"SetPTransformation", SetPTransformation},
    {"CheckString", CheckString},
    {"GetChildObject", GetChildObject},
    {"SetVisible", SetVisible},
    {"SetCollision", SetCollision},
    {"SplitString", SplitString},
    {"LoadRenderObject", LoadRenderObject},
    {"DrawDynamicObject", DrawDynamicObject},
    {"SetAnimation", SetAnimation},
    {"GetParentObject", GetParentObject},
    {"ActivateObject", ActivateObject},
    {"DeactivateObject", DeactivateObject},
    {"SetFade", SetFade},
    {"LockButton", LockButton},
    {"UnlockButton", UnlockButton},
    {"KillAllTasks", KillAllTasks},
    {"ToInt", ToInt},
    {"PlayMusic", PlayMusic},
}};

} // namespace

AnimationRequest ReadAnimationRequest(const ScriptCall& call) {
    AnimationRequest request;
    request.name = call.LooseText(2);
    request.speed = call.Float(3);
    request.loopCount = call.Int(4);
    request.reportFrame = call.Int(5);
    request.callback = call.ObjectAs<CPLuaScript>(6);
    return request;
}

ScriptFunctionTable ObjectFunctions() {
    return kObjectFunctions;
}
