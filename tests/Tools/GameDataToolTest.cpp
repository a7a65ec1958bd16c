#include "Core/PFileWriter.h"
#include "Game/ScoreFile.h"

#include "Support/TempGameRoot.h"
#include "Support/ToolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

ToolRun GameDataTool(const std::string& arguments) {
    return RunTool(GAMEDATATOOL_PATH, arguments);
}

TEST(GameDataTool, TheBuiltDemoDataPasses) {
    const std::string data = KV_BUILD_DATA;
    const ToolRun run = GameDataTool("check " + data + " " + data + "/Levels/level1.txt");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "0 problems\n");
}

TEST(GameDataTool, ACheckNamesEveryProblemWithItsFileAndLine) {
    TempGameRoot root;
    for (const char* name : {"strings.txt", "items.txt", "player.dat", "coeff.dat"})
        fs::copy_file(fs::path(KV_BUILD_DATA) / name, root.Path() / name);
    const std::string items = TempGameRoot::ReadFile("items.txt");
    TempGameRoot::WriteFile("items.txt", items + "[armor]\nfoil;cheap;1;foil_desc;1\n");
    TempGameRoot::WriteFile("coeff.dat", "1\n1\n1\n");
    TempGameRoot::WriteFile("level9.txt", "30  1 0 0 a,1 5 b,1\nsources\nnorth enemies 1 5 a,1\n");
    const int badItemLine = static_cast<int>(std::count(items.begin(), items.end(), '\n')) + 2;

    const ToolRun run = GameDataTool("check " + root.Path().string() + " level9.txt missing.txt");
    EXPECT_EQ(run.exitCode, 1);
    for (const std::string& expected :
         {"items.txt line " + std::to_string(badItemLine) + ": field 2 \"cheap\" is not a whole number",
          std::string("coeff.dat: line 4 is missing"),
          std::string("level9.txt line 1: 7 fields expected, 8 found"),
          std::string("missing.txt: cannot be read"), std::string("5 problems\n")})
        EXPECT_NE(run.output.find(expected), std::string::npos) << expected << "\n" << run.output;
}

TEST(GameDataTool, ScoresPrintsEveryRecordAndRefusesACutFile) {
    TempGameRoot root;
    ScoreTables tables = InitialScoreTables();
    tables[0][0] = {"ace", 1, 2, 3};
    CPFileWriter writer("scores.dat", true);
    WriteScoreTables(writer, tables);
    ASSERT_EQ(writer.Save(), S_OK);
    ToolRun run = GameDataTool("scores scores.dat");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output.substr(0, 27), "0 \"ace\" 1 2 3\n0 \"\" 999 0 0\n");
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 42);

    fs::resize_file("scores.dat", 30);
    run = GameDataTool("scores scores.dat");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "0 \"ace\" 1 2 3\n");
}

} // namespace
