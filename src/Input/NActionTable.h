#pragma once

#include "Core/StringHashMap.h"
#include "Input/ActionBinding.h"
#include "Platform/Win32Types.h"

#include <array>
#include <string>
#include <vector>

// The key bindings of Actions.cfg: which action each key or numeric code
// stands for, the bindings' labels for the Options page, and the file they
// were read from and are written back to.
class CNActionTable {
public:
    // One line of a bindings file: "action;label;key;flag".
    struct ActionLine {
        std::string action, label, key;
        bool numeric = false;
    };

    // Rebuilds the bindings from the file: 0, or the file reader's negative
    // result, leaving every table as it was. Lines are
    // "action;label;key;flag", the flag "true" for a numeric key code. A
    // file without one line that binds a key (a key name, or a code below
    // 128) is refused with a log line: S_FALSE, every table as it was.
    int LoadActions(const std::string& fileName);
    // Takes the key from the first record (in the map's order) that has it,
    // leaving it "undefined key", and gives it to the first record with the
    // label when it is a key name. Only `actionMap` changes; the flag is not
    // used.
    void SetAction(const std::string& label, const std::string& keyName, bool flag);
    // Writes every name of `actionNames` in order as
    // "action;label;key;flag\r\n", quoting fields that hold ';' or '"'.
    // S_OK, or E_FAIL (logged) with the old file kept whole.
    HRESULT SaveActions(const std::string& fileName) const;
    // The text SaveActions writes.
    std::string FormatActions() const;
    // True when the bindings differ from what LoadActions last read, so
    // that a file the reader only partly understood is never rewritten
    // from what it kept.
    bool ActionsChanged() const;

    std::array<ActionBinding, 256> keyBindings;
    std::array<ActionBinding, 128> codeBindings;
    StringHashMap<ActionBinding> actionMap{100};
    std::vector<std::string> actionNames;
    // Set once LoadActions has read a file, so that bindings never read are
    // not written over the player's file.
    bool actionsLoaded = false;

private:
    void AddActionLine(const ActionLine& line);

    // FormatActions of the bindings as LoadActions left them.
    std::string loadedActions;
};
