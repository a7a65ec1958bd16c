#pragma once

#include "Core/PTask.h"
#include "Input/NActionTable.h"
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
// actions through the bindings of Actions.cfg (CNActionTable).
//
// Commands sent: "key_action" with "<action>,1" / "<action>,0" for a bound
// key going down / up, "mouse1,0" / "mouse2,0" for the right / middle
// button going down and ",1" coming up, "prev_weapon,0" / "next_weapon,0"
// for a wheel turn away from / towards the user; "standart_action" for Esc,
// Backspace, Enter, Left and Right (all to the category "action_listener");
// "key_assign" with "<key name>,false" for the first key released in
// assignment mode (to "interface"); "any_key" to the script "main" once per
// pass with a release.
class CNInput : public CPTask, public CNActionTable {
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

    IDirectInputDevice8* keyboard = nullptr;
    IDirectInputDevice8* mouse = nullptr;
    HANDLE mouseEvent = nullptr;
    std::array<bool, 3> buttonDown{};
    float mouseX = 0.0f;
    float mouseY = 0.0f;
    std::array<BYTE, 256> keysNow{};
    std::array<BYTE, 256> keysBefore{};
    bool actionsEnabled = true;
    bool assignMode = false;

private:
    bool OpenKeyboard(HWND window);
    bool OpenMouse(HWND window);
    void OpenController(HWND window);

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
