#include "Application/InputReplay.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using Change = std::tuple<int, int, int, bool, LONG, LONG>;

std::vector<Change> Changes(const CPInputReplay& replay) {
    std::vector<Change> out;
    for (const PlatInputChange& c : replay.GetChanges())
        out.emplace_back(c.kind, c.pass, c.code, c.down, c.x, c.y);
    return out;
}

TEST(InputReplay, ReadsEveryKindOfLine) {
    TempGameRoot root;
    TempGameRoot::WriteFile("keys.txt", "// Escape ends the game\n"
                                        "19 Esc down\n"
                                        "20 Esc up\n"
                                        "3 NumPad Enter down\n"
                                        "4 mouse 12 -7\n"
                                        "5 button 1 down\n"
                                        "6 wheel -2\n"
                                        "7 ; up\n"
                                        "8 autodrive on\n"
                                        "2 autodrive off\n");
    CPInputReplay replay;
    std::string error;
    ASSERT_TRUE(replay.Load("keys.txt", error)) << error;
    EXPECT_EQ(Changes(replay), (std::vector<Change>{{PlatInputChange::Key, 19, 1, true, 0, 0},
                                                    {PlatInputChange::Key, 20, 1, false, 0, 0},
                                                    {PlatInputChange::Key, 3, 156, true, 0, 0},
                                                    {PlatInputChange::Motion, 4, 0, false, 12, -7},
                                                    {PlatInputChange::Button, 5, 1, true, 0, 0},
                                                    {PlatInputChange::Wheel, 6, 0, false, -2, 0},
                                                    {PlatInputChange::Key, 7, 39, false, 0, 0}}));
    ASSERT_EQ(replay.GetAutodriveSwitches().size(), 2u);
    EXPECT_EQ(replay.GetAutodriveSwitches()[0].frame, 8);
    EXPECT_TRUE(replay.GetAutodriveSwitches()[0].on);
    EXPECT_EQ(replay.GetAutodriveSwitches()[1].frame, 2);
    EXPECT_FALSE(replay.GetAutodriveSwitches()[1].on);
}

TEST(InputReplay, RefusesWhatItCannotReplay) {
    TempGameRoot root;
    const char* const lines[] = {
        "x Esc down",    "0 Esc down",      "5 Escape down",  "5 undefined key down",
        "5 Esc pressed", "5 mouse 1",       "5 mouse 1 2 3",  "5 button 3 up",
        "5 wheel",       "5 wheel many",    "5 Esc",          "99999999999 Esc down",
        "5 autodrive",   "5 autodrive yes", "0 autodrive on", "5 autodrive on now",
    };
    for (const char* line : lines) {
        TempGameRoot::WriteFile("bad.txt", std::string("1 Esc down\n") + line + "\n");
        CPInputReplay replay;
        std::string error;
        EXPECT_FALSE(replay.Load("bad.txt", error)) << line;
        EXPECT_NE(error.find(line), std::string::npos) << error;
    }
    CPInputReplay replay;
    std::string error;
    EXPECT_FALSE(replay.Load("missing.txt", error));
    EXPECT_EQ(error, "missing.txt cannot be read");
}

} // namespace
