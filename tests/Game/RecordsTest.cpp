#include "Core/PFileReader.h"
#include "Core/PFileWriter.h"
#include "Core/PackFiles.h"
#include "Game/ScoreFile.h"
#include "Support/GameDataFixture.h"

#include <clocale>
#include <cstring>
#include <locale>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const std::vector<ScoreLine>& table) {
    std::vector<std::string> names;
    for (const ScoreLine& line : table)
        names.push_back(line.name);
    return names;
}

// Table 1 filled with seven named lines, the best first.
void FillTable(CPGameData& data) {
    data.scoreTables[0] = {{"p", 1, 0, 0}, {"q", 2, 0, 0}, {"r", 3, 0, 0},  {"s", 4, 0, 0},
                           {"t", 5, 0, 0}, {"u", 5, 0, 0}, {"v", 6, 10, 20}};
}

using RecordsTest = GameDataFixture;

TEST_F(RecordsTest, TheConstructorSetsEveryDefault) {
    EXPECT_EQ(data.coefficients, (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(data.roundCount, 1);
    EXPECT_EQ(data.currentMission, 1);
    EXPECT_EQ(data.currentSlot, -1);
    EXPECT_EQ(data.racesPassed, 1);
    EXPECT_EQ(data.lapTimes, std::vector<float>(20, 0.0f));
    EXPECT_EQ(data.progress, -1);
    EXPECT_FALSE(data.checkpointMode);
    for (const RaceProgress& race : data.raceProgress) {
        EXPECT_EQ(race.bestTime, 0.0f);
        EXPECT_EQ(race.value, 4);
    }
    for (const auto& table : data.scoreTables) {
        ASSERT_EQ(table.size(), 7u);
        EXPECT_EQ(table.back().a, 999);
    }
    EXPECT_EQ(g_GameData, &data);
}

TEST_F(RecordsTest, RaceAndTableNumbersOutsideTheirRangeHoldNoRecord) {
    EXPECT_EQ(data.GetRaceProgress(1), &data.raceProgress[0]);
    EXPECT_EQ(data.GetRaceProgress(15), &data.raceProgress[14]);
    for (int number : {0, -1, 16, 1000})
        EXPECT_EQ(data.GetRaceProgress(number), nullptr) << number;
    for (int number : {0, -3, 7, 99})
        EXPECT_FALSE(data.CheckRecord(number, {"x", 0, 0, 0})) << number;
}

TEST_F(RecordsTest, CheckRecordPlacesALineBeforeTheFirstItBeats) {
    EXPECT_TRUE(data.CheckRecord(1, {"x", 1, 0, 0}));
    ASSERT_EQ(data.scoreTables[0].size(), 7u);
    EXPECT_EQ(data.scoreTables[0][0].name, "x");
    EXPECT_EQ(data.scoreTables[0][6].a, 999);

    const struct {
        ScoreLine line;
        bool placed;
        std::vector<std::string> names;
    } cases[] = {
        {{"x", 6, 10, 20}, false, {"p", "q", "r", "s", "t", "u", "v"}}, // equal to the seventh
        {{"x", 6, 10, 19}, true, {"p", "q", "r", "s", "t", "u", "x"}},  // c decides
        {{"x", 5, 0, 0}, true, {"p", "q", "r", "s", "t", "u", "x"}},    // after the equal older lines
        {{"x", 0, 99, 99}, true, {"x", "p", "q", "r", "s", "t", "u"}},
        {{"x", 99, 0, 0}, false, {"p", "q", "r", "s", "t", "u", "v"}},
    };
    for (const auto& c : cases) {
        FillTable(data);
        EXPECT_EQ(data.CheckRecord(1, c.line), c.placed) << c.line.a;
        EXPECT_EQ(Names(data.scoreTables[0]), c.names) << c.line.a;
    }
}

TEST_F(RecordsTest, CheckRecordSortsStablySoTheOlderOfEqualLinesStaysFirst) {
    data.scoreTables[1] = {{"old", 5, 0, 0}, {"a", 9, 0, 0}, {"b", 1, 0, 0}, {"new", 5, 0, 0},
                           {"c", 9, 0, 0},   {"d", 9, 0, 0}, {"e", 9, 0, 0}};
    EXPECT_TRUE(data.CheckRecord(2, {"x", 2, 0, 0}));
    EXPECT_EQ(Names(data.scoreTables[1]), (std::vector<std::string>{"b", "x", "old", "new", "a", "c", "d"}));
    data.scoreTables[2].clear();
    EXPECT_TRUE(data.CheckRecord(3, {"first", 999, 9, 9})); // a short table takes any line
    EXPECT_EQ(data.scoreTables[2].size(), 1u);
}

// The plain bytes of Data/scores.dat.
std::vector<uint8_t> ReadScoresFile() {
    CPFileReader file("Data\\scores.dat", true);
    EXPECT_EQ(file.Load(), S_OK);
    return {file.GetData(), file.GetData() + file.GetSize()};
}

TEST_F(RecordsTest, SaveScoresOfTheInitialTablesWrites42PlainRecords) {
    std::filesystem::create_directory("Data");
    ASSERT_EQ(data.SaveScores(), S_OK);
    const std::vector<uint8_t> bytes = ReadScoresFile();
    ASSERT_EQ(bytes.size(), 840u);
    std::vector<uint8_t> expected;
    for (int32_t table = 0; table < 6; ++table) {
        for (int line = 0; line < 7; ++line) {
            for (const int32_t value : {table, 0, 999, 0, 0}) {
                uint8_t little[4];
                std::memcpy(little, &value, 4);
                expected.insert(expected.end(), little, little + 4);
            }
        }
    }
    EXPECT_EQ(bytes, expected);
    // On disk the file is scrambled.
    EXPECT_NE(TempGameRoot::ReadFile("Data/scores.dat"), std::string(expected.begin(), expected.end()));
}

// A locale whose decimal point is a comma, as a user's may be.
struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST_F(RecordsTest, ScoresAndMissionNumbersIgnoreTheUsersLocale) {
    std::filesystem::create_directory("Data");
    ASSERT_EQ(data.SaveScores(), S_OK);
    const std::vector<uint8_t> before = ReadScoresFile();
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    const bool commaC =
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    Write("Data/Levels/level1", "12.5 3 0 1 a,10 7 c,5\n");
    data.LoadMissionInfo("level1");
    const HRESULT saved = data.SaveScores();
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(previous);
    ASSERT_EQ(saved, S_OK);
    EXPECT_EQ(ReadScoresFile(), before);
    ASSERT_EQ(data.missions.size(), 1u);
    EXPECT_EQ(data.missions[0].value1, 12.5f);
    if (!commaC)
        GTEST_LOG_(INFO) << "no comma-decimal C locale installed; only the C++ locale was switched";
}

TEST_F(RecordsTest, SaveScoresReportsAFailedWrite) {
    // No Data folder: the file cannot be written.
    EXPECT_EQ(data.SaveScores(), E_FAIL);
}

TEST_F(RecordsTest, TheScoreDecoderReadsWhatTheWriterWrote) {
    FillTable(data);
    data.scoreTables[5][6] = {"last", 7, 8, 9};
    std::filesystem::create_directory("Data");
    CPFileWriter file("Data\\scores.dat", true);
    WriteScoreTables(file, data.scoreTables);
    ASSERT_EQ(file.Save(), S_OK);
    const std::vector<uint8_t> bytes = ReadScoresFile();
    std::vector<ScoreRecord> records;
    std::string error;
    ASSERT_TRUE(DecodeScoreRecords(bytes.data(), bytes.size(), records, error)) << error;
    ASSERT_EQ(records.size(), 42u);
    EXPECT_EQ(records[0].line.name, "p");
    EXPECT_EQ(records[41].table, 5);
    EXPECT_EQ(records[41].line.name, "last");
    EXPECT_EQ(records[41].line.c, 9);
    // Every cut inside a record is refused, keeping the whole records before it.
    for (std::size_t cut = 1; cut < 21; ++cut) {
        records.clear();
        EXPECT_FALSE(DecodeScoreRecords(bytes.data(), cut, records, error)) << cut;
        EXPECT_TRUE(records.empty()) << cut;
    }
}

TEST_F(RecordsTest, LoadScoresBringsBackTheTablesTheGameSaved) {
    FillTable(data);
    data.scoreTables[5][0] = {"trial", 0, 44, 91};
    std::filesystem::create_directory("Data");
    ASSERT_EQ(data.SaveScores(), S_OK);
    {
        CPGameData later;
        later.LoadScores();
        EXPECT_EQ(Names(later.scoreTables[0]), Names(data.scoreTables[0]));
        EXPECT_EQ(later.scoreTables[0][6].c, 20);
        EXPECT_EQ(later.scoreTables[5][0].name, "trial");
        EXPECT_EQ(later.scoreTables[5][0].c, 91);
        EXPECT_EQ(later.scoreTables[3].size(), 7u);
        // A lap that enters a table read back pushes its last line out.
        EXPECT_TRUE(later.CheckRecord(1, {"x", 0, 0, 1}));
        EXPECT_EQ(later.scoreTables[0].size(), 7u);
        EXPECT_EQ(later.scoreTables[0].back().name, "u");
    }
    // A file cut short keeps its whole records, the first table here; the
    // others stay fresh. No file leaves the tables as they are.
    const std::vector<uint8_t> bytes = ReadScoresFile();
    CPFileWriter cut("Data\\scores.dat", true);
    cut.Write(bytes.data(), 7 * 21 + 10);
    ASSERT_EQ(cut.Save(), S_OK);
    CPGameData damaged;
    damaged.LoadScores();
    EXPECT_EQ(Names(damaged.scoreTables[0]), Names(data.scoreTables[0]));
    EXPECT_EQ(damaged.scoreTables[1].size(), 7u);
    EXPECT_EQ(damaged.scoreTables[1][0].a, 999);
    std::filesystem::remove("Data/scores.dat");
    damaged.scoreTables[2][0] = {"kept", 1, 2, 3};
    damaged.LoadScores();
    EXPECT_EQ(damaged.scoreTables[2][0].name, "kept");
}

TEST(ScoreFileTest, RecordsWithABadTableOrLengthAreRefused) {
    const std::vector<std::vector<uint8_t>> cases = {
        {6, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0},             // table 6
        {0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}, // length -1
        {0, 0, 0, 0, 0xff, 0xff, 0xff, 0x7f, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}, // length past the end
    };
    for (const auto& bytes : cases) {
        std::vector<ScoreRecord> records;
        std::string error;
        EXPECT_FALSE(DecodeScoreRecords(bytes.data(), bytes.size(), records, error));
        EXPECT_NE(error.find("byte 0"), std::string::npos) << error;
    }
}

TEST_F(RecordsTest, ClearResetsTheRaceStateAndReleasesHeldObjects) {
    CPGameObject bonus("bonus");
    data.heldObjects.emplace_back().object = &bonus;
    EXPECT_EQ(bonus.GetRefCount(), 1);
    data.lapCount = 3;
    data.lapTimes = {1, 2};
    data.progress = 40;
    data.racerTable["0"].x = 5;
    data.racerStats["buggy0"].lapCount = 2;
    data.raceCounter = 4;
    data.levelTime = 12;
    data.Clear();
    EXPECT_EQ(data.lapCount, 1);
    EXPECT_EQ(data.lapTimes, std::vector<float>(20, 0.0f));
    EXPECT_EQ(data.progress, -1);
    EXPECT_EQ(data.racerTable.Size(), 0u);
    EXPECT_EQ(data.racerStats.Size(), 0u);
    EXPECT_EQ(data.racerStats.BucketCount(), StringHashMap<RacerRecord>(20).BucketCount());
    EXPECT_EQ(data.raceCounter, 0);
    EXPECT_TRUE(data.heldObjects.empty());
    EXPECT_EQ(bonus.GetRefCount(), 0);
    EXPECT_EQ(data.levelTime, 12.0f);
    data.ClearLevelTimer();
    EXPECT_EQ(data.levelTime, 0.0f);
}

} // namespace
