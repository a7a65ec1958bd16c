#include "Input/NInput.h"

#include "Core/CallRecorder.h"
#include "Core/Log.h"
#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Input/FieldQuoting.h"
#include "Input/KeyNames.h"
#include "Input/PageInputServices.h"
#include "Script/PScriptManager.h"

#include <algorithm>

CNInput* g_Input = nullptr;
IDirectInput8* g_DirectInput = nullptr;
IDirectInputDevice8* g_Joystick = nullptr;

namespace {

constexpr const char* kSource = "Input\\NInput";
constexpr const char* kActionsFile = "Actions.cfg";

using PageBroadcast = std::function<void()> PageInputServices::*;

// The keys with a reaction of their own besides their binding: the word of
// their "standart_action" (none for Up and Down) and the page broadcasts.
struct FixedKey {
    int code;
    const char* word;
    PageBroadcast onPress;
    PageBroadcast onRelease;
};

constexpr FixedKey kFixedKeys[] = {
    {1, "escape", nullptr, nullptr},
    {14, "backspace", nullptr, nullptr},
    {28, "enter", &PageInputServices::enterPress, &PageInputServices::enterRelease},
    {156, "enter", &PageInputServices::enterPress, &PageInputServices::enterRelease},
    {203, "left", &PageInputServices::keyLeft, nullptr},
    {75, "left", &PageInputServices::keyLeft, nullptr},
    {205, "right", &PageInputServices::keyRight, nullptr},
    {77, "right", &PageInputServices::keyRight, nullptr},
    {200, nullptr, &PageInputServices::keyUp, nullptr},
    {72, nullptr, &PageInputServices::keyUp, nullptr},
    {208, nullptr, &PageInputServices::keyDown, nullptr},
    {80, nullptr, &PageInputServices::keyDown, nullptr},
};

const FixedKey* FindFixedKey(int code) {
    const auto found = std::find_if(std::begin(kFixedKeys), std::end(kFixedKeys),
                                    [code](const FixedKey& key) { return key.code == code; });
    return found == std::end(kFixedKeys) ? nullptr : found;
}

void SendToCategory(const char* category, const char* command, const std::string& params) {
    if (g_ScriptManager)
        g_ScriptManager->SendCommandByCategory(category, command, params);
}

void SendAction(const std::string& params) {
    SendToCategory("action_listener", "key_action", params);
}

// Logs a failed call of the set-up; true when it succeeded.
bool Check(HRESULT result, int line) {
    if (FAILED(result))
        ReportPlatformError(kSource, line, result);
    return SUCCEEDED(result);
}

BOOL CreateFirstController(const DIDEVICEINSTANCE* instance, void*) {
    return SUCCEEDED(g_DirectInput->CreateDevice(instance->guidInstance, &g_Joystick, nullptr))
               ? DIENUM_STOP
               : DIENUM_CONTINUE;
}

BOOL SetAxisRange(const DIDEVICEOBJECTINSTANCE* object, void*) {
    if (!(object->dwType & DIDFT_AXIS))
        return DIENUM_CONTINUE;
    DIPROPRANGE range;
    range.diph = {sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), object->dwType, DIPH_BYID};
    range.lMin = -1000;
    range.lMax = 1000;
    return FAILED(g_Joystick->SetProperty(DIPROP_RANGE, &range.diph)) ? DIENUM_STOP : DIENUM_CONTINUE;
}

DIPROPDWORD DeviceProperty(DWORD value) {
    DIPROPDWORD property;
    property.diph = {sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE};
    property.dwData = value;
    return property;
}

// One axis of the pointer: it moves by delta and stays within 0 to limit.
float MoveAxis(float position, float delta, int limit) {
    if (delta > 0)
        return std::min(position + delta, static_cast<float>(limit));
    return position + delta > 0 ? position + delta : 0.0f;
}

} // namespace

CNInput::CNInput() {
    g_Input = this;
    RecordCall("CNInput()");
}

