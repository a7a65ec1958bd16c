#include "Core/PackFiles.h"
#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Platform/Random.h"

#include "Support/PackFixtures.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// Starts each test with no packs mounted and the log captured.
class PackFilesTest : public testing::Test {
protected:
    PackFilesTest() {
        g_PackFiles.clear();
        GetLog().SetSink([this](std::string_view text) { log += text; });
    }
    ~PackFilesTest() override {
        GetLog().SetSink({});
        g_PackFiles.clear();
    }

    static std::string ReadThrough(const std::string& path, HRESULT expected = S_OK) {
        CPFileReader reader(path, false);
        EXPECT_EQ(reader.Load(), expected) << path;
        return std::string(reinterpret_cast<const char*>(reader.GetData()), reader.GetSize());
    }

    static const PackFile* Mounted(const std::string& path) {
        for (const PackFile& pack : g_PackFiles) {
            if (pack.path == path)
                return &pack;
        }
        return nullptr;
    }

    TempGameRoot root;
    std::string log;
};

TEST_F(PackFilesTest, ScramblingRoundTripsAndRepeatsTheKeyFromEachBuffersStart) {
    PlatSRand(1106);
    for (int round = 0; round < 50; ++round) {
        std::vector<uint8_t> bytes(PlatRand() % 5000);
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(PlatRand());
        std::vector<uint8_t> copy = bytes;
        ScrambleBuffer(copy.data(), copy.size());
        if (bytes.size() > 100) {
            EXPECT_NE(copy, bytes);
        }
        UnscrambleBuffer(copy.data(), copy.size());
        EXPECT_EQ(copy, bytes);
    }

    // Scrambling zeros shows the key: printable, and repeating every 1933 bytes.
    std::vector<uint8_t> zeros(2 * SCRAMBLE_KEY_SIZE + 7, 0);
    ScrambleBuffer(zeros.data(), zeros.size());
    for (std::size_t i = 0; i < zeros.size(); ++i) {
        EXPECT_GE(zeros[i], 32) << i;
        EXPECT_LE(zeros[i], 126) << i;
        if (i >= SCRAMBLE_KEY_SIZE) {
            EXPECT_EQ(zeros[i], zeros[i - SCRAMBLE_KEY_SIZE]) << i;
        }
    }
}

TEST_F(PackFilesTest, PackNamesAndNumbers) {
    const struct {
        const char* name;
        bool isPack;
        int number;
    } cases[] = {
        {"game1.dat", true, 1},  {"game12.dat", true, 12},  {"game.dat", true, 0},
        {"gamedat", true, 0},    {"gamex.dat", true, 0},    {"game-3.dat", true, -3},
        {"game7b.dat", true, 7}, {"game1.xdat", true, 1},   {"game99999999999.dat", true, INT_MAX},
        {"GAME3.DAT", false, 3}, {"Game1.dat", false, 1},   {"game1.DAT", false, 1},
        {"game1.bin", false, 0}, {"mygame1.dat", false, 0}, {"gam", false, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPackFileName(c.name), c.isPack) << c.name;
        if (c.isPack) {
            EXPECT_EQ(PackNumberFromName(c.name), c.number) << c.name;
        }
    }
}

TEST_F(PackFilesTest, HigherNumbersOverrideLowerOnesAndLooseFilesOverrideAll) {
    root.WriteFile("Data/game1.dat",
                   PackBytes({{"Data/Textures/a.txt", "one"}, {"Data/only1.txt", "first"}}));
    root.WriteFile("Data/game2.dat", PackBytes({{"Data/Textures/a.txt", "two"}, {"Data/b.txt", "b2"}}));
    root.WriteFile("Data/game10.dat", PackBytes({{"Data/b.txt", "b10"}}));

    EXPECT_EQ(MountPackFiles(), S_OK);
    ASSERT_EQ(g_PackFiles.size(), 3u);
    EXPECT_EQ(g_PackFiles[0].number, 10);
    EXPECT_EQ(g_PackFiles[0].path, "Data\\game10.dat");
    EXPECT_EQ(g_PackFiles[2].number, 1);

    EXPECT_EQ(ReadThrough("data\\textures\\a.txt"), "two");
    EXPECT_EQ(ReadThrough("Data/B.txt"), "b10");
    EXPECT_EQ(ReadThrough("data\\only1.txt"), "first");
    EXPECT_EQ(ReadThrough("data\\absent.txt", E_FAIL), "");

    root.WriteFile("Data/Textures/A.TXT", "loose");
    EXPECT_EQ(ReadThrough("data\\textures\\a.txt"), "loose");
    EXPECT_EQ(log, "");
}

