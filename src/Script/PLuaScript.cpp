#include "Script/PLuaScript.h"

#include "Core/LiveObjects.h"
#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Script/ScriptCall.h"
#include "Script/ScriptFunctionRegistry.h"

#include "lua.hpp"

#include <cstdlib>
#include <string>

namespace {

constexpr const char* kScriptErrorFormat = "\nScript Error!\n%s\n";

// How often the count hook looks at a running script, in VM instructions.
constexpr int kHookInterval = 1000000;

// Lua's allocator over the script's budget: a request that would take the
// state past it fails, which Lua raises as "not enough memory".
void* BudgetedAlloc(void* userData, void* block, size_t oldSize, size_t newSize) {
    auto& limits = *static_cast<SPScriptLimits*>(userData);
    if (newSize == 0) {
        std::free(block);
        limits.used -= oldSize;
        return nullptr;
    }
    if (newSize > oldSize && newSize - oldSize > limits.memoryBudget - limits.used)
        return nullptr;
    void* grown = std::realloc(block, newSize);
    if (grown)
        limits.used = limits.used - oldSize + newSize;
    return grown;
}

// Stops a script that has run too long without giving the frame back.
// Past the limit the hook fires at every instruction, so a script catching
// the error with pcall meets it again as soon as it goes on.
void CountHook(lua_State* L, lua_Debug*) {
    void* userData = nullptr;
    lua_getallocf(L, &userData);
    auto& limits = *static_cast<SPScriptLimits*>(userData);
    limits.steps += limits.stepsPerHook;
    if (limits.steps < limits.stepLimit)
        return;
    if (limits.stepsPerHook != 1) {
        limits.stepsPerHook = 1;
        lua_sethook(L, CountHook, LUA_MASKCOUNT, 1);
    }
    luaL_error(L, "the script ran %s instructions without calling Update and is stopped",
               std::to_string(limits.stepLimit).c_str());
}

// The global Update: hands the frame back.
int YieldFrame(lua_State* L) {
    lua_pushnumber(L, kScriptWaitValue);
    return lua_yield(L, 1);
}

// Lua 5.1 wants its library openers called like Lua functions.
void OpenLibrary(lua_State* L, lua_CFunction opener, const char* name) {
    lua_pushcfunction(L, opener);
    lua_pushstring(L, name);
    lua_call(L, 1, 0);
}

// The error value at the top of the stack as text.
std::string ErrorText(lua_State* L) {
    if (const char* text = lua_tostring(L, -1))
        return text;
    return std::string("(error object is a ") + luaL_typename(L, -1) + " value)";
}

} // namespace

int ScriptPanic(lua_State* L) {
    const char* message = lua_tostring(L, 1);
    GetLog().Print(0, kScriptErrorFormat, message ? message : "(error object is not a string)");
    return 0;
}

CPLuaScript::CPLuaScript() : limits(std::make_unique<SPScriptLimits>()) {
    RegisterLiveObject(this);
}

CPLuaScript::~CPLuaScript() {
    UnregisterLiveObject(this);
    CloseState();
}

void CPLuaScript::CloseState() {
    if (luaState)
        lua_close(luaState);
    luaState = nullptr;
    luaThread = nullptr;
}

int CPLuaScript::Load(const std::string& name) {
    scriptName = name;
    CPFileReader reader("Data\\Scripts\\" + name + ".lua", false);
    const HRESULT status = reader.Load();
    if (FAILED(status))
        return status;
    sourceText.assign(reader.GetData(), reader.GetData() + reader.GetSize());
    CreateState();
    if (!luaThread) {
        deadReason = scriptName + ": no Lua state";
        return 0;
    }
    if (luaL_loadbuffer(luaThread, sourceText.data(), sourceText.size(), scriptName.c_str()) != 0) {
        deadReason = ErrorText(luaThread);
        lua_settop(luaThread, 0);
        return 0;
    }
    resumable = true;
    lua_pushlightuserdata(luaThread, static_cast<CPObject*>(this));
    lua_setfield(luaThread, LUA_GLOBALSINDEX, "globalObject");
    return 0;
}

void CPLuaScript::CreateState() {
    luaState = lua_newstate(BudgetedAlloc, limits.get());
    if (!luaState)
        return;
    OpenLibrary(luaState, luaopen_base, "");
    OpenLibrary(luaState, luaopen_io, LUA_IOLIBNAME);
    OpenLibrary(luaState, luaopen_os, LUA_OSLIBNAME);
    OpenLibrary(luaState, luaopen_string, LUA_STRLIBNAME);
    OpenLibrary(luaState, luaopen_math, LUA_MATHLIBNAME);
    OpenLibrary(luaState, luaopen_table, LUA_TABLIBNAME);
    lua_atpanic(luaState, ScriptPanic);
    lua_register(luaState, "Update", YieldFrame);
    RegisterScriptFunctions(luaState);
    // The coroutine stays on the main state's stack, which keeps the
    // collector from freeing it.
    luaThread = lua_newthread(luaState);
}

bool CPLuaScript::Start() {
    if (!CPTask::Start())
        return false;
    finished = false;
    return true;
}

void CPLuaScript::Update() {
    if (finished)
        return;
    if (!resumable || !luaThread) {
        Fail(deadReason, true);
        return;
    }
    // Setting the hook again restarts its count: every frame starts afresh.
    limits->steps = 0;
    limits->stepsPerHook = kHookInterval;
    lua_sethook(luaThread, CountHook, LUA_MASKCOUNT, kHookInterval);
    HandleResult(lua_resume(luaThread, 0));
}

void CPLuaScript::HandleResult(int status) {
    // A coroutine that returned or raised an error cannot be resumed again.
    if (status != LUA_YIELD) {
        resumable = false;
        deadReason = scriptName + ": cannot resume dead coroutine";
    }
    if (status != 0 && status != LUA_YIELD) {
        Fail(ErrorText(luaThread), lua_isstring(luaThread, -1) != 0);
        // The dead coroutine is never resumed: its memory goes back now.
        CloseState();
        return;
    }
    // Nothing the script was meant to drive happens any more.
    if (status == 0)
        GetLog().Print(0, "The script %s ended\n", scriptName.c_str());
    finished = !YieldedWaitValue();
    lua_settop(luaThread, 0);
}

// The first value the coroutine handed back is the wait value.
bool CPLuaScript::YieldedWaitValue() const {
    return lua_gettop(luaThread) > 0 && lua_isnumber(luaThread, 1) &&
           TruncateToInt(lua_tonumber(luaThread, 1)) == kScriptWaitValue;
}

void CPLuaScript::Fail(const std::string& message, bool stopTask) {
    GetLog().Print(0, kScriptErrorFormat, message.c_str());
    finished = true;
    if (stopTask)
        killFlag = true;
}

bool CPLuaScript::Receive(const ScriptCommand& command) {
    if (!running || !resumable)
        return false;
    commandQueue.push_front(command);
    return true;
}

void CPLuaScript::SendReleaseAll() {
    commandQueue.push_front(ScriptCommand("release_all", ""));
}

bool CPLuaScript::SetNextCommand() {
    if (commandQueue.empty())
        return false;
    if (hasCurrentCommand)
        commandQueue.pop_back();
    hasCurrentCommand = !commandQueue.empty();
    return hasCurrentCommand;
}

const ScriptCommand* CPLuaScript::GetCurrentCommand() const {
    return hasCurrentCommand ? &commandQueue.back() : nullptr;
}
