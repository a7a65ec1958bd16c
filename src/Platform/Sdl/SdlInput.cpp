#include "Platform/Sdl/SdlInput.h"

#include "Platform/Input/DirectInput8.h"

namespace {

struct KeyCodeEntry {
    SDL_Scancode scancode;
    BYTE code;
};

// The key codes of the SDL scancodes that have one. Keys such as the
// system keys (GUI, application) and the codes without a common key on
// today's keyboards are left out.
constexpr KeyCodeEntry kKeyCodes[] = {
    {SDL_SCANCODE_ESCAPE, 1},
    {SDL_SCANCODE_1, 2},
    {SDL_SCANCODE_2, 3},
    {SDL_SCANCODE_3, 4},
    {SDL_SCANCODE_4, 5},
    {SDL_SCANCODE_5, 6},
    {SDL_SCANCODE_6, 7},
    {SDL_SCANCODE_7, 8},
    {SDL_SCANCODE_8, 9},
    {SDL_SCANCODE_9, 10},
    {SDL_SCANCODE_0, 11},
    {SDL_SCANCODE_MINUS, 12},
    {SDL_SCANCODE_EQUALS, 13},
    {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_Q, 16},
    {SDL_SCANCODE_W, 17},
    {SDL_SCANCODE_E, 18},
    {SDL_SCANCODE_R, 19},
    {SDL_SCANCODE_T, 20},
    {SDL_SCANCODE_Y, 21},
    {SDL_SCANCODE_U, 22},
    {SDL_SCANCODE_I, 23},
    {SDL_SCANCODE_O, 24},
    {SDL_SCANCODE_P, 25},
    {SDL_SCANCODE_LEFTBRACKET, 26},
    {SDL_SCANCODE_RIGHTBRACKET, 27},
    {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_LCTRL, 29},
    {SDL_SCANCODE_A, 30},
    {SDL_SCANCODE_S, 31},
    {SDL_SCANCODE_D, 32},
    {SDL_SCANCODE_F, 33},
    {SDL_SCANCODE_G, 34},
    {SDL_SCANCODE_H, 35},
    {SDL_SCANCODE_J, 36},
    {SDL_SCANCODE_K, 37},
    {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39},
    {SDL_SCANCODE_APOSTROPHE, 40},
    {SDL_SCANCODE_GRAVE, 41},
    {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, 43},
    {SDL_SCANCODE_Z, 44},
    {SDL_SCANCODE_X, 45},
    {SDL_SCANCODE_C, 46},
    {SDL_SCANCODE_V, 47},
    {SDL_SCANCODE_B, 48},
    {SDL_SCANCODE_N, 49},
    {SDL_SCANCODE_M, 50},
    {SDL_SCANCODE_COMMA, 51},
    {SDL_SCANCODE_PERIOD, 52},
    {SDL_SCANCODE_SLASH, 53},
    {SDL_SCANCODE_RSHIFT, 54},
    {SDL_SCANCODE_KP_MULTIPLY, 55},
    {SDL_SCANCODE_LALT, 56},
    {SDL_SCANCODE_SPACE, 57},
    {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_F1, 59},
    {SDL_SCANCODE_F2, 60},
    {SDL_SCANCODE_F3, 61},
    {SDL_SCANCODE_F4, 62},
    {SDL_SCANCODE_F5, 63},
    {SDL_SCANCODE_F6, 64},
    {SDL_SCANCODE_F7, 65},
    {SDL_SCANCODE_F8, 66},
    {SDL_SCANCODE_F9, 67},
    {SDL_SCANCODE_F10, 68},
    {SDL_SCANCODE_NUMLOCKCLEAR, 69},
    {SDL_SCANCODE_SCROLLLOCK, 70},
    {SDL_SCANCODE_KP_7, 71},
    {SDL_SCANCODE_KP_8, 72},
    {SDL_SCANCODE_KP_9, 73},
    {SDL_SCANCODE_KP_MINUS, 74},
    {SDL_SCANCODE_KP_4, 75},
    {SDL_SCANCODE_KP_5, 76},
    {SDL_SCANCODE_KP_6, 77},
    {SDL_SCANCODE_KP_PLUS, 78},
    {SDL_SCANCODE_KP_1, 79},
    {SDL_SCANCODE_KP_2, 80},
    {SDL_SCANCODE_KP_3, 81},
    {SDL_SCANCODE_KP_0, 82},
    {SDL_SCANCODE_KP_PERIOD, 83},
    {SDL_SCANCODE_NONUSBACKSLASH, 86},
    {SDL_SCANCODE_F11, 87},
    {SDL_SCANCODE_F12, 88},
    {SDL_SCANCODE_F13, 100},
    {SDL_SCANCODE_F14, 101},
    {SDL_SCANCODE_F15, 102},
    {SDL_SCANCODE_INTERNATIONAL2, 112},
    {SDL_SCANCODE_INTERNATIONAL4, 121},
    {SDL_SCANCODE_INTERNATIONAL5, 123},
    {SDL_SCANCODE_INTERNATIONAL3, 125},
    {SDL_SCANCODE_KP_EQUALS, 141},
    {SDL_SCANCODE_KP_ENTER, 156},
    {SDL_SCANCODE_RCTRL, 157},
    {SDL_SCANCODE_KP_COMMA, 179},
    {SDL_SCANCODE_KP_DIVIDE, 181},
    {SDL_SCANCODE_PRINTSCREEN, 183},
    {SDL_SCANCODE_RALT, 184},
    {SDL_SCANCODE_PAUSE, 197},
    {SDL_SCANCODE_HOME, 199},
    {SDL_SCANCODE_UP, 200},
    {SDL_SCANCODE_PAGEUP, 201},
    {SDL_SCANCODE_LEFT, 203},
    {SDL_SCANCODE_RIGHT, 205},
    {SDL_SCANCODE_END, 207},
    {SDL_SCANCODE_DOWN, 208},
    {SDL_SCANCODE_PAGEDOWN, 209},
    {SDL_SCANCODE_INSERT, 210},
    {SDL_SCANCODE_DELETE, 211},
};

// SDL's button numbers to the device's: left, right, middle.
int ButtonIndexOf(Uint8 sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT:
        return 0;
    case SDL_BUTTON_RIGHT:
        return 1;
    case SDL_BUTTON_MIDDLE:
        return 2;
    default:
        return -1;
    }
}

} // namespace

