#include "Application/RunOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(RunOptions, CommandLine) {
    struct Case {
        std::vector<const char*> args;
        bool ok;
        int launcherResult;
        int frames;
    };
    const std::vector<Case> cases = {
        {{}, true, LAUNCH_DIALOG, -1},
        {{"--fullscreen"}, true, LAUNCH_FULLSCREEN, -1},
        {{"--fullscreen", "--windowed"}, true, LAUNCH_WINDOWED, -1},
        {{"--frames", "100", "--fullscreen"}, true, LAUNCH_FULLSCREEN, 100},
        {{"--frames", "0"}, true, LAUNCH_DIALOG, 0},
        {{"--frames"}, false, 0, 0},
        {{"--frames", "-3"}, false, 0, 0},
        {{"--frames", "12x"}, false, 0, 0},
        {{"--frames", ""}, false, 0, 0},
        {{"--window"}, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases.data()));
        std::vector<const char*> argv{"kestrovar"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        SPRunOptions options;
        std::string error;
        const bool ok = ParseRunOptions(static_cast<int>(argv.size()), argv.data(), options, error);
        EXPECT_EQ(ok, c.ok) << argv.size();
        EXPECT_EQ(error.empty(), c.ok);
        if (ok && c.ok) {
            EXPECT_EQ(options.launcherResult, c.launcherResult);
            EXPECT_EQ(options.frames, c.frames);
        }
    }
}

TEST(RunOptions, InputFile) {
    struct Case {
        std::vector<const char*> args;
        bool ok;
        std::string inputFile;
    };
    const std::vector<Case> cases = {
        {{"--windowed"}, true, ""},
        {{"--input", "keys.txt", "--windowed"}, true, "keys.txt"},
        {{"--input"}, false, ""},
        {{"--input", ""}, false, ""},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"kestrovar"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        SPRunOptions options;
        std::string error;
        EXPECT_EQ(ParseRunOptions(static_cast<int>(argv.size()), argv.data(), options, error), c.ok);
        EXPECT_EQ(options.inputFile, c.inputFile);
    }
}

} // namespace

TEST(RunOptions, LevelAndCar) {
    struct Case {
        std::vector<const char*> args;
        bool ok;
        std::string level;
        std::string car;
    };
    const std::vector<Case> cases = {
        {{"--windowed"}, true, "", "buggy"},
        {{"--level", "level1", "--windowed"}, true, "level1", "buggy"},
        {{"--car", "roadster1", "--level", "level1"}, true, "level1", "roadster1"},
        {{"--level"}, false, "", ""},
        {{"--car", ""}, false, "", ""},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"kestrovar"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        SPRunOptions options;
        std::string error;
        EXPECT_EQ(ParseRunOptions(static_cast<int>(argv.size()), argv.data(), options, error), c.ok);
        if (c.ok) {
            EXPECT_EQ(options.level, c.level);
            EXPECT_EQ(options.car, c.car);
        }
    }
}

TEST(RunOptions, FrameTimeAndTrace) {
    struct Case {
        std::vector<const char*> args;
        bool ok;
        double frameTime;
        std::string traceFile;
    };
    const std::vector<Case> cases = {
        {{"--windowed"}, true, 0, ""},
        {{"--frame-time", "0.0166667", "--trace", "trace.txt"}, true, 0.0166667, "trace.txt"},
        {{"--frame-time", "1"}, true, 1, ""},
        {{"--frame-time", "0"}, false, 0, ""},
        {{"--frame-time", "-0.01"}, false, 0, ""},
        {{"--frame-time", "1.5"}, false, 0, ""},
        {{"--frame-time", "nan"}, false, 0, ""},
        {{"--frame-time", "0.01s"}, false, 0, ""},
        {{"--frame-time", ""}, false, 0, ""},
        {{"--frame-time"}, false, 0, ""},
        {{"--trace"}, false, 0, ""},
        {{"--trace", ""}, false, 0, ""},
        {{"--headless", "--trace", "t.txt"}, true, 0, "t.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases.data()));
        std::vector<const char*> argv{"kestrovar"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        SPRunOptions options;
        std::string error;
        EXPECT_EQ(ParseRunOptions(static_cast<int>(argv.size()), argv.data(), options, error), c.ok);
        EXPECT_EQ(error.empty(), c.ok);
        if (c.ok) {
            EXPECT_EQ(options.frameTime, c.frameTime);
            EXPECT_EQ(options.traceFile, c.traceFile);
            EXPECT_EQ(options.headless, c.args.size() == 3);
        }
    }
}

TEST(RunOptions, TimingsAreAskedFor) {
    for (const bool asked : {false, true}) {
        std::vector<const char*> argv{"kestrovar", "--windowed"};
        if (asked)
            argv.push_back("--timings");
        SPRunOptions options;
        std::string error;
        ASSERT_TRUE(ParseRunOptions(static_cast<int>(argv.size()), argv.data(), options, error)) << error;
        EXPECT_EQ(options.timings, asked);
    }
}
