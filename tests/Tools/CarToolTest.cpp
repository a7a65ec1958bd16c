#include "Support/TempGameRoot.h"
#include "Support/ToolRun.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kBuggy = std::string(KV_SOURCE_DIR) + "/data/descriptions/buggy.xml";

ToolRun Cartool(const std::string& arguments) {
    return RunTool(CARTOOL_PATH, arguments);
}

struct Row {
    float time, speed, height, heading;
    int wheels;
};

// The report's rows after its heading line.
std::vector<Row> Rows(const std::string& output) {
    std::istringstream lines(output);
    std::string line;
    std::getline(lines, line);
    std::vector<Row> rows;
    Row row{};
    while (lines >> row.time >> row.speed >> row.height >> row.heading >> row.wheels)
        rows.push_back(row);
    return rows;
}

TEST(CarTool, TheDemoCarSettlesOnItsSpringsAndDrivesOff) {
    const ToolRun rest = Cartool("drive " + kBuggy + " --seconds 3");
    ASSERT_EQ(rest.exitCode, 0);
    const std::vector<Row> rows = Rows(rest.output);
    ASSERT_EQ(rows.size(), 30u) << "a line every 0.1 s";
    EXPECT_NEAR(rows.back().time, 3.0f, 1e-3f);
    EXPECT_NEAR(rows.back().height, 1.16f, 0.05f);
    EXPECT_EQ(rows.back().wheels, 4);
    EXPECT_NEAR(rows.back().heading, -90.0f, 0.5f) << "facing -y";

    const std::vector<Row> driven = Rows(Cartool("drive " + kBuggy + " --throttle 1 --seconds 2").output);
    ASSERT_EQ(driven.size(), 20u);
    EXPECT_GT(driven.back().speed, driven[5].speed);
    EXPECT_GT(driven.back().speed, 5.0f);
    // Heavier cars sit lower.
    const std::vector<Row> heavy = Rows(Cartool("drive " + kBuggy + " --mass 40 --seconds 3").output);
    ASSERT_FALSE(heavy.empty());
    EXPECT_LT(heavy.back().height, rows.back().height - 0.2f);
}

TEST(CarTool, BadArgumentsAndDescriptionsAreRefused) {
    TempGameRoot root;
    root.WriteFile("broken.xml", "<car><physics>");
    const struct {
        std::string arguments;
        int exitCode;
    } cases[] = {
        {"", 2},
        {"fly " + kBuggy, 2},
        {"drive", 2},
        {"drive " + kBuggy + " --mass", 2},
        {"drive " + kBuggy + " --mass heavy", 2},
        {"drive " + kBuggy + " --mass -1", 2},
        {"drive " + kBuggy + " --seconds 0", 2},
        {"drive " + kBuggy + " --slope 80", 2},
        {"drive " + kBuggy + " --wings 2", 2},
        {"drive " + kBuggy + " other.xml", 2},
        {"drive missing.xml", 1},
        {"drive broken.xml", 1},
    };
    for (const auto& c : cases) {
        const ToolRun run = Cartool(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
        EXPECT_EQ(run.output, "") << c.arguments;
    }
}

} // namespace
