#pragma once

#include "lua.hpp"

#include <span>

// A script function: registered as a global of every script's state.
struct ScriptFunction {
    const char* name;
    lua_CFunction function;
};

using ScriptFunctionTable = std::span<const ScriptFunction>;

// Adds the table to those every script state created afterwards receives.
// Tables are registered in the order added, so a later entry of a name
// replaces an earlier one; a table added again is ignored.
void AddScriptFunctionTable(ScriptFunctionTable table);

// Registers every added table's functions as globals of the state.
void RegisterScriptFunctions(lua_State* L);
