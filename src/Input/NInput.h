#pragma once

#include "Core/PTask.h"

#include <map>
#include <string>
#include <vector>

class CNInput;
extern CNInput* g_Input;

// One line of Actions.cfg.
struct SNBinding {
    int code = 0;
    std::string keyName;
    std::string second;
    // The third field was a number (kept in `code`), not a key name.
    bool numeric = false;
};

// Stands in for the input task until the input subsystem lands: it reads
// the key bindings and opens no device.
class CNInput : public CPTask {
public:
    CNInput();
    ~CNInput() override;

    // Refuses when Actions.cfg cannot be read or a device cannot be opened.
    bool Start() override;
    void Update() override {}
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(CNInput); }
    std::string GetClassName() const override { return "CNInput"; }

    // Lines "action;second;key name or code;true|false", the last field
    // true when the third is a numeric code. False when the file cannot be
    // read.
    bool LoadActions(const std::string& path);

    std::vector<std::string> actionNames;
    std::map<std::string, SNBinding> bindings;
    // Set once LoadActions has read the file, so a failed read is never
    // mistaken for an empty set of bindings.
    bool actionsLoaded = false;

private:
    void AddAction(const std::string& line);
};