TEST_F(PackFilesTest, StoredNamesAreFoundByTheirLowerCasedPath) {
    root.WriteFile(
        "Data/game1.dat",
        PackBytes({{"Data/Textures/A.TXT", "upper"}, {"Data/Empty.bin", ""}, {"Data/Z/y/X.txt", "deep"}}));
    EXPECT_EQ(MountPackFiles(), S_OK);
    ASSERT_EQ(g_PackFiles.size(), 1u);
    std::vector<std::string> keys;
    for (const auto& [key, where] : g_PackFiles[0].entries)
        keys.push_back(key);
    EXPECT_EQ(keys,
              (std::vector<std::string>{"data\\empty.bin", "data\\textures\\a.txt", "data\\z\\y\\x.txt"}));

    EXPECT_EQ(ReadThrough("DATA/textures/a.txt"), "upper");
    EXPECT_EQ(ReadThrough("data\\TEXTURES\\A.txt"), "upper");
    EXPECT_EQ(ReadThrough("data\\z\\y\\x.txt"), "deep");
    EXPECT_EQ(ReadThrough("data\\empty.bin"), "");
}

TEST_F(PackFilesTest, OnlyPlainFilesNamedLikePacksAreMounted) {
    const std::string pack = PackBytes({{"Data/a.txt", "a"}});
    root.WriteFile("Data/GAME3.DAT", pack);
    root.WriteFile("Data/Game4.dat", pack);
    root.WriteFile("Data/game5.bin", pack);
    root.WriteFile("Data/game6.dat/inside", "a folder named like a pack");
    EXPECT_EQ(MountPackFiles(), S_OK);
    EXPECT_TRUE(g_PackFiles.empty());
    EXPECT_EQ(ReadThrough("data\\a.txt", E_FAIL), "");

    root.WriteFile("Data/gamedat", pack);
    EXPECT_EQ(MountPackFiles(), S_OK);
    ASSERT_EQ(g_PackFiles.size(), 1u);
    EXPECT_EQ(g_PackFiles[0].number, 0);
    EXPECT_EQ(ReadThrough("data\\a.txt"), "a");
}

TEST_F(PackFilesTest, NoDataFolderMountsNothing) {
    EXPECT_EQ(MountPackFiles(), S_OK);
    EXPECT_TRUE(g_PackFiles.empty());
}

TEST_F(PackFilesTest, TheTreeIsReadOnlyAsFarAsTheTopLevelEntry) {
    std::vector<uint8_t> directory;
    AppendPackEntry(directory, "Data", -1, 0, 2);
    AppendPackEntry(directory, "Empty", -1, 0, 0);
    AppendPackEntry(directory, "a.txt", 0, 3, 0);
    AppendPackEntry(directory, "b.txt", 3, 3, 0); // after the top-level tree: ignored
    std::string contents = "aaabbb";
    ScrambleBuffer(contents.data(), 3);
    ScrambleBuffer(contents.data() + 3, 3);
    root.WriteFile("Data/game1.dat", RawPack(directory, contents));

    EXPECT_EQ(MountPackFiles(), S_OK);
    ASSERT_EQ(g_PackFiles.size(), 1u);
    EXPECT_EQ(g_PackFiles[0].entries.size(), 1u);
    EXPECT_EQ(ReadThrough("data\\a.txt"), "aaa");
}

std::string Patched(std::string bytes, std::size_t at, uint32_t value) {
    std::memcpy(bytes.data() + at, &value, sizeof(value));
    return bytes;
}

std::vector<uint8_t> DataFolderWith(const std::function<void(std::vector<uint8_t>&)>& children,
                                    int32_t count) {
    std::vector<uint8_t> directory;
    AppendPackEntry(directory, "Data", -1, 0, count);
    children(directory);
    return directory;
}

std::string DeeplyNestedPack(int depth) {
    std::vector<uint8_t> directory;
    for (int level = 0; level < depth; ++level)
        AppendPackEntry(directory, level == 0 ? "Data" : "d", -1, 0, 1);
    AppendPackEntry(directory, "bad.txt", 0, 1, 0);
    return RawPack(directory, "x");
}

struct MalformedCase {
    const char* name;
    std::function<std::string()> bytes;
};

void PrintTo(const MalformedCase& c, std::ostream* os) {
    *os << c.name;
}

