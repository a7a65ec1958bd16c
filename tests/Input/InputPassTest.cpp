#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "InputFixture.h"

#include <functional>
#include <utility>

namespace {

constexpr const char* kBindings = "fire;Fire;Space;false\n"
                                  "strafe;Strafe;A;false\n"
                                  "select;Select;Enter;false\n"
                                  "say,hi;Say hello;B;false\n";

// What the devices do before one pass, and what the pass must send.
struct PassStep {
    std::vector<int> press{};
    std::vector<int> release{};
    LONG dx = 0;
    LONG dy = 0;
    LONG wheel = 0;
    std::vector<std::pair<int, bool>> buttons{};
    bool mouseFails = false;
    bool keyboardFails = false;
    std::vector<std::string> expected{};
};

struct Scenario {
    const char* name;
    std::function<void(CNInput&)> prepare;
    std::vector<PassStep> passes;
};

void ApplyStep(PlatScriptedInput& devices, const PassStep& step) {
    for (int code : step.press)
        devices.SetKey(code, true);
    for (int code : step.release)
        devices.SetKey(code, false);
    devices.Move(step.dx, step.dy);
    devices.Turn(step.wheel);
    for (const auto& [button, down] : step.buttons)
        devices.SetButton(button, down);
    if (step.mouseFails)
        devices.FailNextRead(PlatInputDevice::Mouse);
    if (step.keyboardFails)
        devices.FailNextRead(PlatInputDevice::Keyboard);
}

using InputPassTest = InputFixture;

TEST_F(InputPassTest, PassesSendTheirCommandsAndBroadcastsInOrder) {
    const auto nothing = [](CNInput&) {};
    const std::vector<Scenario> scenarios = {
        {"bound action name holding a comma",
         nothing,
         {{.press = {48}, .expected = {"key_action say,hi|1"}},
          {.release = {48}, .expected = {"key_action say,hi|0", "any_key"}}}},
        {"held key",
         nothing,
         {{.press = {57}, .expected = {"key_action fire|1"}},
          {.expected = {}},
          {.expected = {}},
          {.release = {57}, .expected = {"key_action fire|0", "any_key"}}}},
        {"three releases in one pass, ascending",
         nothing,
         {{.press = {30, 1, 28},
           .expected = {"standart_action escape|1", "key_action select|1", "standart_action enter|1",
                        "enterPress", "key_action strafe|1"}},
          {.release = {30, 28, 1},
           .expected = {"standart_action escape|0", "key_action select|0", "standart_action enter|0",
                        "enterRelease", "key_action strafe|0", "any_key"}}}},
        {"assignment mode reports the first release only",
         [](CNInput& input) { input.assignMode = true; },
         {{.press = {59, 60}, .expected = {}},
          {.release = {60, 59}, .expected = {"key_assign F1|false", "any_key"}},
          {.press = {59}, .expected = {}},
          {.release = {59}, .expected = {"any_key"}}}},
        {"assignment of the comma key and of a key without a name",
         [](CNInput& input) { input.assignMode = true; },
         {{.press = {51, 219}, .expected = {}},
          {.release = {51}, .expected = {"key_assign ,|false", "any_key"}},
          {.release = {219}, .expected = {"any_key"}}}},
        {"key without a name",
         [](CNInput& input) { input.assignMode = true; },
         {{.press = {219}, .expected = {}},
          {.release = {219}, .expected = {"key_assign undefined key|false", "any_key"}}}},
        {"actions disabled",
         [](CNInput& input) { input.actionsEnabled = false; },
         {{.press = {57, 1},
           .wheel = 2,
           .buttons = {{1, true}},
           .expected = {"key_action prev_weapon|0", "mouseDown 1 0 0", "key_action mouse1|0",
                        "standart_action escape|1"}},
          {.release = {57, 1}, .expected = {"standart_action escape|0", "any_key"}}}},
        {"mouse buttons",
         nothing,
         {{.buttons = {{0, true}, {1, true}, {2, true}},
           .expected = {"mouseDown 0 0 0", "mouseDown 1 0 0", "key_action mouse1|0", "mouseDown 2 0 0",
                        "key_action mouse2|0"}},
          {.expected = {}},
          {.buttons = {{0, false}, {1, false}, {2, false}},
           .expected = {"mouseUp 0 0 0", "mouseUp 1 0 0", "key_action mouse1|1", "mouseUp 2 0 0",
                        "key_action mouse2|1"}}}},
        {"wheel",
         nothing,
         {{.wheel = 3, .expected = {"key_action prev_weapon|0"}},
          {.wheel = -1, .expected = {"key_action next_weapon|0"}},
          {.expected = {}}}},
        {"pointer kept inside the screen, two pixels a count",
         [](CNInput&) { g_MouseSetting = 1.0f; },
         {{.dx = 10, .dy = 5, .expected = {"mouseMove 20 10"}},
          {.dx = 400, .dy = 300, .expected = {"mouseMove 639 479"}},
          {.dx = 5, .dy = 1, .expected = {}},
          {.dx = -10, .expected = {"mouseMove 619 479"}},
          {.dx = -1000, .dy = -1000, .expected = {"mouseMove 0 0"}},
          {.dx = -1, .dy = -1, .expected = {}}}},
        {"NumPad Enter",
         nothing,
         {{.press = {156}, .expected = {"standart_action enter|1", "enterPress"}},
          {.release = {156}, .expected = {"standart_action enter|0", "enterRelease", "any_key"}}}},
        {"arrows: Up asks for menu_down, Down for menu_up",
         nothing,
         {{.press = {200}, .expected = {"keyUp"}},
          {.release = {200}, .expected = {"any_key"}},
          {.press = {80}, .expected = {"keyDown"}},
          {.press = {203, 77},
           .expected = {"standart_action right|1", "keyRight", "standart_action left|1", "keyLeft"}},
          {.release = {80, 203, 77},
           .expected = {"standart_action right|0", "standart_action left|0", "any_key"}},
          {.press = {14}, .expected = {"standart_action backspace|1"}}}},
        {"failed reads change nothing",
         nothing,
         {{.press = {57},
           .buttons = {{1, true}},
           .expected = {"mouseDown 1 0 0", "key_action mouse1|0", "key_action fire|1"}},
          {.release = {57},
           .dx = 50,
           .buttons = {{1, false}},
           .mouseFails = true,
           .keyboardFails = true,
           .expected = {}},
          {.expected = {"mouseUp 1 50 0", "key_action mouse1|1", "mouseMove 50 0", "key_action fire|0",
                        "any_key"}}}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        Devices().Reset();
        g_MouseSetting = 0.0f;
        StartInput(kBindings);
        scenario.prepare(*input);
        for (std::size_t i = 0; i < scenario.passes.size(); ++i) {
            SCOPED_TRACE("pass " + std::to_string(i + 1));
            ApplyStep(Devices(), scenario.passes[i]);
            EXPECT_EQ(Pass(), scenario.passes[i].expected);
        }
    }
    g_MouseSetting = 0.0f;
}

TEST_F(InputPassTest, PointerPositionIsTruncated) {
    StartInput(kBindings);
    g_MouseSetting = -0.5f;
    Devices().Move(7, 3);
    Pass();
    g_MouseSetting = 0.0f;
    int x = -1, y = -1;
    input->GetMousePosition(x, y);
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 1);
}

TEST_F(InputPassTest, DevicesFollowTheApplicationFocus) {
    Devices().SetControllerCount(1);
    StartInput(kBindings);
    ASSERT_NE(g_Joystick, nullptr);
    Devices().SetKey(57, true);
    g_AppActive = false;
    EXPECT_EQ(Pass(), Log{});
    EXPECT_FALSE(Devices().IsAcquired(PlatInputDevice::Keyboard));
    EXPECT_FALSE(Devices().IsAcquired(PlatInputDevice::Mouse));
    EXPECT_FALSE(Devices().IsAcquired(PlatInputDevice::Controller));
    g_AppActive = true;
    EXPECT_EQ(Pass(), Log{"key_action fire|1"});
    for (auto kind : {PlatInputDevice::Keyboard, PlatInputDevice::Mouse, PlatInputDevice::Controller})
        EXPECT_TRUE(Devices().IsAcquired(kind));
}

TEST_F(InputPassTest, LostControllerIsAcquiredOncePerPass) {
    Devices().SetControllerCount(1);
    StartInput(kBindings);
    Devices().SetControllerLost(true);
    for (int pass = 0; pass < 3; ++pass)
        Pass();
    EXPECT_EQ(Devices().GetControllerAcquires(), 3);
    EXPECT_EQ(Devices().GetControllerPolls(), 0);
    // Once acquired it stays so and is polled in every pass.
    Devices().SetControllerLost(false);
    Pass();
    Pass();
    EXPECT_EQ(Devices().GetControllerAcquires(), 4);
    EXPECT_EQ(Devices().GetControllerPolls(), 1);
}

TEST_F(InputPassTest, StartingAgainReopensTheDevices) {
    Devices().SetControllerCount(1);
    StartInput(kBindings);
    input->Stop();
    ASSERT_TRUE(input->Start());
    EXPECT_NE(g_Joystick, nullptr);
    Devices().SetKey(57, true);
    EXPECT_EQ(Pass(), Log{"key_action fire|1"});
    input.reset();
    for (auto kind : {PlatInputDevice::Keyboard, PlatInputDevice::Mouse, PlatInputDevice::Controller})
        EXPECT_FALSE(Devices().IsOpen(kind));
}

TEST_F(InputPassTest, StartFailures) {
    struct Case {
        const char* name;
        bool actionsFile;
        std::function<void(PlatScriptedInput&)> prepare;
        bool started;
        const char* logged;
        bool controller;
    };
    const std::vector<Case> cases = {
        {"no Actions.cfg", false, [](PlatScriptedInput&) {}, false, "Actions.cfg could not be read", false},
        {"keyboard refused", true, [](auto& d) { d.RefuseOpening(PlatInputDevice::Keyboard); }, false,
         "DXError if Input\\NInput", false},
        {"mouse set-up refused", true, [](auto& d) { d.RefuseSetUp(PlatInputDevice::Mouse); }, false,
         "DXError if Input\\NInput", false},
        {"no controller", true, [](PlatScriptedInput&) {}, true, "", false},
        {"controller opened", true, [](auto& d) { d.SetControllerCount(2); }, true, "", true},
        {"controller that cannot be opened", true,
         [](auto& d) {
             d.SetControllerCount(1);
             d.RefuseOpening(PlatInputDevice::Controller);
         },
         true, "", false},
        {"controller that cannot be set up is dropped", true,
         [](auto& d) {
             d.SetControllerCount(1);
             d.RefuseSetUp(PlatInputDevice::Controller);
         },
         true, "The game controller cannot be set up and is not used", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        input.reset();
        Devices().Reset();
        logText.clear();
        std::filesystem::remove("Actions.cfg");
        if (c.actionsFile)
            TempGameRoot::WriteFile("Actions.cfg", kBindings);
        c.prepare(Devices());
        input = std::make_unique<CNInput>();
        EXPECT_EQ(input->Start(), c.started);
        EXPECT_NE(logText.find(c.logged), std::string::npos) << logText;
        EXPECT_EQ(g_Joystick != nullptr, c.controller);
        EXPECT_EQ(Devices().IsOpen(PlatInputDevice::Controller), c.controller);
        input.reset();
        EXPECT_EQ(g_DirectInput, nullptr);
        EXPECT_EQ(g_Joystick, nullptr);
        EXPECT_FALSE(Devices().IsOpen(PlatInputDevice::Keyboard));
        EXPECT_FALSE(Devices().IsOpen(PlatInputDevice::Mouse));
    }
}

} // namespace
