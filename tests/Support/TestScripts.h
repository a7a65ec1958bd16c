#pragma once

#include "Script/PScriptManager.h"
#include "Support/TempGameRoot.h"

#include <map>
#include <string>
#include <vector>

// Real scripts with empty sources for the tests of objects that talk to
// scripts: a script manager (the global one while it lives) over the named
// scripts. A name may be followed by the script's categories, separated by
// spaces. A started script keeps the commands sent to it in its queue;
// Received takes them out.
class TestScripts {
public:
    explicit TestScripts(const std::vector<std::string>& names) {
        // The sources are read while loading; the folder is not needed after.
        TempGameRoot root;
        std::string list;
        for (const std::string& line : names) {
            const std::size_t end = line.find(' ');
            const std::string name = line.substr(0, end);
            TempGameRoot::WriteFile("Data/Scripts/" + name + ".lua", "");
            list += name + " t_level" + (end == std::string::npos ? "" : line.substr(end)) + "\n";
        }
        TempGameRoot::WriteFile("Data/Scripts/list.dat", list);
        EXPECT_TRUE(manager.LoadScripts());
    }

    CPLuaScript& operator[](const std::string& name) {
        CPLuaScript* script = manager.GetScript(name).Get();
        EXPECT_NE(script, nullptr) << name;
        return *script;
    }

    // Every command the script has received so far as "command(params)",
    // oldest first.
    const std::vector<std::string>& Received(CPLuaScript& script) {
        std::vector<std::string>& received = commands[&script];
        while (script.SetNextCommand()) {
            const ScriptCommand* command = script.GetCurrentCommand();
            std::string params;
            for (const std::string& param : command->params)
                params += (params.empty() ? "" : ",") + param;
            received.push_back(command->name + "(" + params + ")");
        }
        return received;
    }

private:
    CPScriptManager manager;
    std::map<const CPLuaScript*, std::vector<std::string>> commands;
};
