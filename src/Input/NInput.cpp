#include "Input/NInput.h"

#include "Core/CallRecorder.h"
#include "Core/PFileReader.h"
#include "Core/PLineReader.h"
#include "Core/PTokenizer.h"

#include <cstdlib>

CNInput* g_Input = nullptr;

CNInput::CNInput() {
    g_Input = this;
    RecordCall("CNInput()");
}

CNInput::~CNInput() {
    if (g_Input == this)
        g_Input = nullptr;
}

bool CNInput::Start() {
    RecordCall("CNInput::Start");
    if (!LoadActions("Actions.cfg") || IsCallRefused("CNInput::OpenDevices"))
        return false;
    return CPTask::Start();
}

bool CNInput::LoadActions(const std::string& path) {
    CPFileReader reader(path, false);
    if (FAILED(reader.Load()))
        return false;
    CPLineReader lines(reader.GetData(), static_cast<std::size_t>(reader.GetSize()));
    std::string line;
    while (lines.ReadLine(line))
        AddAction(line);
    actionsLoaded = true;
    return true;
}

void CNInput::AddAction(const std::string& line) {
    CPTokenizer fields(line, ";", false);
    std::string name, key, numeric;
    SNBinding binding;
    if (!fields.NextToken(name) || !fields.NextToken(binding.second) || !fields.NextToken(key))
        return;
    fields.NextToken(numeric);
    binding.numeric = numeric == "true";
    if (binding.numeric)
        binding.code = std::atoi(key.c_str());
    else
        binding.keyName = key;
    if (!bindings.count(name))
        actionNames.push_back(name);
    bindings[name] = binding;
}