const MalformedCase kMalformedPacks[] = {
    {"TruncatedHeader", [] { return std::string("\xc4\x27\x16", 3); }},
    {"BadMagic",
     [] {
         return Patched(PackBytes({{"Data/bad.txt", "x"}}), 0, 0xAF1627C5u);
     }},
    {"DirectorySizePastTheEnd",
     [] {
         const std::string pack = PackBytes({{"Data/bad.txt", "x"}});
         return Patched(pack, 4, static_cast<uint32_t>(pack.size()));
     }},
    {"HugeDirectorySize",
     [] {
         return Patched(PackBytes({{"Data/bad.txt", "x"}}), 4, 0xFFFFFFF0u);
     }},
    {"EmptyDirectory", [] { return RawPack({}); }},
    {"NameLengthPastTheDirectory",
     [] {
         auto directory = DataFolderWith([](auto& d) { AppendPackEntry(d, "bad.txt", 0, 1, 0); }, 1);
         std::vector<uint8_t> bytes = directory;
         const uint32_t huge = 1000;
         std::memcpy(bytes.data() + 20, &huge, 4); // the child's name length
         return RawPack(bytes, "x");
     }},
    {"EntryCutShort",
     [] {
         auto directory = DataFolderWith([](auto& d) { AppendPackEntry(d, "bad.txt", 0, 1, 0); }, 1);
         directory.resize(directory.size() - 2);
         return RawPack(directory, "x");
     }},
    {"NegativeSize",
     [] {
         return RawPack(DataFolderWith([](auto& d) { AppendPackEntry(d, "bad.txt", 0, -5, 0); }, 1), "xxxxx");
     }},
    {"OffsetPastTheEnd",
     [] {
         return RawPack(DataFolderWith([](auto& d) { AppendPackEntry(d, "bad.txt", 100, 4, 0); }, 1), "xxxx");
     }},
    {"SizePastTheEnd",
     [] {
         return RawPack(DataFolderWith([](auto& d) { AppendPackEntry(d, "bad.txt", 2, 4, 0); }, 1), "xxxx");
     }},
    {"OffsetAndSizeOverflow",
     [] {
         return RawPack(
             DataFolderWith([](auto& d) { AppendPackEntry(d, "bad.txt", INT32_MAX, INT32_MAX, 0); }, 1), "x");
     }},
    {"HugeChildCount",
     [] {
         return RawPack(DataFolderWith([](auto& d) { AppendPackEntry(d, "bad.txt", 0, 1, 0); }, 1000000000),
                        "x");
     }},
    {"NegativeChildCount", [] { return RawPack(DataFolderWith([](auto&) {}, -1)); }},
    {"DeepNesting", [] { return DeeplyNestedPack(10000); }},
};

class MalformedPack : public PackFilesTest, public testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedPack, IsListedWithoutEntriesAndReportedWhileGoodPacksStillServe) {
    root.WriteFile("Data/game1.dat", PackBytes({{"Data/good.txt", "good"}}));
    root.WriteFile("Data/game2.dat", GetParam().bytes());

    EXPECT_EQ(MountPackFiles(), E_FAIL);
    ASSERT_EQ(g_PackFiles.size(), 2u);
    const PackFile* bad = Mounted("Data\\game2.dat");
    ASSERT_NE(bad, nullptr);
    EXPECT_EQ(bad->number, 2);
    EXPECT_TRUE(bad->entries.empty());
    EXPECT_NE(log.find("Data\\game2.dat"), std::string::npos) << log;

    EXPECT_EQ(ReadThrough("data\\good.txt"), "good");
    EXPECT_EQ(ReadThrough("data\\bad.txt", E_FAIL), "");
}

INSTANTIATE_TEST_SUITE_P(PackFiles, MalformedPack, testing::ValuesIn(kMalformedPacks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PackFilesTest, ModerateNestingIsAccepted) {
    root.WriteFile("Data/game1.dat", DeeplyNestedPack(20));
    EXPECT_EQ(MountPackFiles(), S_OK);
    ASSERT_EQ(g_PackFiles.size(), 1u);
    EXPECT_EQ(g_PackFiles[0].entries.size(), 1u);
}

TEST_F(PackFilesTest, APackThatCannotBeReopenedIsSkippedForTheNextOne) {
    root.WriteFile("Data/game1.dat", PackBytes({{"Data/a.txt", "from one"}}));
    root.WriteFile("Data/game2.dat", PackBytes({{"Data/a.txt", "from two"}}));
    ASSERT_EQ(MountPackFiles(), S_OK);
    std::filesystem::remove("Data/game2.dat");
    EXPECT_EQ(ReadThrough("data\\a.txt"), "from one");
}

} // namespace
