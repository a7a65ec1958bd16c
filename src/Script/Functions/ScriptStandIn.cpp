#include "Script/Functions/ScriptStandIn.h"

#include "Core/Log.h"

#include <set>
#include <string>

void LogStandInOnce(const char* name) {
    static std::set<std::string> logged;
    if (logged.insert(name).second)
        GetLog().Print(0, "%s: not built yet, the defaults are used\n", name);
}
