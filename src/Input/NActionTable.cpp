#include "Input/NActionTable.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PFileWriter.h"
#include "Core/PLineReader.h"
#include "Core/PTokenizer.h"
#include "Input/FieldQuoting.h"
#include "Input/KeyNames.h"

#include <algorithm>

namespace {

CNActionTable::ActionLine ParseActionLine(const std::string& text) {
    CPTokenizer fields(text, ";", true);
    CNActionTable::ActionLine line;
    std::string flag;
    fields.NextToken(line.action);
    fields.NextToken(line.label);
    fields.NextToken(line.key);
    fields.NextToken(flag);
    line.numeric = flag == "true";
    return line;
}

bool BindsAKey(const CNActionTable::ActionLine& line) {
    if (!line.numeric)
        return FindKeyName(line.key) >= 0;
    const int code = LeadingInteger(line.key);
    return code >= 0 && code < static_cast<int>(std::tuple_size_v<decltype(CNActionTable::codeBindings)>);
}

} // namespace

int CNActionTable::LoadActions(const std::string& fileName) {
    CPFileReader reader(fileName, false);
    const HRESULT result = reader.Load();
    if (FAILED(result))
        return result;
    std::vector<ActionLine> parsed;
    CPLineReader lines(reader.GetData(), static_cast<std::size_t>(reader.GetSize()));
    std::string line;
    while (lines.ReadLine(line))
        parsed.push_back(ParseActionLine(line));
    if (std::none_of(parsed.begin(), parsed.end(), BindsAKey)) {
        GetLog().Print(0, "%s holds no line that binds a key: the key bindings are kept as they were\n",
                       fileName.c_str());
        return S_FALSE;
    }
    keyBindings.fill(ActionBinding());
    actionMap.Clear();
    actionNames.clear();
    for (const ActionLine& parsedLine : parsed)
        AddActionLine(parsedLine);
    actionsLoaded = true;
    loadedActions = FormatActions();
    return 0;
}

void CNActionTable::AddActionLine(const ActionLine& line) {
    // A code beyond the table's records or a name that is no key binds
    // nothing.
    if (BindsAKey(line) && line.numeric) {
        const int code = LeadingInteger(line.key);
        ActionBinding& binding = codeBindings[code];
        binding = ActionBinding();
        binding.code = static_cast<uint8_t>(code);
        binding.text = line.action;
        binding.bound = binding.numeric = true;
    } else if (BindsAKey(line)) {
        ActionBinding binding;
        binding.Assign(line.key, line.action);
        keyBindings[binding.code] = binding;
    }
    actionMap[line.action] = ActionBinding(line.key, line.label, line.numeric);
    actionNames.push_back(line.action);
}

void CNActionTable::SetAction(const std::string& label, const std::string& keyName, bool) {
    const auto firstWhere = [this](auto matches) {
        ActionBinding* first = nullptr;
        actionMap.ForEach([&](const std::string& name, const ActionBinding& record) {
            if (!first && matches(record))
                first = actionMap.Find(name);
        });
        return first;
    };
    if (ActionBinding* holder = firstWhere([&](const ActionBinding& r) { return r.keyName == keyName; })) {
        holder->code = 0;
        holder->keyName = g_KeyNames[0];
        holder->bound = true;
        holder->numeric = false;
    }
    ActionBinding* taker = firstWhere([&](const ActionBinding& r) { return r.text == label; });
    const int code = FindKeyName(keyName);
    if (taker && code >= 0) {
        taker->keyName = keyName;
        taker->code = static_cast<uint8_t>(code);
    }
}

std::string CNActionTable::FormatActions() const {
    std::string text;
    for (const std::string& name : actionNames) {
        const ActionBinding* found = actionMap.Find(name);
        const ActionBinding record = found ? *found : ActionBinding();
        const std::string key =
            record.numeric ? std::to_string(record.code) : QuoteField(record.keyName, ';');
        text += QuoteField(name, ';') + ";" + QuoteField(record.text, ';') + ";" + key + ";" +
                (record.numeric ? "true" : "false") + "\r\n";
    }
    return text;
}

bool CNActionTable::ActionsChanged() const {
    return FormatActions() != loadedActions;
}

HRESULT CNActionTable::SaveActions(const std::string& fileName) const {
    const std::string text = FormatActions();
    CPFileWriter writer(fileName, false);
    writer.Write(text.data(), static_cast<int>(text.size()));
    return writer.Save();
}
