#include "Core/PFileReader.h"
#include "Core/PFileWriter.h"
#include "Core/PackFiles.h"

#include "Support/PackFixtures.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

using namespace std::string_literals;

class FileReaderTest : public testing::Test {
protected:
    FileReaderTest() { g_PackFiles.clear(); }
    ~FileReaderTest() override { g_PackFiles.clear(); }

    TempGameRoot root;
};

std::string Int(int32_t value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof(value));
}

std::string Float(float value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof(value));
}

TEST_F(FileReaderTest, TypedReadsFollowTheSharedEncodings) {
    root.WriteFile("Data/Rec.bin",
                   Int(-7) + Float(2.5f) + Int(0) + Int(5) + "ab\0cd"s + Int(3) + "xyz" + "raw");
    CPFileReader reader("DATA\\REC.BIN", false);
    ASSERT_EQ(reader.Load(), S_OK);
    EXPECT_EQ(reader.GetSize(), 31);
    EXPECT_EQ(reader.ReadInt(), -7);
    EXPECT_EQ(reader.ReadFloat(), 2.5f);
    EXPECT_EQ(reader.ReadString(), "");    // count 0: only the count is read
    EXPECT_EQ(reader.ReadString(), "ab");  // the text ends at the NUL ...
    EXPECT_EQ(reader.ReadString(), "xyz"); // ... but the cursor moved past all 5 bytes
    char raw[3];
    EXPECT_EQ(reader.Read(raw, 3), S_OK);
    EXPECT_EQ(std::string(raw, 3), "raw");
    EXPECT_FALSE(reader.HasReadError());
}

TEST_F(FileReaderTest, ReadsPastTheEndYieldZeroAndSetAStickyError) {
    const struct {
        const char* name;
        std::string bytes;
        std::function<void(CPFileReader&)> read;
    } cases[] = {
        {"TruncatedInt", "\x01\x02", [](CPFileReader& r) { EXPECT_EQ(r.ReadInt(), 0); }},
        {"TruncatedFloat", "\x01\x02\x03", [](CPFileReader& r) { EXPECT_EQ(r.ReadFloat(), 0.0f); }},
        {"NegativeStringLength", Int(-1) + "abcd", [](CPFileReader& r) { EXPECT_EQ(r.ReadString(), ""); }},
        {"StringLengthPastTheEnd", Int(5) + "abcd", [](CPFileReader& r) { EXPECT_EQ(r.ReadString(), ""); }},
        {"HugeStringLength", Int(INT32_MAX) + "abcd", [](CPFileReader& r) { EXPECT_EQ(r.ReadString(), ""); }},
        {"RawReadPastTheEnd", "abc",
         [](CPFileReader& r) {
             char out[4] = {'x', 'x', 'x', 'x'};
             EXPECT_EQ(r.Read(out, 4), E_FAIL);
             EXPECT_EQ(std::string(out, 4), std::string(4, '\0'));
         }},
        {"NegativeRawCount", "abc",
         [](CPFileReader& r) {
             char out = 'x';
             EXPECT_EQ(r.Read(&out, -1), E_FAIL);
             EXPECT_EQ(out, 'x');
         }},
        {"EmptyFile", "", [](CPFileReader& r) { EXPECT_EQ(r.ReadInt(), 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        root.WriteFile("case.bin", c.bytes);
        CPFileReader reader("case.bin", false);
        ASSERT_EQ(reader.Load(), S_OK);
        c.read(reader);
        EXPECT_TRUE(reader.HasReadError());
        // The cursor sits at the end: nothing more can be read.
        EXPECT_EQ(reader.ReadInt(), 0);
        char none = 'n';
        EXPECT_EQ(reader.Read(&none, 0), S_OK);
        EXPECT_TRUE(reader.HasReadError());
    }
}

TEST_F(FileReaderTest, LoadReadsAgainEachTimeAndStartsReadingAfresh) {
    root.WriteFile("a.bin", Int(1));
    CPFileReader reader("a.bin", false);
    ASSERT_EQ(reader.Load(), S_OK);
    EXPECT_EQ(reader.ReadInt(), 1);
    EXPECT_EQ(reader.ReadInt(), 0);
    root.WriteFile("a.bin", Int(2) + Int(3));
    ASSERT_EQ(reader.Load(), S_OK);
    EXPECT_FALSE(reader.HasReadError());
    EXPECT_EQ(reader.ReadInt(), 2);
    EXPECT_EQ(reader.ReadInt(), 3);

    std::filesystem::remove("a.bin");
    EXPECT_EQ(reader.Load(), E_FAIL);
    EXPECT_EQ(reader.GetSize(), 0);
}

TEST_F(FileReaderTest, ScrambledLooseFilesAreUnscrambledButPackContentsAlwaysAre) {
    std::filesystem::create_directories("Data");
    CPFileWriter writer("Data/links.txt", true);
    writer.Write("host/page\n", 10);
    ASSERT_EQ(writer.Save(), S_OK);
    EXPECT_NE(root.ReadFile("Data/links.txt"), "host/page\n");

    CPFileReader scrambled("data\\links.txt", true);
    ASSERT_EQ(scrambled.Load(), S_OK);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(scrambled.GetData()), scrambled.GetSize()),
              "host/page\n");

    std::filesystem::remove("Data/links.txt");
    root.WriteFile("Data/game1.dat", PackBytes({{"Data/links.txt", "host/page\n"}}));
    ASSERT_EQ(MountPackFiles(), S_OK);
    for (const bool flag : {false, true}) {
        CPFileReader packed("data\\links.txt", flag);
        ASSERT_EQ(packed.Load(), S_OK);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(packed.GetData()), packed.GetSize()),
                  "host/page\n");
    }
}