CNInput::~CNInput() {
    ReleaseDevices();
    keyBindings.fill(ActionBinding());
    codeBindings.fill(ActionBinding());
    actionMap.Clear();
    actionNames.clear();
    if (g_Input == this)
        g_Input = nullptr;
}

bool CNInput::Start() {
    RecordCall("CNInput::Start");
    const int loaded = LoadActions(kActionsFile);
    if (loaded < 0) {
        GetLog().Print(0, "%s could not be read: the game has no key bindings\n", kActionsFile);
        return false;
    }
    if (loaded == S_FALSE)
        GetLog().Print(0, "The game runs without key bindings\n");
    // Starting again (a stopped task is restarted in place) opens the
    // devices afresh instead of leaking the old ones.
    ReleaseDevices();
    const HINSTANCE instance = g_TaskManager ? g_TaskManager->hInstance : nullptr;
    const HWND window = g_TaskManager ? g_TaskManager->hWnd : nullptr;
    if (!Check(DirectInput8Create(instance, DIRECTINPUT_VERSION, &g_DirectInput, nullptr), __LINE__))
        return false;
    if (!OpenKeyboard(window) || !OpenMouse(window))
        return false;
    OpenController(window);
    return CPTask::Start();
}

bool CNInput::OpenKeyboard(HWND window) {
    return Check(g_DirectInput->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), __LINE__) &&
           Check(keyboard->SetDataFormat(&c_dfDIKeyboard), __LINE__) &&
           Check(keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), __LINE__) &&
           Check(keyboard->Acquire(), __LINE__);
}

bool CNInput::OpenMouse(HWND window) {
    if (!Check(g_DirectInput->CreateDevice(GUID_SysMouse, &mouse, nullptr), __LINE__) ||
        !Check(mouse->SetDataFormat(&c_dfDIMouse), __LINE__) ||
        !Check(mouse->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_FOREGROUND), __LINE__))
        return false;
    mouseEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!mouseEvent)
        return false;
    const DIPROPDWORD bufferSize = DeviceProperty(2);
    const DIPROPDWORD axisMode = DeviceProperty(DIPROPAXISMODE_REL);
    return Check(mouse->SetEventNotification(mouseEvent), __LINE__) &&
           Check(mouse->SetProperty(DIPROP_BUFFERSIZE, &bufferSize.diph), __LINE__) &&
           Check(mouse->SetProperty(DIPROP_AXISMODE, &axisMode.diph), __LINE__) &&
           Check(mouse->Acquire(), __LINE__);
}

void CNInput::OpenController(HWND window) {
    if (FAILED(g_DirectInput->EnumDevices(DI8DEVCLASS_GAMECTRL, CreateFirstController, nullptr,
                                          DIEDFL_ATTACHEDONLY)) ||
        !g_Joystick)
        return;
    // The controller is never read: one that cannot be set up is dropped
    // rather than ending the game.
    if (!Check(g_Joystick->SetDataFormat(&c_dfDIJoystick2), __LINE__) ||
        !Check(g_Joystick->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_FOREGROUND), __LINE__)) {
        GetLog().Print(0, "The game controller cannot be set up and is not used\n");
        PlatReleaseAndClear(g_Joystick);
        return;
    }
    g_Joystick->EnumObjects(SetAxisRange, nullptr, DIDFT_AXIS);
}

void CNInput::ReleaseDevices() {
    if (!g_DirectInput)
        return;
    for (IDirectInputDevice8** device : {&keyboard, &mouse, &g_Joystick}) {
        if (*device)
            (*device)->Unacquire();
        PlatReleaseAndClear(*device);
    }
    CloseHandle(mouseEvent);
    mouseEvent = nullptr;
    PlatReleaseAndClear(g_DirectInput);
}

void CNInput::GetMousePosition(int& x, int& y) const {
    x = static_cast<int>(mouseX);
    y = static_cast<int>(mouseY);
}

