#include "Core/Log.h"
#include "Core/PStageTimer.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

std::string TimeStages(bool enabled) {
    std::string text;
    GetLog().SetSink([&text](std::string_view piece) { text += piece; });
    CPStageTimer::SetEnabled(enabled);
    {
        CPStageTimer timer("level load");
        timer.Stage("terrain");
        timer.Stage("cars");
        timer.End();
        timer.Stage("after the end");
    }
    CPStageTimer::SetEnabled(false);
    GetLog().SetSink({});
    return text;
}

TEST(StageTimer, LogsEachStageAndTheTotalOnlyWhenAskedFor) {
    EXPECT_EQ(TimeStages(false), "");
    const std::regex expected("Timing: level load: terrain [0-9]+\\.[0-9]{3} s\n"
                              "Timing: level load: cars [0-9]+\\.[0-9]{3} s\n"
                              "Timing: level load: total [0-9]+\\.[0-9]{3} s\n");
    const std::string text = TimeStages(true);
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

} // namespace
