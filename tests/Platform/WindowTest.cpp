#include "Platform/Sdl/SdlEventSource.h"
#include "Platform/Sdl/SdlWindow.h"
#include "Platform/Win32Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<MSG> g_Received;

LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    g_Received.push_back(MSG{hwnd, message, wParam, lParam});
    return 0;
}

// Windows on SDL's offscreen driver: no display needed.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        PlatResetMessageQueue();
        g_Received.clear();
        WNDCLASS windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = "Test";
        ASSERT_NE(RegisterClass(&windowClass), 0);
    }
    void TearDown() override {
        PlatReleaseWindows();
        PlatResetMessageQueue();
    }

    HWND Create(DWORD style = WS_OVERLAPPED) {
        return CreateWindowEx(0, "Test", "Test", style, 10, 20, 320, 240, nullptr, nullptr, nullptr, nullptr);
    }
};

TEST_F(WindowTest, ClassesAreRegisteredOnceAndNeedAProcedure) {
    WNDCLASS again{};
    again.lpfnWndProc = RecordingProc;
    again.lpszClassName = "Test";
    EXPECT_EQ(RegisterClass(&again), 0);
    WNDCLASS noProc{};
    noProc.lpszClassName = "Other";
    EXPECT_EQ(RegisterClass(&noProc), 0);
    EXPECT_EQ(CreateWindowEx(0, "Missing", "x", 0, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowTest, WindowCarriesAnOpenGLSurfaceOfTheRequestedSize) {
    HWND hwnd = Create(WS_POPUP);
    ASSERT_NE(hwnd, nullptr);
    SDL_Window* sdl = PlatGetSdlWindow(hwnd);
    ASSERT_NE(sdl, nullptr);
    const Uint32 flags = SDL_GetWindowFlags(sdl);
    EXPECT_TRUE(flags & SDL_WINDOW_OPENGL);
    EXPECT_TRUE(flags & SDL_WINDOW_BORDERLESS);
    int width = 0, height = 0;
    SDL_GetWindowSize(sdl, &width, &height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
    EXPECT_EQ(PlatFindWindow(SDL_GetWindowID(sdl)), hwnd);
    EXPECT_EQ(PlatGetSdlWindow(nullptr), nullptr);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
}

TEST_F(WindowTest, FirstShowSendsTheClientSizeBeforeReturning) {
    HWND hwnd = Create();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(g_Received.empty());
    ShowWindow(hwnd, SW_SHOWNORMAL);
    ASSERT_EQ(g_Received.size(), 1u);
    EXPECT_EQ(g_Received[0].message, WM_SIZE);
    EXPECT_EQ(g_Received[0].wParam, SIZE_RESTORED);
    EXPECT_EQ(g_Received[0].lParam, MAKELPARAM(320, 240));
    ShowWindow(hwnd, SW_HIDE);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    EXPECT_EQ(g_Received.size(), 1u);
}

TEST_F(WindowTest, SdlEventsBecomeWindowMessages) {
    HWND hwnd = Create();
    ASSERT_NE(hwnd, nullptr);
    const Uint32 id = SDL_GetWindowID(PlatGetSdlWindow(hwnd));
    const auto windowEvent = [&](Uint8 kind) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = id;
        event.window.event = kind;
        return event;
    };
    const auto keyDown = [&](SDL_Keycode key) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.windowID = id;
        event.key.keysym.sym = key;
        return event;
    };
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = id;
    std::snprintf(text.text.text, sizeof(text.text.text), "%s", "A\xC3\xA9\xE2\x82\xAC");
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    const LPARAM size = MAKELPARAM(320, 240);
    const auto hwndParam = reinterpret_cast<WPARAM>(hwnd);

    struct Case {
        const char* name;
        std::vector<SDL_Event> events;
        std::vector<MSG> expected;
    };
    const std::vector<Case> cases = {
        {"close", {windowEvent(SDL_WINDOWEVENT_CLOSE)}, {{hwnd, WM_CLOSE, 0, 0}}},
        {"quit request", {quit}, {{hwnd, WM_CLOSE, 0, 0}}},
        {"minimise", {windowEvent(SDL_WINDOWEVENT_MINIMIZED)}, {{hwnd, WM_SIZE, SIZE_MINIMIZED, 0}}},
        {"restore", {windowEvent(SDL_WINDOWEVENT_RESTORED)}, {{hwnd, WM_SIZE, SIZE_RESTORED, size}}},
        {"maximise", {windowEvent(SDL_WINDOWEVENT_MAXIMIZED)}, {{hwnd, WM_SIZE, SIZE_MAXIMIZED, size}}},
        {"resize", {windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED)}, {{hwnd, WM_SIZE, SIZE_RESTORED, size}}},
        {"own show", {windowEvent(SDL_WINDOWEVENT_SHOWN)}, {}},
        {"hidden, shown again",
         {windowEvent(SDL_WINDOWEVENT_HIDDEN), windowEvent(SDL_WINDOWEVENT_SHOWN)},
         {{hwnd, WM_SIZE, SIZE_MINIMIZED, 0}, {hwnd, WM_SIZE, SIZE_RESTORED, size}}},
        {"focus gained", {windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)}, {{hwnd, WM_ACTIVATE, WA_ACTIVE, 0}}},
        {"focus lost", {windowEvent(SDL_WINDOWEVENT_FOCUS_LOST)}, {{hwnd, WM_ACTIVATE, WA_INACTIVE, 0}}},
        {"pointer enters", {windowEvent(SDL_WINDOWEVENT_ENTER)}, {{hwnd, WM_SETCURSOR, hwndParam, HTCLIENT}}},
        {"text", {text}, {{hwnd, WM_CHAR, 'A', 0}, {hwnd, WM_CHAR, 0xE9, 0}}},
        {"control keys",
         {keyDown(SDLK_BACKSPACE), keyDown(SDLK_TAB), keyDown(SDLK_RETURN), keyDown(SDLK_KP_ENTER),
          keyDown(SDLK_ESCAPE), keyDown(SDLK_a)},
         {{hwnd, WM_CHAR, 8, 0},
          {hwnd, WM_CHAR, 9, 0},
          {hwnd, WM_CHAR, 13, 0},
          {hwnd, WM_CHAR, 13, 0},
          {hwnd, WM_CHAR, 27, 0}}},
    };
    for (const Case& c : cases) {
        PlatSdlEventSource source;
        std::vector<MSG> got;
        for (const SDL_Event& event : c.events)
            for (const MSG& msg : source.Translate(event))
                got.push_back(msg);
        ASSERT_EQ(got.size(), c.expected.size()) << c.name;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].hwnd, c.expected[i].hwnd) << c.name << " #" << i;
            EXPECT_EQ(got[i].message, c.expected[i].message) << c.name << " #" << i;
            EXPECT_EQ(got[i].wParam, c.expected[i].wParam) << c.name << " #" << i;
            EXPECT_EQ(got[i].lParam, c.expected[i].lParam) << c.name << " #" << i;
        }
    }
}

