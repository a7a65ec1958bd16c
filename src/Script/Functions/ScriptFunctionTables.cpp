#include "Script/Functions/ScriptFunctionTables.h"

const std::vector<ScriptFunctionTable>& ScriptFunctionTables() {
    static const std::vector<ScriptFunctionTable> tables = {
        ObjectFunctions(),    InterfaceFunctions(),  GameInterfaceFunctions(), SoundFunctions(),
        SystemFunctions(),    LevelFunctions(),      RaceClockFunctions(),     TrackFunctions(),
        EnemyFunctions(),     CarControlFunctions(), CarQueryFunctions(),      CarStateFunctions(),
        CarWeaponFunctions(), EffectFunctions(),     CameraFunctions(),        ShopFunctions(),
        ProfileFunctions(),   SaveGameFunctions(),
    };
    return tables;
}

void AddScriptFunctionTables() {
    for (const ScriptFunctionTable& table : ScriptFunctionTables())
        AddScriptFunctionTable(table);
}
