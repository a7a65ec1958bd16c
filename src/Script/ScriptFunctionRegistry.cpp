#include "Script/ScriptFunctionRegistry.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<ScriptFunctionTable>& AddedTables() {
    static std::vector<ScriptFunctionTable> tables;
    return tables;
}

} // namespace

void AddScriptFunctionTable(ScriptFunctionTable table) {
    std::vector<ScriptFunctionTable>& tables = AddedTables();
    const bool added = std::any_of(tables.begin(), tables.end(), [&](ScriptFunctionTable known) {
        return known.data() == table.data() && known.size() == table.size();
    });
    if (!added)
        tables.push_back(table);
}

void RegisterScriptFunctions(lua_State* L) {
    for (const ScriptFunctionTable& table : AddedTables()) {
        for (const ScriptFunction& entry : table)
            lua_register(L, entry.name, entry.function);
    }
}