TEST_F(WindowTest, PumpedEventsReachTheWindowProcedureOnePerPeek) {
    HWND hwnd = Create();
    ASSERT_NE(hwnd, nullptr);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    g_Received.clear();
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(PlatGetSdlWindow(hwnd));
    event.window.event = SDL_WINDOWEVENT_MINIMIZED;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    ASSERT_EQ(SDL_PushEvent(&event), 1);

    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessage(&msg);
    ASSERT_EQ(g_Received.size(), 1u);
    EXPECT_EQ(g_Received[0].message, WM_SIZE);
    EXPECT_EQ(g_Received[0].wParam, SIZE_MINIMIZED);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessage(&msg);
    ASSERT_EQ(g_Received.size(), 2u);
    EXPECT_EQ(g_Received[1].message, WM_CLOSE);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(Utf8ToLatin1, KeepsLatin1AndDropsTheRest) {
    struct Case {
        const char* text;
        std::vector<unsigned char> expected;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"Az 9", {'A', 'z', ' ', '9'}},
        {"\xC3\xA9\xC3\xBF", {0xE9, 0xFF}}, // e acute, y diaeresis
        {"\xE2\x82\xAC!", {'!'}},           // euro sign: outside Latin-1
        {"\xF0\x9F\x98\x80x", {'x'}},       // four-byte sequence
        {"\x80\xBFok", {'o', 'k'}},         // stray continuation bytes
        {"\xC3x", {'x'}},                   // truncated sequence
        {"\xC2\xA0", {0xA0}},               // no-break space
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlatUtf8ToLatin1(c.text), c.expected) << c.text;
}

} // namespace