BYTE PlatSdlInput::KeyCodeOf(SDL_Scancode scancode) {
    for (const KeyCodeEntry& entry : kKeyCodes)
        if (entry.scancode == scancode)
            return entry.code;
    return 0;
}

void PlatSdlInput::HandleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (const BYTE code = KeyCodeOf(event.key.keysym.scancode); code && !event.key.repeat)
            state.SetKey(code, event.type == SDL_KEYDOWN);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        state.SetButton(ButtonIndexOf(event.button.button), event.type == SDL_MOUSEBUTTONDOWN);
        break;
    case SDL_MOUSEMOTION:
        state.Move(event.motion.xrel, event.motion.yrel);
        break;
    case SDL_MOUSEWHEEL:
        state.Turn(event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            state.ReleaseAll();
        break;
    default:
        break;
    }
}

void PlatSdlInput::Reset() {
    state = PlatInputState();
}

bool PlatSdlInput::Open(const PlatInputDevice& device) {
    if (device.kind != PlatInputDevice::Controller)
        return true;
    if (controllers.count(device.controller))
        return true;
    const int joystick = JoystickIndexOf(device.controller);
    SDL_GameController* controller = joystick >= 0 ? SDL_GameControllerOpen(joystick) : nullptr;
    if (!controller)
        return false;
    controllers[device.controller] = controller;
    return true;
}

void PlatSdlInput::Close(const PlatInputDevice& device) {
    if (device.kind != PlatInputDevice::Controller)
        return;
    const auto found = controllers.find(device.controller);
    if (found == controllers.end())
        return;
    SDL_GameControllerClose(found->second);
    controllers.erase(found);
}

HRESULT PlatSdlInput::Acquire(const PlatInputDevice& device, bool exclusive) {
    if (device.kind == PlatInputDevice::Controller)
        return GetController(device.controller) ? S_OK : DIERR_INPUTLOST;
    // Relative mode may be refused (drivers without a display): the motion
    // events still arrive.
    if (device.kind == PlatInputDevice::Mouse && exclusive && SDL_WasInit(SDL_INIT_VIDEO))
        SDL_SetRelativeMouseMode(SDL_TRUE);
    return S_OK;
}

void PlatSdlInput::Unacquire(const PlatInputDevice& device) {
    if (device.kind == PlatInputDevice::Mouse && SDL_WasInit(SDL_INIT_VIDEO))
        SDL_SetRelativeMouseMode(SDL_FALSE);
}

HRESULT PlatSdlInput::Poll(const PlatInputDevice& device) {
    if (device.kind != PlatInputDevice::Controller)
        return S_FALSE;
    if (!GetController(device.controller))
        return DIERR_INPUTLOST;
    SDL_GameControllerUpdate();
    return S_OK;
}

bool PlatSdlInput::ReadKeys(BYTE out[256]) {
    state.TakeKeys(out);
    return true;
}

bool PlatSdlInput::ReadMouse(DIMOUSESTATE& out) {
    out = state.TakeMouse();
    return true;
}

int PlatSdlInput::ControllerCount() {
    int count = 0;
    while (JoystickIndexOf(count) >= 0)
        ++count;
    return count;
}

int PlatSdlInput::ControllerAxes(int controller) {
    return GetController(controller) ? SDL_CONTROLLER_AXIS_MAX : 0;
}

SDL_GameController* PlatSdlInput::GetController(int controller) const {
    const auto found = controllers.find(controller);
    return found == controllers.end() ? nullptr : found->second;
}

int PlatSdlInput::JoystickIndexOf(int controller) {
    if (!controllersStarted)
        controllersStarted = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!controllersStarted)
        return -1;
    int seen = 0;
    for (int joystick = 0; joystick < SDL_NumJoysticks(); ++joystick) {
        if (SDL_IsGameController(joystick) && seen++ == controller)
            return joystick;
    }
    return -1;
}

PlatSdlInput& PlatGetSdlInput() {
    static PlatSdlInput input;
    return input;
}
