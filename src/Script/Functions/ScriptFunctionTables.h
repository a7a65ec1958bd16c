#pragma once

#include "lua.hpp"

#include <span>
#include <vector>

// A script function: registered as a global of every script's state.
struct ScriptFunction {
    const char* name;
    lua_CFunction function;
};

using ScriptFunctionTable = std::span<const ScriptFunction>;

// The tables in registration order; a later entry of a name replaces an
// earlier one.
const std::vector<ScriptFunctionTable>& ScriptFunctionTables();

// Registers every table's functions as globals of the state.
void RegisterScriptFunctions(lua_State* L);

// The object and task functions: reading and sending commands, handles,
// objects, animations, activation, fade, buttons, ending the program, music.
ScriptFunctionTable ObjectFunctions();
