#pragma once

#include "Core/PRefPtr.h"
#include "Core/StringHashMap.h"
#include "Script/PLuaScript.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CPScriptManager;
extern CPScriptManager* g_ScriptManager;

// Loads the scripts named by Data\Scripts\list.dat, keeps them by name and
// by category, and routes commands into their queues. The scripts live as
// long as the manager and are deleted with it.
class CPScriptManager {
public:
    CPScriptManager();
    // Queues "release_all" for every script, then deletes them.
    virtual ~CPScriptManager();
    CPScriptManager(const CPScriptManager&) = delete;
    CPScriptManager& operator=(const CPScriptManager&) = delete;

    // One script per line: name, type keyword ("t_system", "t_level",
    // "t_interface"), then its categories, separated by single spaces. A
    // script file that cannot be read ends the loading there; a name listed
    // again is logged and skipped (the first line holds). False when the
    // list or a script file cannot be read.
    bool LoadScripts();
    // Exact name; null when there is none.
    CPRefPtr<CPLuaScript> GetScript(const std::string& name) const;

    // The parameter text is split once; each running target gets its own
    // copy, and a target that is not running gets nothing.
    void SendCommandByName(const std::string& name, const std::string& command, const std::string& params);
    // Every script of the category, in list order.
    void SendCommandByCategory(const std::string& category, const std::string& command,
                               const std::string& params);
    void SendCommandByObject(CPLuaScript* script, const std::string& command, const std::string& params);

    // Hears every command sent through the manager: the script it went to
    // (or, when no script has the name or the category has none, that name
    // or "category:<name>"), the command, the parameter text and whether it
    // was queued. Empty for none.
    using CommandObserver = std::function<void(const std::string& target, const std::string& command,
                                               const std::string& params, bool queued)>;
    void SetCommandObserver(CommandObserver observer) { commandObserver = std::move(observer); }

    // Takes the deletion of a model or page that a script made: the manager
    // deletes them, in the order kept, before its scripts.
    void KeepModel(std::function<void()> deleteModel) { models.push_back(std::move(deleteModel)); }

private:
    bool LoadScript(const std::string& line);
    void Deliver(CPLuaScript& script, const ScriptCommand& command, const std::string& params);
    void Undelivered(const std::string& target, const std::string& command, const std::string& params);

    StringHashMap<CPRefPtr<CPLuaScript>> scriptsByName{100};
    StringHashMap<std::vector<CPRefPtr<CPLuaScript>>> scriptsByCategory{100};
    // Every script loaded, including those a later line of the same name
    // replaced by name (they stay in their categories).
    std::vector<std::unique_ptr<CPLuaScript>> scripts;
    std::vector<std::function<void()>> models;
    CommandObserver commandObserver;
};

// Send the command to the named script, or to every script of the category,
// when the scripts run.
void SendScriptCommand(const std::string& name, const std::string& command, const std::string& params);
void SendCategoryCommand(const std::string& category, const std::string& command, const std::string& params);
