#pragma once

#include "Script/Functions/ScriptFunctionTables.h"
#include "Script/ScriptFunctionRegistry.h"

#include <gtest/gtest.h>

#include <string>

// A Lua state with the standard libraries and every script function, for
// running snippets the way a script would.
class LuaRunner {
public:
    LuaRunner() {
        AddScriptFunctionTables();
        luaL_openlibs(L);
        RegisterScriptFunctions(L);
    }
    ~LuaRunner() { lua_close(L); }
    LuaRunner(const LuaRunner&) = delete;
    LuaRunner& operator=(const LuaRunner&) = delete;

    void SetHandle(const char* name, const void* address) {
        lua_pushlightuserdata(L, const_cast<void*>(address));
        lua_setglobal(L, name);
    }
    // Runs Lua code; "" when it ran, else the error message.
    std::string Run(const std::string& code) {
        if (luaL_dostring(L, code.c_str()) == 0)
            return "";
        std::string message = lua_tostring(L, -1);
        lua_pop(L, 1);
        return message;
    }
    // The expression's (first) value as text.
    std::string Eval(const std::string& expression) { return Values("tostring(" + expression + ")"); }
    // Every value of the expression list as text, joined by ",".
    std::string Values(const std::string& expressions) {
        EXPECT_EQ(
            Run("local function pack(...) return {n = select('#', ...), ...} end local v = pack(" +
                expressions +
                ") local t = {} for i = 1, v.n do t[i] = tostring(v[i]) end result = table.concat(t, ',')"),
            "")
            << expressions;
        lua_getglobal(L, "result");
        std::string text = lua_tostring(L, -1);
        lua_pop(L, 1);
        return text;
    }

    lua_State* L = luaL_newstate();
};