void CNInput::Update() {
    UpdateFocus();
    const DIMOUSESTATE state = ReadMouse();
    const float scale = 1.0f + g_MouseSetting;
    if (state.lZ > 0)
        SendAction("prev_weapon,0");
    else if (state.lZ < 0)
        SendAction("next_weapon,0");
    const float oldX = mouseX;
    const float oldY = mouseY;
    MovePointer(scale * static_cast<float>(state.lX), scale * static_cast<float>(state.lY));
    UpdateButtons(state);
    if (mouseX != oldX || mouseY != oldY)
        g_PageInputServices.mouseMove(mouseX, mouseY);
    ReadKeyboard();
    UpdateKeys();
}

void CNInput::UpdateFocus() {
    if (!g_AppActive) {
        for (IDirectInputDevice8* device : {mouse, keyboard, g_Joystick})
            if (device)
                device->Unacquire();
        return;
    }
    for (IDirectInputDevice8* device : {mouse, keyboard})
        if (device)
            device->Acquire();
    // One attempt per pass: a controller that stays lost is tried again in
    // the next pass instead of holding this one.
    if (g_Joystick) {
        g_Joystick->Poll();
        g_Joystick->Acquire();
    }
}

DIMOUSESTATE CNInput::ReadMouse() {
    DIMOUSESTATE state;
    const HRESULT result = mouse ? mouse->GetDeviceState(sizeof(state), &state) : E_FAIL;
    if (result == DIERR_INPUTLOST)
        UpdateFocus();
    if (SUCCEEDED(result))
        return state;
    // A pass without a mouse state moves nothing and keeps the buttons.
    state = DIMOUSESTATE();
    for (std::size_t button = 0; button < buttonDown.size(); ++button)
        state.rgbButtons[button] = buttonDown[button] ? 0x80 : 0;
    return state;
}

void CNInput::MovePointer(float dx, float dy) {
    mouseX = MoveAxis(mouseX, dx, g_ScreenWidth - 1);
    mouseY = MoveAxis(mouseY, dy, g_ScreenHeight - 1);
}

void CNInput::UpdateButtons(const DIMOUSESTATE& state) {
    for (int button = 0; button < 3; ++button) {
        const bool down = (state.rgbButtons[button] & 0x80) != 0;
        if (down == buttonDown[button])
            continue;
        if (down)
            g_PageInputServices.mouseDown(button, mouseX, mouseY);
        else
            g_PageInputServices.mouseUp(button, mouseX, mouseY);
        // The left button drives only the pages.
        if (button > 0)
            SendAction("mouse" + std::to_string(button) + (down ? ",0" : ",1"));
        buttonDown[button] = down;
    }
}

void CNInput::ReadKeyboard() {
    keysBefore = keysNow;
    if (keyboard &&
        keyboard->GetDeviceState(static_cast<DWORD>(keysNow.size()), keysNow.data()) == DIERR_INPUTLOST)
        keyboard->Acquire();
}

void CNInput::UpdateKeys() {
    bool released = false;
    for (int code = 0; code < 256; ++code) {
        const bool before = (keysBefore[code] & 0x80) != 0;
        const bool now = (keysNow[code] & 0x80) != 0;
        if (before && !now) {
            ReleaseKey(code);
            released = true;
        } else if (!before && now) {
            PressKey(code);
        }
    }
    if (released && g_ScriptManager)
        g_ScriptManager->SendCommandByName("main", "any_key", "");
}

void CNInput::ReleaseKey(int code) {
    if (assignMode) {
        assignMode = false;
        SendToCategory("interface", "key_assign", QuoteField(KeyNameOf(code), ',') + ",false");
    }
    SendKeyReactions(code, false);
}

void CNInput::PressKey(int code) {
    SendKeyReactions(code, true);
}

void CNInput::SendKeyReactions(int code, bool pressed) {
    const char* edge = pressed ? ",1" : ",0";
    if (actionsEnabled && keyBindings[code].bound)
        SendAction(QuoteField(keyBindings[code].text, ',') + edge);
    const FixedKey* key = FindFixedKey(code);
    if (!key)
        return;
    if (key->word)
        SendToCategory("action_listener", "standart_action", key->word + std::string(edge));
    if (const PageBroadcast broadcast = pressed ? key->onPress : key->onRelease)
        (g_PageInputServices.*broadcast)();
}
