#include "Platform/Sdl/SdlInput.h"
#include "Platform/Input/DirectInput8.h"
#include "Platform/Sdl/SdlEventSource.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// The SDL input devices fed by events pushed onto SDL's queue and taken
// off it by the event source, as in the game.
class SdlInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
        PlatSetInputBackendKind(PlatInputBackendKind::Sdl);
        PlatGetSdlInput().Reset();
        ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, &input, nullptr), S_OK);
        keyboard = OpenDevice(GUID_SysKeyboard, c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
        mouse = OpenDevice(GUID_SysMouse, c_dfDIMouse, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    }
    void TearDown() override {
        PlatReleaseAndClear(keyboard);
        PlatReleaseAndClear(mouse);
        PlatReleaseAndClear(input);
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
    }

    IDirectInputDevice8* OpenDevice(const GUID& guid, const DIDATAFORMAT& format, DWORD level) {
        IDirectInputDevice8* device = nullptr;
        EXPECT_EQ(input->CreateDevice(guid, &device, nullptr), S_OK);
        EXPECT_EQ(device->SetDataFormat(&format), S_OK);
        EXPECT_EQ(device->SetCooperativeLevel(nullptr, level), S_OK);
        EXPECT_EQ(device->Acquire(), S_OK);
        return device;
    }

    static void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }
    static void PushKey(SDL_Scancode scancode, bool down, bool repeat = false) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym.scancode = scancode;
        event.key.repeat = repeat ? 1 : 0;
        Push(event);
    }
    static void PushButton(Uint8 button, bool down) {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = button;
        Push(event);
    }
    static void Pump() { PlatSdlEventSource().Pump(); }

    std::array<BYTE, 256> Keys() {
        std::array<BYTE, 256> keys{};
        EXPECT_EQ(keyboard->GetDeviceState(256, keys.data()), S_OK);
        return keys;
    }
    // The codes whose byte is set.
    std::vector<int> KeysDown() {
        std::vector<int> down;
        const auto keys = Keys();
        for (int code = 0; code < 256; ++code)
            if (keys[code] == 0x80)
                down.push_back(code);
        return down;
    }
    DIMOUSESTATE Mouse() {
        DIMOUSESTATE state;
        EXPECT_EQ(mouse->GetDeviceState(sizeof(state), &state), S_OK);
        return state;
    }

    IDirectInput8* input = nullptr;
    IDirectInputDevice8* keyboard = nullptr;
    IDirectInputDevice8* mouse = nullptr;
};

TEST_F(SdlInputTest, ScancodesSetTheBytesOfTheirKeyCodes) {
    struct Case {
        SDL_Scancode scancode;
        std::vector<int> codes;
    };
    const std::vector<Case> cases = {
        {SDL_SCANCODE_A, {30}},     {SDL_SCANCODE_KP_ENTER, {156}}, {SDL_SCANCODE_RCTRL, {157}},
        {SDL_SCANCODE_ESCAPE, {1}}, {SDL_SCANCODE_GRAVE, {41}},     {SDL_SCANCODE_NONUSBACKSLASH, {86}},
        {SDL_SCANCODE_UP, {200}},   {SDL_SCANCODE_KP_8, {72}},      {SDL_SCANCODE_PRINTSCREEN, {183}},
        {SDL_SCANCODE_LGUI, {}},    {SDL_SCANCODE_APPLICATION, {}}, {SDL_SCANCODE_F16, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(SDL_GetScancodeName(c.scancode));
        PushKey(c.scancode, true);
        Pump();
        EXPECT_EQ(KeysDown(), c.codes);
        PushKey(c.scancode, false);
        PushKey(c.scancode, true, true);
        Pump();
        EXPECT_EQ(KeysDown(), std::vector<int>{});
    }
}

// At a few frames a second a quick tap falls between two reads of the
// keyboard: the next read sees the key down once, the read after released.
TEST_F(SdlInputTest, AKeyTappedBetweenTwoReadsIsSeenDownOnce) {
    PushKey(SDL_SCANCODE_RETURN, true);
    PushKey(SDL_SCANCODE_RETURN, false);
    PushKey(SDL_SCANCODE_A, true);
    Pump();
    EXPECT_EQ(KeysDown(), (std::vector<int>{28, 30}));
    EXPECT_EQ(KeysDown(), std::vector<int>{30});
    PushKey(SDL_SCANCODE_A, false);
    PushKey(SDL_SCANCODE_A, true);
    PushKey(SDL_SCANCODE_A, false);
    Pump();
    EXPECT_EQ(KeysDown(), std::vector<int>{30});
    EXPECT_EQ(KeysDown(), std::vector<int>{});
}

TEST_F(SdlInputTest, MouseGathersMotionWheelAndButtonsUntilRead) {
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.xrel = 5;
    motion.motion.yrel = -3;
    Push(motion);
    Push(motion);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 1;
    Push(wheel);
    wheel.wheel.y = 3;
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    Push(wheel);
    PushButton(SDL_BUTTON_RIGHT, true);
    PushButton(SDL_BUTTON_X1, true);
    Pump();

    DIMOUSESTATE state = Mouse();
    EXPECT_EQ(state.lX, 10);
    EXPECT_EQ(state.lY, -6);
    EXPECT_EQ(state.lZ, -2);
    EXPECT_EQ(state.rgbButtons[0], 0);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    EXPECT_EQ(state.rgbButtons[2], 0);
    EXPECT_EQ(state.rgbButtons[3], 0);

    PushButton(SDL_BUTTON_LEFT, true);
    PushButton(SDL_BUTTON_MIDDLE, true);
    Pump();
    state = Mouse();
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lY, 0);
    EXPECT_EQ(state.lZ, 0);
    EXPECT_EQ(state.rgbButtons[0], 0x80);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    EXPECT_EQ(state.rgbButtons[2], 0x80);
}

