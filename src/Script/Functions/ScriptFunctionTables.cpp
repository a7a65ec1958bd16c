#include "Script/ScriptFunctionTables.h"

const std::vector<ScriptFunctionTable>& ScriptFunctionTables() {
    static const std::vector<ScriptFunctionTable> tables = {ObjectFunctions()};
    return tables;
}

void RegisterScriptFunctions(lua_State* L) {
    for (const ScriptFunctionTable& table : ScriptFunctionTables()) {
        for (const ScriptFunction& entry : table)
            lua_register(L, entry.name, entry.function);
    }
}
