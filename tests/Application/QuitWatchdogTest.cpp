#include "Application/PQuitWatchdog.h"
#include "Core/Log.h"
#include "Platform/QuitRequest.h"
#include "Support/TempGameRoot.h"

#include "lua.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr const char* kStuckMessage = "the game is stuck in a script; ending without saving";

// A script stuck inside one C call: a pattern search that backtracks for
// far longer than any test runs, where no instruction count can stop it.
void RunStuckScript() {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    luaL_dostring(L, "string.find(string.rep('a', 60), string.rep('a*', 60) .. 'b')");
    lua_close(L);
}

// The window system's handler, which only notes a quit for its next pump.
void NoteQuitForLater(int) {}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(QuitWatchdog, AQuitAskedWhileAScriptIsStuckEndsTheGameSayingSo) {
    const struct {
        const char* name;
        void (*ask)();
    } cases[] = {
        {"the window closed", [] { PlatRequestQuit(); }},
        {"SIGTERM", [] { std::raise(SIGTERM); }},
        {"SIGINT", [] { std::raise(SIGINT); }},
        {"SIGHUP", [] { std::raise(SIGHUP); }},
    };
    TempGameRoot root;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove("log.txt");
        EXPECT_EXIT(
            {
                GetLog().OpenFile("log.txt");
                for (int signal : {SIGINT, SIGTERM, SIGHUP})
                    std::signal(signal, NoteQuitForLater);
                PlatWatchQuitSignals();
                const CPQuitWatchdog watchdog(200ms);
                c.ask();
                RunStuckScript();
            },
            ::testing::ExitedWithCode(1), kStuckMessage);
        EXPECT_NE(ReadText("log.txt").find(kStuckMessage), std::string::npos);
    }
}

// Without a request, or when the main loop ends within the grace time, the
// watchdog lets the game go on.
TEST(QuitWatchdog, AGameThatEndsInTimeOrIsNotAskedGoesOn) {
    PlatWatchQuitSignals();
    {
        const CPQuitWatchdog watchdog(50ms);
        std::this_thread::sleep_for(300ms);
    }
    {
        const CPQuitWatchdog watchdog(2s);
        PlatRequestQuit();
        std::this_thread::sleep_for(150ms);
    }
    PlatUnwatchQuitSignals();
    SUCCEED() << "still running";
}

} // namespace
