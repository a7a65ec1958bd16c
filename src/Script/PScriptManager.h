#pragma once

#include "Core/PRefPtr.h"
#include "Script/PLuaScript.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CPScriptManager;
extern CPScriptManager* g_ScriptManager;
CPScriptManager* GetScriptManager();

// Stands in for the script registry until the scripting subsystem lands:
// it lists the scripts of Data\Scripts\list.dat by name and records the
// commands sent to them.
class CPScriptManager {
public:
    CPScriptManager();
    virtual ~CPScriptManager();
    CPScriptManager(const CPScriptManager&) = delete;
    CPScriptManager& operator=(const CPScriptManager&) = delete;

    // One script per line of the list: its name, a type keyword and the
    // categories it belongs to, separated by spaces. The scripts are deleted
    // with the registry.
    void LoadScripts();
    // Null when no script has that name.
    CPRefPtr<CPLuaScript> GetScript(const std::string& name) const;
    void SendCommandByCategory(const std::string& category, const std::string& command,
                               const std::string& parameter);

private:
    void AddScript(const std::string& line);

    std::vector<std::unique_ptr<CPLuaScript>> scripts;
    std::map<std::string, CPRefPtr<CPLuaScript>> byName;
};
