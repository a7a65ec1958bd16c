#include "Application/MainWindow.h"
#include "Core/AppState.h"
#include "Core/CallRecorder.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Platform/Sdl/SdlWindow.h"
#include "Render/PDeviceListener.h"
#include "Render/PRender.h"
#include "Script/PScriptManager.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// The main window over a kernel with a running clock and a render task,
// both recording into `calls` (device resets as "device lost"), and a
// running script of the category "interface".
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        PlatResetMessageQueue();
        SetCallRecorder([this](const std::string& call) { calls.push_back(call); });
        g_AppActive = true;
        g_AppExiting = false;
        timer->priority = PRIORITY_TIMER;
        ASSERT_TRUE(kernel.AddTask(timer));
        ASSERT_EQ(CreateMainWindow(nullptr, SW_SHOWNORMAL, &window, true, 640, 480, "Kestrovar"), S_OK);
        TempGameRoot::WriteFile("Data/Scripts/list.dat", "menu t_interface interface\n");
        TempGameRoot::WriteFile("Data/Scripts/menu.lua", "");
        ASSERT_TRUE(scripts.LoadScripts());
        ASSERT_TRUE(scripts.GetScript("menu")->Start());
        calls.clear();
    }
    void TearDown() override {
        PlatReleaseWindows();
        PlatResetMessageQueue();
        SetCallRecorder({});
        g_AppActive = true;
        g_AppExiting = false;
        g_FullScreen = 0;
    }

    void Deliver(UINT message, WPARAM wParam) {
        PostMessage(window, message, wParam, 0);
        DeliverQueued();
    }
    void DeliverQueued() {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
    }
    // A reset starts by telling the device listeners; with no device yet
    // that is all it does.
    int Resets() const { return static_cast<int>(std::count(calls.begin(), calls.end(), "device lost")); }
    bool ClockSuspended() const { return kernel.IsSuspended(timer.Get()); }

    CPGlobalTimer timerTask;
    CPRefPtr<CPGlobalTimer> timer{&timerTask};
    CPTaskManager kernel;
    // The keys the interface script received, oldest first.
    std::vector<std::string> TypedKeys() {
        std::vector<std::string> keys;
        CPLuaScript& menu = *scripts.GetScript("menu");
        while (menu.SetNextCommand()) {
            const ScriptCommand& command = *menu.GetCurrentCommand();
            keys.push_back(command.name + " " + command.params.at(0));
        }
        return keys;
    }

    CPRender render;
    TempGameRoot root;
    CPScriptManager scripts;
    HWND window = nullptr;
    std::vector<std::string> calls;

    struct ResetWatcher : CPDeviceListener {
        explicit ResetWatcher(std::vector<std::string>& record) : record(record) {}
        void OnLostDevice() override { record.push_back("device lost"); }
        void OnResetDevice() override {}
        std::vector<std::string>& record;
    };
    ResetWatcher resetWatcher{calls};
};

TEST_F(MainWindowTest, SizeAndActivationDriveTheClockAndTheDevice) {
    struct Message {
        UINT message;
        WPARAM wParam;
    };
    struct Case {
        const char* name;
        int fullScreen;
        bool exiting;
        std::vector<Message> messages;
        bool active;
        bool suspended;
        int resets;
    };
    const Message minimise{WM_SIZE, SIZE_MINIMIZED};
    const Message deactivate{WM_ACTIVATE, WA_INACTIVE};
    const std::vector<Case> cases = {
        {"minimised", 0, false, {minimise}, false, true, 0},
        {"hidden by maximising another", 0, false, {{WM_SIZE, SIZE_MAXHIDE}}, false, true, 0},
        {"restored", 0, false, {minimise, {WM_SIZE, SIZE_RESTORED}}, true, false, 1},
        {"maximised", 0, false, {minimise, {WM_SIZE, SIZE_MAXIMIZED}}, true, false, 1},
        {"windowed ignores focus", 0, false, {deactivate}, true, false, 0},
        {"fullscreen loses focus", 1, false, {deactivate}, false, true, 0},
        {"fullscreen regains focus", 1, false, {deactivate, {WM_ACTIVATE, WA_ACTIVE}}, true, false, 1},
        {"fullscreen click activation",
         1,
         false,
         {deactivate, {WM_ACTIVATE, WA_CLICKACTIVE}},
         true,
         false,
         1},
        {"fullscreen activation while minimised",
         1,
         false,
         {{WM_ACTIVATE, WA_ACTIVE | (1u << 16)}},
         false,
         true,
         0},
        {"exiting ignores focus", 1, true, {deactivate}, true, false, 0},
    };
    for (const Case& c : cases) {
        kernel.ResumeTask(timer);
        g_AppActive = true;
        g_FullScreen = c.fullScreen;
        g_AppExiting = c.exiting;
        calls.clear();
        for (const Message& m : c.messages)
            Deliver(m.message, m.wParam);
        EXPECT_EQ(g_AppActive, c.active) << c.name;
        EXPECT_EQ(ClockSuspended(), c.suspended) << c.name;
        EXPECT_EQ(Resets(), c.resets) << c.name;
    }
}

