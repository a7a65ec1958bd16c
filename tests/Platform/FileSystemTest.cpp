#include "Platform/FileSystem.h"
#include "Platform/Win32Find.h"

#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

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

TEST(FileSystem, PipesAndDevicesNeitherOpenNorBlock) {
    TempGameRoot root;
    ASSERT_EQ(::mkfifo("config.cfg", 0644), 0);
    // Opening a pipe without a writer would wait forever.
    EXPECT_FALSE(PlatOpenFileForReading("config.cfg"));
    EXPECT_FALSE(PlatIsRegularFile("config.cfg"));
    EXPECT_FALSE(PlatOpenFileForReading("/dev/null"));
    EXPECT_FALSE(PlatIsRegularFile("/dev/zero"));
    EXPECT_FALSE(PlatCreateLogFile("config.cfg"));
    root.WriteFile("plain.cfg", "x");
    EXPECT_TRUE(PlatIsRegularFile("PLAIN.cfg"));
}

TEST(FileSystem, ReplaceFileWritesThroughLinksAndKeepsTheMode) {
    TempGameRoot root;
    root.WriteFile("store/real.cfg", "old");
    ::chmod("store/real.cfg", 0640);
    std::filesystem::create_symlink("store/real.cfg", "config.cfg");
    std::filesystem::create_symlink("missing.cfg", "store/dangling.cfg");

    ASSERT_TRUE(PlatReplaceFile("config.cfg", "new", 3));
    EXPECT_TRUE(std::filesystem::is_symlink("config.cfg"));
    EXPECT_EQ(root.ReadFile("store/real.cfg"), "new");
    struct stat info;
    ASSERT_EQ(::stat("store/real.cfg", &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    // A dangling link creates its target beside the link.
    ASSERT_TRUE(PlatReplaceFile("store/dangling.cfg", "made", 4));
    EXPECT_EQ(root.ReadFile("store/missing.cfg"), "made");
    EXPECT_EQ(root.Listing("store"), (std::vector<std::string>{"dangling.cfg", "missing.cfg", "real.cfg"}));
}

TEST(FileSystem, ReplaceFileRefusesAReadOnlyFile) {
    TempGameRoot root;
    root.WriteFile("Actions.cfg", "mine");
    ::chmod("Actions.cfg", 0444);
    errno = 0;
    EXPECT_FALSE(PlatReplaceFile("Actions.cfg", "theirs", 6));
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(root.ReadFile("Actions.cfg"), "mine");
    EXPECT_EQ(root.Listing("."), std::vector<std::string>{"Actions.cfg"});
}

TEST(FileSystem, StaleTemporariesOfDeadWritersAreRemoved) {
    TempGameRoot root;
    // A finished child's process id names no running process.
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const std::string dead = std::to_string(child), alive = std::to_string(::getppid());
    const std::vector<std::string> names = {"config.cfg",
                                            "config.cfg.tmp" + dead + "-0",
                                            "config.cfg.tmp" + dead + "-12",
                                            "config.cfg.tmp" + alive + "-0",
                                            "config.cfg.tmpx-0",
                                            "other.cfg.tmp" + dead + "-0"};
    for (const std::string& name : names)
        root.WriteFile(name, "x");
    PlatRemoveStaleTemporaries("CONFIG.CFG");
    EXPECT_EQ(root.Listing("."),
              (std::vector<std::string>{"config.cfg", "config.cfg.tmp" + alive + "-0", "config.cfg.tmpx-0",
                                        "other.cfg.tmp" + dead + "-0"}));
}

TEST(FileSystem, TheLogReplacesALinkInsteadOfWritingThroughIt) {
    TempGameRoot root;
    root.WriteFile("precious.txt", "keep me");
    std::filesystem::create_symlink("precious.txt", "log.txt");
    PlatFile log = PlatCreateLogFile("log.txt");
    ASSERT_TRUE(log);
    std::fputs("logged", log.get());
    log.reset();
    EXPECT_FALSE(std::filesystem::is_symlink("log.txt"));
    EXPECT_EQ(root.ReadFile("log.txt"), "logged");
    EXPECT_EQ(root.ReadFile("precious.txt"), "keep me");
    // An existing log starts empty.
    log = PlatCreateLogFile("log.txt");
    log.reset();
    EXPECT_EQ(root.ReadFile("log.txt"), "");
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
