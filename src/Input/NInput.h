#pragma once

#include "Core/PTask.h"
#include "Core/StringHashMap.h"
#include "Input/ActionBinding.h"
#include "Platform/Input/DirectInput8.h"

#include <array>
#include <string>
#include <vector>

class CNInput;
extern CNInput* g_Input;
// The input object and the first game controller (null when none is
// attached); both live from Start to the task's destruction.
extern IDirectInput8* g_DirectInput;
extern IDirectInputDevice8* g_Joystick;

// The input task: once per pass it reads the mouse and the keyboard, keeps
// the pointer inside the screen and turns every change into script commands
// and calls on the interface pages (g_PageInputServices). Keys become
// actions through the bindings of Actions.cfg.
//
// Commands sent: "key_action" with "<action>,1" / "<action>,0" for a bound
// key going down / up, "mouse1,0" / "mouse2,0" for the right / middle
// button going down and ",1" coming up, "prev_weapon,0" / "next_weapon,0"
// for a wheel turn away from / towards the user; "standart_action" for Esc,
// Backspace, Enter, Left and Right (all to the category "action_listener");
// "key_assign" with "<key name>,false" for the first key released in
// assignment mode (to "interface"); "any_key" to the script "main" once per
// pass with a release.
class CNInput : public CPTask {
public:
    CNInput();
    ~CNInput() override;
    CNInput(const CNInput&) = delete;
    CNInput& operator=(const CNInput&) = delete;

    // Reads Actions.cfg, then opens the keyboard, the mouse and the first
    // game controller. False (with a log line) when the file cannot be read
    // or the keyboard or mouse cannot be set up; a controller that cannot
    // be set up is dropped.
    bool Start() override;
    void Update() override;
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(CNInput); }
    std::string GetClassName() const override { return "CNInput"; }

    // The pointer position, truncated toward zero.
    void GetMousePosition(int& x, int& y) const;
    // Unacquires and releases every device and the input object.
    void ReleaseDevices();

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

    IDirectInputDevice8* keyboard = nullptr;
    IDirectInputDevice8* mouse = nullptr;
    HANDLE mouseEvent = nullptr;
    std::array<bool, 3> buttonDown{};
    float mouseX = 0.0f;
    float mouseY = 0.0f;
    std::array<BYTE, 256> keysNow{};
    std::array<BYTE, 256> keysBefore{};
    std::array<ActionBinding, 256> keyBindings;
    std::array<ActionBinding, 128> codeBindings;
    StringHashMap<ActionBinding> actionMap{100};
    std::vector<std::string> actionNames;
    bool actionsEnabled = true;
    bool assignMode = false;
    // Set once LoadActions has read a file, so that bindings never read are
    // not written over the player's file.
    bool actionsLoaded = false;

private:
    // FormatActions of the bindings as LoadActions left them.
    std::string loadedActions;

    bool OpenKeyboard(HWND window);
    bool OpenMouse(HWND window);
    void OpenController(HWND window);
    void AddActionLine(const ActionLine& line);

    void UpdateFocus();
    DIMOUSESTATE ReadMouse();
    void MovePointer(float dx, float dy);
    void UpdateButtons(const DIMOUSESTATE& state);
    void ReadKeyboard();
    void UpdateKeys();
    void ReleaseKey(int code);
    void PressKey(int code);
    // The key's bound action (when actions are enabled) and its fixed
    // reaction, for a press or a release.
    void SendKeyReactions(int code, bool pressed);
};