TEST_F(MainWindowTest, ARestoreResetsTheDeviceBeforeTheClockResumes) {
    struct ClockWatcher : CPDeviceListener {
        void OnLostDevice() override { onLost(); }
        void OnResetDevice() override {}
        std::function<void()> onLost;
    } watcher;
    std::vector<bool> suspendedAtReset;
    watcher.onLost = [&] { suspendedAtReset.push_back(ClockSuspended()); };
    Deliver(WM_SIZE, SIZE_MINIMIZED);
    Deliver(WM_SIZE, SIZE_RESTORED);
    EXPECT_EQ(suspendedAtReset, std::vector<bool>{true});
    EXPECT_FALSE(ClockSuspended());
}

TEST_F(MainWindowTest, CloseQuitsHidesThePointerAndSendsTypedCharacters) {
    for (UINT message : {WM_CLOSE, WM_DESTROY}) {
        EXPECT_EQ(MainWindowProc(window, message, 0, 0), 0);
        MSG msg;
        ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, WM_QUIT);
        EXPECT_EQ(msg.wParam, 0u);
    }
    EXPECT_EQ(MainWindowProc(window, WM_SETCURSOR, 0, HTCLIENT), TRUE);
    EXPECT_EQ(SetCursor(LoadCursor(nullptr, IDC_ARROW)), nullptr);

    Deliver(WM_CHAR, 'A');
    Deliver(WM_CHAR, 0xE9);
    EXPECT_EQ(TypedKeys(), (std::vector<std::string>{"key 65", "key 233"}));
}

TEST_F(MainWindowTest, DesktopEventsReachTheProcedure) {
    const Uint32 id = SDL_GetWindowID(PlatGetSdlWindow(window));
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = id;
    event.window.event = SDL_WINDOWEVENT_MINIMIZED;
    SDL_PushEvent(&event);
    DeliverQueued();
    EXPECT_FALSE(g_AppActive);
    EXPECT_TRUE(ClockSuspended());

    event.window.event = SDL_WINDOWEVENT_RESTORED;
    SDL_PushEvent(&event);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = id;
    text.text.text[0] = 'A';
    SDL_PushEvent(&text);
    DeliverQueued();
    EXPECT_TRUE(g_AppActive);
    EXPECT_FALSE(ClockSuspended());
    EXPECT_EQ(calls, (std::vector<std::string>{"device lost"}));
    EXPECT_EQ(TypedKeys(), (std::vector<std::string>{"key 65"}));
}

TEST(CreateMainWindow, WindowedAndFullscreenAreCentredAtTheClientSize) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    for (bool windowed : {true, false}) {
        HWND window = nullptr;
        ASSERT_EQ(CreateMainWindow(nullptr, SW_SHOWNORMAL, &window, windowed, 640, 480, "Kestrovar"), S_OK);
        SDL_Window* sdl = PlatGetSdlWindow(window);
        int x = 0, y = 0, width = 0, height = 0;
        SDL_GetWindowPosition(sdl, &x, &y);
        SDL_GetWindowSize(sdl, &width, &height);
        EXPECT_EQ(width, 640);
        EXPECT_EQ(height, 480);
        EXPECT_EQ(x, (GetSystemMetrics(SM_CXSCREEN) - 640) / 2);
        EXPECT_EQ(y, (GetSystemMetrics(SM_CYSCREEN) - 480) / 2);
        EXPECT_EQ((SDL_GetWindowFlags(sdl) & SDL_WINDOW_BORDERLESS) != 0, !windowed);
        EXPECT_STREQ(SDL_GetWindowTitle(sdl), "Kestrovar");
        HWND second = nullptr;
        EXPECT_EQ(CreateMainWindow(nullptr, SW_SHOWNORMAL, &second, windowed, 640, 480, "Kestrovar"), E_FAIL);
        PlatReleaseWindows();
        PlatResetMessageQueue();
    }
}

} // namespace
