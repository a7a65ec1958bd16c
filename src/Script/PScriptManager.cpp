#include "Script/PScriptManager.h"

#include "Core/CallRecorder.h"
#include "Core/PFileReader.h"
#include "Core/PLineReader.h"
#include "Core/PTokenizer.h"

CPScriptManager* g_ScriptManager = nullptr;

CPScriptManager::CPScriptManager() {
    g_ScriptManager = this;
    RecordCall("CPScriptManager()");
}

CPScriptManager::~CPScriptManager() {
    RecordCall("~CPScriptManager()");
    if (g_ScriptManager == this)
        g_ScriptManager = nullptr;
}

CPScriptManager* GetScriptManager() {
    return g_ScriptManager;
}

void CPScriptManager::LoadScripts() {
    RecordCall("CPScriptManager::LoadScripts");
    CPFileReader reader("Data\\Scripts\\list.dat", false);
    if (FAILED(reader.Load()))
        return;
    CPLineReader lines(reader.GetData(), static_cast<std::size_t>(reader.GetSize()));
    std::string line;
    while (lines.ReadLine(line))
        AddScript(line);
}

void CPScriptManager::AddScript(const std::string& line) {
    CPTokenizer tokens(line, " ", false);
    std::string name, type;
    if (!tokens.NextToken(name) || !tokens.NextToken(type))
        return;
    scripts.push_back(std::make_unique<CPLuaScript>(name));
    byName[name] = scripts.back().get();
}

CPRefPtr<CPLuaScript> CPScriptManager::GetScript(const std::string& name) const {
    auto found = byName.find(name);
    return found == byName.end() ? CPRefPtr<CPLuaScript>() : found->second;
}

void CPScriptManager::SendCommandByCategory(const std::string& category, const std::string& command,
                                            const std::string& parameter) {
    RecordCall("CPScriptManager::SendCommandByCategory " + category + " " + command + " " + parameter);
}
