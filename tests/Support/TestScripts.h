#pragma once

#include "Script/PScriptManager.h"
#include "Support/TempGameRoot.h"

#include <map>
#include <string>
#include <vector>

// Real scripts with empty sources for the tests of objects that talk to
// scripts: a script manager (the global one while it lives) over the named
// scripts. Each script is a member of a category of its own name and of the
// categories given; a name may be followed by more categories of that script
// alone, separated by spaces. A started script keeps the commands sent to it
// in its queue; Received takes them out.
class TestScripts {
public:
    explicit TestScripts(const std::vector<std::string>& names, const std::string& categories = "") {
        // The sources are read while loading; the folder is not needed after.
        TempGameRoot root;
        std::string list;
        for (const std::string& line : names) {
            const std::size_t end = line.find(' ');
            const std::string name = line.substr(0, end);
            TempGameRoot::WriteFile("Data/Scripts/" + name + ".lua", "");
            list += name + " t_level " + name + (end == std::string::npos ? "" : line.substr(end)) +
                    (categories.empty() ? "" : " " + categories) + "\n";
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

    // Hears every command sent through the manager (see SetCommandObserver).
    void Observe(CPScriptManager::CommandObserver observer) {
        manager.SetCommandObserver(std::move(observer));
    }

private:
    CPScriptManager manager;
    std::map<const CPLuaScript*, std::vector<std::string>> commands;
};
