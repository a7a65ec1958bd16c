#include "Platform/FileSystem.h"
#include "Platform/Win32Find.h"

#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

TEST(FileSystem, EnginePathsResolveAgainstMixedCaseFilesWithEitherSeparator) {
    TempGameRoot root;
    root.WriteFile("Data/Textures/A.tga", "a");
    root.WriteFile("Data/Effects/Bloom.FX", "b");

    const std::pair<const char*, const char*> cases[] = {
        {"data\\textures\\a.tga", "Data/Textures/A.tga"},
        {"Data\\Textures\\A.tga", "Data/Textures/A.tga"},
        {"data/TEXTUREs/a.TGA", "Data/Textures/A.tga"},
        {"data/effects\\bloom.fx", "Data/Effects/Bloom.FX"},
        {"data\\\\textures//a.tga", "Data/Textures/A.tga"},
        // Missing parts are kept as given, below the resolved folders.
        {"data\\textures\\new\\b.tga", "Data/Textures/new/b.tga"},
        {"DATA\\missing.txt", "Data/missing.txt"},
    };
    for (const auto& [enginePath, expected] : cases)
        EXPECT_EQ(PlatResolvePath(enginePath), expected) << enginePath;

    const PlatFile file = PlatOpenFileForReading("DATA\\TEXTURES\\A.TGA");
    ASSERT_TRUE(file);
    EXPECT_EQ(std::fgetc(file.get()), 'a');
}

TEST(FileSystem, SeveralCaseMatchesResolveToTheFirstInByteOrder) {
    TempGameRoot root;
    root.WriteFile("b.txt", "lower");
    root.WriteFile("B.TXT", "upper");
    root.WriteFile("B.txt", "mixed");
    EXPECT_EQ(PlatResolvePath("b.txt"), "b.txt");
    EXPECT_EQ(PlatResolvePath("b.TxT"), "B.TXT");
}

TEST(FileSystem, OnlyRegularFilesOpenForReading) {
    TempGameRoot root;
    std::filesystem::create_directories("Data/Folder.dat");
    EXPECT_FALSE(PlatOpenFileForReading("data\\folder.dat"));
    EXPECT_FALSE(PlatOpenFileForReading("data\\absent.dat"));
    EXPECT_FALSE(PlatOpenFileForReading(""));
}

TEST(FileSystem, ReplaceFileWritesWholeFilesAndLeavesNoTemporaries) {
    TempGameRoot root;
    root.WriteFile("Config/Actions.cfg", "old contents that are longer");
    ASSERT_TRUE(PlatReplaceFile("config\\actions.cfg", "new", 3));
    EXPECT_EQ(root.ReadFile("Config/Actions.cfg"), "new");
    EXPECT_EQ(root.Listing("Config"), std::vector<std::string>{"Actions.cfg"});

    ASSERT_TRUE(PlatReplaceFile("Config/empty.cfg", "", 0));
    EXPECT_EQ(root.ReadFile("Config/empty.cfg"), "");
}

TEST(FileSystem, ReplaceFileFailsCleanlyAndKeepsTheOldFile) {
    TempGameRoot root;
    EXPECT_FALSE(PlatReplaceFile("no/such/folder/file.cfg", "x", 1));
    std::filesystem::create_directories("Target.cfg");
    root.WriteFile("Target.cfg/inside", "kept");
    // A folder stands where the file should go: the rename fails.
    EXPECT_FALSE(PlatReplaceFile("Target.cfg", "x", 1));
    EXPECT_EQ(root.ReadFile("Target.cfg/inside"), "kept");
    EXPECT_EQ(root.Listing("."), std::vector<std::string>{"Target.cfg"});
}

std::vector<std::pair<std::string, bool>> FindAll(const char* pattern) {
    std::vector<std::pair<std::string, bool>> found;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do {
        found.emplace_back(data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileA(search, &data));
    EXPECT_TRUE(FindClose(search));
    return found;
}

TEST(FileSystem, FindListsMatchesInNameOrderWithDirectoryBits) {
    TempGameRoot root;
    root.WriteFile("Data/game2.dat", "");
    root.WriteFile("Data/GAME3.DAT", "");
    root.WriteFile("Data/noext", "");
    std::filesystem::create_directories("Data/Textures");

    using Found = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(FindAll("data\\*.*"), (Found{{".", true},
                                           {"..", true},
                                           {"GAME3.DAT", false},
                                           {"Textures", true},
                                           {"game2.dat", false},
                                           {"noext", false}}));
    EXPECT_EQ(FindAll("DATA/game?.dat"), (Found{{"GAME3.DAT", false}, {"game2.dat", false}}));
    EXPECT_EQ(FindAll("data\\tex*"), (Found{{"Textures", true}}));
    EXPECT_EQ(FindAll("data\\*.png"), Found{});
    EXPECT_EQ(FindAll("nowhere\\*.*"), Found{});
}

} // namespace
