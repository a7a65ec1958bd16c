#include "Script/PScriptManager.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PLineReader.h"
#include "Core/PTokenizer.h"
#include "Core/StringFunctions.h"

CPScriptManager* g_ScriptManager = nullptr;

namespace {

int CategoryOfKeyword(const std::string& keyword) {
    if (keyword == "t_system")
        return TASK_SYSTEM;
    if (keyword == "t_level")
        return TASK_LEVEL;
    if (keyword == "t_interface")
        return TASK_INTERFACE;
    return 0;
}

// The next field of the line, trimmed and lower-cased.
bool NextWord(CPTokenizer& fields, std::string& word) {
    if (!fields.NextToken(word))
        return false;
    TrimString(word);
    ToLowerString(word);
    return true;
}

} // namespace

CPScriptManager::CPScriptManager() {
    g_ScriptManager = this;
}

CPScriptManager::~CPScriptManager() {
    for (const std::function<void()>& deleteModel : models)
        deleteModel();
    scriptsByName.ForEach(
        [](const std::string&, const CPRefPtr<CPLuaScript>& script) { script->SendReleaseAll(); });
    scriptsByCategory.Clear();
    scriptsByName.Clear();
    scripts.clear();
    if (g_ScriptManager == this)
        g_ScriptManager = nullptr;
}

bool CPScriptManager::LoadScripts() {
    CPFileReader reader("Data\\Scripts\\list.dat", false);
    if (FAILED(reader.Load())) {
        GetLog().Print(0, "Data\\Scripts\\list.dat could not be read\n");
        return false;
    }
    CPLineReader lines(reader.GetData(), static_cast<std::size_t>(reader.GetSize()));
    std::string line;
    while (lines.ReadLine(line)) {
        if (!LoadScript(line))
            return false;
    }
    return true;
}

bool CPScriptManager::LoadScript(const std::string& line) {
    CPTokenizer fields(line, " ", true);
    std::string name, keyword;
    NextWord(fields, name);
    fields.NextToken(keyword);
    if (scriptsByName.Find(name)) {
        GetLog().Print(0, "Data\\Scripts\\list.dat names the script %s again; only the first is loaded\n",
                       name.c_str());
        return true;
    }
    auto script = std::make_unique<CPLuaScript>();
    script->category = CategoryOfKeyword(keyword);
    if (script->Load(name) < 0) {
        GetLog().Print(0, "Script %s could not be read; the scripts listed after it are not loaded\n",
                       name.c_str());
        return false;
    }
    scriptsByName[name] = script.get();
    std::string category;
    while (NextWord(fields, category))
        scriptsByCategory[category].push_back(script.get());
    scripts.push_back(std::move(script));
    return true;
}

CPRefPtr<CPLuaScript> CPScriptManager::GetScript(const std::string& name) const {
    const CPRefPtr<CPLuaScript>* found = scriptsByName.Find(name);
    return found ? *found : CPRefPtr<CPLuaScript>();
}

void CPScriptManager::SendCommandByName(const std::string& name, const std::string& command,
                                        const std::string& params) {
    if (const CPRefPtr<CPLuaScript>* script = scriptsByName.Find(name))
        Deliver(**script, ScriptCommand(command, params), params);
    else
        Undelivered(name, command, params);
}

void CPScriptManager::SendCommandByCategory(const std::string& category, const std::string& command,
                                            const std::string& params) {
    const std::vector<CPRefPtr<CPLuaScript>>* members = scriptsByCategory.Find(category);
    if (!members || members->empty()) {
        Undelivered("category:" + category, command, params);
        return;
    }
    const ScriptCommand message(command, params);
    for (const CPRefPtr<CPLuaScript>& script : *members)
        Deliver(*script, message, params);
}

void CPScriptManager::SendCommandByObject(CPLuaScript* script, const std::string& command,
                                          const std::string& params) {
    if (script)
        Deliver(*script, ScriptCommand(command, params), params);
}

void CPScriptManager::Deliver(CPLuaScript& script, const ScriptCommand& command, const std::string& params) {
    const bool queued = script.Receive(command);
    if (commandObserver)
        commandObserver(script.GetName(), command.name, params, queued);
}

void CPScriptManager::Undelivered(const std::string& target, const std::string& command,
                                  const std::string& params) {
    if (commandObserver)
        commandObserver(target, command, params, false);
}

void SendScriptCommand(const std::string& name, const std::string& command, const std::string& params) {
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByName(name, command, params);
}

void SendCategoryCommand(const std::string& category, const std::string& command, const std::string& params) {
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByCategory(category, command, params);
}