TEST_F(FileReaderTest, AFolderNamedLikeTheFileIsNoLooseFile) {
    std::filesystem::create_directories("Data/Meshes/car.rdf");
    root.WriteFile("Data/game1.dat", PackBytes({{"Data/Meshes/car.rdf", "packed"}}));
    ASSERT_EQ(MountPackFiles(), S_OK);
    CPFileReader reader("data\\meshes\\car.rdf", false);
    ASSERT_EQ(reader.Load(), S_OK);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reader.GetData()), reader.GetSize()), "packed");
}

TEST_F(FileReaderTest, WriterRoundTripsThroughTheReader) {
    CPFileWriter writer("Data/Saves/save1.sav", false);
    std::filesystem::create_directories("Data/Saves");
    writer.WriteInt(42);
    writer.WriteString("name");
    writer.WriteString("");
    writer.Write("\x7f", 1);
    ASSERT_EQ(writer.Save(), S_OK);
    EXPECT_EQ(root.ReadFile("Data/Saves/save1.sav"), Int(42) + Int(4) + "name" + Int(0) + "\x7f");

    CPFileReader reader("DATA\\SAVES\\SAVE1.SAV", false);
    ASSERT_EQ(reader.Load(), S_OK);
    EXPECT_EQ(reader.ReadInt(), 42);
    EXPECT_EQ(reader.ReadString(), "name");
    EXPECT_EQ(reader.ReadString(), "");
}

TEST_F(FileReaderTest, SavingTwiceWritesTheSameScrambledBytes) {
    CPFileWriter writer("scores.dat", true);
    writer.WriteString("best lap");
    ASSERT_EQ(writer.Save(), S_OK);
    const std::string first = root.ReadFile("scores.dat");
    ASSERT_EQ(writer.Save(), S_OK);
    EXPECT_EQ(root.ReadFile("scores.dat"), first);

    std::string plain = first;
    UnscrambleBuffer(plain.data(), plain.size());
    EXPECT_EQ(plain, Int(8) + "best lap");
}

TEST_F(FileReaderTest, AFailedSaveIsReportedAndKeepsTheOldFile) {
    root.WriteFile("Actions.cfg", "bindings");
    CPFileWriter missingFolder("nowhere/Actions.cfg", false);
    EXPECT_EQ(missingFolder.Save(), E_FAIL);

    std::filesystem::create_directories("Blocked");
    root.WriteFile("Blocked/child", "x");
    CPFileWriter overFolder("Blocked", false);
    overFolder.Write("y", 1);
    EXPECT_EQ(overFolder.Save(), E_FAIL);
    EXPECT_EQ(root.ReadFile("Actions.cfg"), "bindings");
    EXPECT_EQ(root.Listing("."), (std::vector<std::string>{"Actions.cfg", "Blocked"}));
}

TEST_F(FileReaderTest, SavingReplacesAFileWhoseNameDiffersOnlyInCase) {
    root.WriteFile("actions.cfg", "old");
    CPFileWriter writer("Actions.cfg", false);
    writer.Write("new", 3);
    ASSERT_EQ(writer.Save(), S_OK);
    EXPECT_EQ(root.Listing("."), std::vector<std::string>{"actions.cfg"});
    EXPECT_EQ(root.ReadFile("actions.cfg"), "new");
}

} // namespace