TEST_F(SdlInputTest, LosingTheFocusReleasesEveryKeyAndButton) {
    PushKey(SDL_SCANCODE_A, true);
    PushKey(SDL_SCANCODE_SPACE, true);
    PushButton(SDL_BUTTON_LEFT, true);
    Pump();
    ASSERT_EQ(KeysDown(), (std::vector<int>{30, 57}));
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    Push(focus);
    Pump();
    EXPECT_EQ(KeysDown(), std::vector<int>{});
    EXPECT_EQ(Mouse().rgbButtons[0], 0);
}

TEST_F(SdlInputTest, DevicesReadOnlyWhileAcquiredAndWithTheirFormat) {
    std::array<BYTE, 256> keys{};
    DIMOUSESTATE state;
    EXPECT_EQ(keyboard->GetDeviceState(16, keys.data()), E_INVALIDARG);
    EXPECT_EQ(keyboard->Unacquire(), S_OK);
    EXPECT_EQ(keyboard->Unacquire(), S_FALSE);
    EXPECT_EQ(keyboard->GetDeviceState(256, keys.data()), DIERR_NOTACQUIRED);
    EXPECT_EQ(mouse->Unacquire(), S_OK);
    EXPECT_EQ(mouse->GetDeviceState(sizeof(state), &state), DIERR_NOTACQUIRED);
    EXPECT_EQ(mouse->SetDataFormat(&c_dfDIKeyboard), E_INVALIDARG);
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_FOREGROUND), E_INVALIDARG);
    IDirectInputDevice8* none = nullptr;
    EXPECT_EQ(input->CreateDevice(GUID{9, 0}, &none, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(none, nullptr);
    IDirectInput8* other = nullptr;
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, &other, nullptr), E_INVALIDARG);
    EXPECT_EQ(other, nullptr);
}

BOOL TakeFirst(const DIDEVICEINSTANCE* instance, void* context) {
    *static_cast<GUID*>(context) = instance->guidInstance;
    return DIENUM_STOP;
}

BOOL SetRange(const DIDEVICEOBJECTINSTANCE* object, void* context) {
    auto* device = static_cast<IDirectInputDevice8*>(context);
    DIPROPRANGE range;
    range.diph = {sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), object->dwType, DIPH_BYID};
    range.lMin = -1000;
    range.lMax = 1000;
    EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &range.diph), S_OK);
    return DIENUM_CONTINUE;
}

BOOL CountAxes(const DIDEVICEOBJECTINSTANCE*, void* context) {
    ++*static_cast<int*>(context);
    return DIENUM_CONTINUE;
}

TEST_F(SdlInputTest, VirtualControllerIsOpenedAndAcquiredButChangesNoKey) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    const int joystick = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                   SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(joystick, 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(joystick));

    GUID found{0, 99};
    ASSERT_EQ(input->EnumDevices(DI8DEVCLASS_GAMECTRL, TakeFirst, &found, DIEDFL_ATTACHEDONLY), S_OK);
    ASSERT_EQ(found.kind, kPlatControllerGuidKind);
    IDirectInputDevice8* controller = nullptr;
    ASSERT_EQ(input->CreateDevice(found, &controller, nullptr), S_OK);
    ASSERT_NE(PlatGetSdlInput().GetController(0), nullptr);
    EXPECT_EQ(controller->SetDataFormat(&c_dfDIJoystick2), S_OK);
    EXPECT_EQ(controller->SetCooperativeLevel(nullptr, DISCL_EXCLUSIVE | DISCL_FOREGROUND), S_OK);
    int axes = 0;
    EXPECT_EQ(controller->EnumObjects(CountAxes, &axes, DIDFT_AXIS), S_OK);
    EXPECT_EQ(axes, SDL_CONTROLLER_AXIS_MAX);
    EXPECT_EQ(controller->EnumObjects(SetRange, controller, DIDFT_AXIS), S_OK);
    EXPECT_EQ(controller->Poll(), DIERR_NOTACQUIRED);
    EXPECT_EQ(controller->Acquire(), S_OK);
    EXPECT_EQ(controller->Poll(), S_OK);

    SDL_Joystick* device = SDL_GameControllerGetJoystick(PlatGetSdlInput().GetController(0));
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button)
        SDL_JoystickSetVirtualButton(device, button, SDL_PRESSED);
    SDL_JoystickSetVirtualAxis(device, 0, 30000);
    EXPECT_EQ(controller->Poll(), S_OK);
    Pump();
    EXPECT_EQ(KeysDown(), std::vector<int>{});
    EXPECT_EQ(Mouse().rgbButtons[0], 0);

    PlatReleaseAndClear(controller);
    EXPECT_EQ(PlatGetSdlInput().GetController(0), nullptr);
    SDL_JoystickDetachVirtual(joystick);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

} // namespace
