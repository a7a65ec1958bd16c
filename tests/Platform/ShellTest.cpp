#include "Platform/Win32Shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

TEST(ShellExecute, HandsOnlyPlainTargetsToTheOpener) {
    std::vector<std::string> opened;
    PlatSetShellRecorder([&](const std::string& verb, const std::string& target) {
        EXPECT_EQ(verb, "open");
        opened.push_back(target);
    });
    struct Case {
        const char* verb;
        const char* target;
        BOOL result;
    };
    const std::vector<Case> cases = {
        {"open", "http://www.kestrovar.example/bye", TRUE},
        {"open", "http://a b/c;$(rm -rf x)", TRUE}, // one argument, never a shell line
        {"open", "", FALSE},
        {"open", nullptr, FALSE},
        {"open", "http://x\ny", FALSE},
        {"open", "http://x\x7F", FALSE},
        {"open", "--help", FALSE},
        {"print", "http://x", FALSE},
        {nullptr, "http://x", FALSE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShellExecuteA(nullptr, c.verb, c.target, "", "", SW_SHOWNORMAL), c.result)
            << (c.target ? c.target : "(null)");
    EXPECT_EQ(opened,
              (std::vector<std::string>{"http://www.kestrovar.example/bye", "http://a b/c;$(rm -rf x)"}));
    PlatSetShellRecorder({});
}

TEST(ShellExecute, StartsNothingWithoutADesktop) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    EXPECT_EQ(ShellExecuteA(nullptr, "open", "http://www.kestrovar.example/", "", "", SW_SHOWNORMAL), FALSE);
}

} // namespace
