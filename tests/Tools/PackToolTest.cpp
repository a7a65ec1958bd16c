#include "Core/PFileReader.h"
#include "Core/PackFiles.h"

#include "Support/PackFixtures.h"
#include "Support/TempGameRoot.h"
#include "Support/ToolRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

namespace {

using namespace std::string_literals;

ToolRun Packtool(const std::string& arguments) {
    return RunTool(PACKTOOL_PATH, arguments);
}

// Every regular file below the folder, by its path relative to it.
std::map<std::string, std::string> Tree(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), folder).string()] =
                TempGameRoot::ReadFile(entry.path());
    }
    return files;
}

TEST(PackTool, BuildListExtractRoundTripsAFolder) {
    TempGameRoot root;
    std::string big(5000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    root.WriteFile("src/data/textures/a.tga", "\0\x01\xff tga"s);
    root.WriteFile("src/data/empty.txt", "");
    root.WriteFile("src/data/scripts/deep/x.lua", "print(1)\n");
    root.WriteFile("src/data/big.bin", big);

    ASSERT_EQ(Packtool("build src/data game1.dat").exitCode, 0);
    const ToolRun list = Packtool("list game1.dat");
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.output, "data\\big.bin\t5000\n"
                           "data\\empty.txt\t0\n"
                           "data\\scripts\\deep\\x.lua\t9\n"
                           "data\\textures\\a.tga\t7\n");

    ASSERT_EQ(Packtool("extract game1.dat out").exitCode, 0);
    EXPECT_EQ(Tree("out/data"), Tree("src/data"));
}

TEST(PackTool, ABuiltPackServesTheEnginesDataPaths) {
    TempGameRoot root;
    root.WriteFile("src/Data/Textures/Load.TGA", "image");
    std::filesystem::create_directories("Data");
    ASSERT_EQ(Packtool("build src/Data Data/game1.dat").exitCode, 0);

    g_PackFiles.clear();
    ASSERT_EQ(MountPackFiles(), S_OK);
    CPFileReader reader("data\\textures\\load.tga", false);
    ASSERT_EQ(reader.Load(), S_OK);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reader.GetData()), reader.GetSize()), "image");
    g_PackFiles.clear();
}

// The files a leave-out list names stay out of the pack, at any depth when
// the pattern says so; comments and blanks in the list are no patterns.
TEST(PackTool, LeavesOutTheFilesTheListNames) {
    TempGameRoot root;
    for (const char* file : {"Data/Scripts/main.lua", "Data/Sounds/Sounds.dat", "Data/Sounds/beep.wav",
                             "Data/Music/menu.ogg", "Data/.stamp", "Data/Levels/.built", "Data/game1.dat"})
        root.WriteFile(std::string("src/") + file, "x");
    root.WriteFile("loose.txt", "# the loose files\n"
                                "game*.dat\n"
                                ".*\n"
                                "*/.*   # stamps below\n"
                                "\n"
                                "Sounds/*.wav\n"
                                "Music/*\n");
    std::filesystem::create_directories("Data");
    ASSERT_EQ(Packtool("build src/Data Data/game1.dat loose.txt").exitCode, 0);
    EXPECT_EQ(Packtool("list Data/game1.dat").output, "data\\scripts\\main.lua\t1\n"
                                                      "data\\sounds\\sounds.dat\t1\n");
    EXPECT_NE(Packtool("build src/Data Data/game1.dat missing.txt").exitCode, 0);
}

TEST(PackTool, RefusesBadInputWithoutWritingOutsideTheTarget) {
    TempGameRoot root;
    PackItem escaping{"data", true, {}, {PackItem{"..", true, {}, {PackItem{"evil.txt", false, {'x'}, {}}}}}};
    std::vector<uint8_t> pack;
    ASSERT_TRUE(BuildPack(escaping, pack));
    root.WriteFile("escaping.dat", std::string(pack.begin(), pack.end()));
    root.WriteFile("broken.dat", "not a pack");

    EXPECT_NE(Packtool("extract escaping.dat out/inner").exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists("out/evil.txt"));
    EXPECT_FALSE(std::filesystem::exists("out/inner/evil.txt"));
    EXPECT_NE(Packtool("list broken.dat").exitCode, 0);
    EXPECT_NE(Packtool("list missing.dat").exitCode, 0);
    EXPECT_NE(Packtool("build missing game.dat").exitCode, 0);
    EXPECT_EQ(Packtool("frobnicate").exitCode, 2);
}

} // namespace
