#include "Game/TextTableReader.h"
#include "Support/GameDataFixture.h"
#include "Support/GameDataTexts.h"

#include <string>

namespace {

using GameDataTextTest = GameDataFixture;

TEST_F(GameDataTextTest, LoadStringsReadsEveryKindOfLine) {
    Write("Data/strings.txt", kStrings);
    data.LoadStrings();
    const struct {
        const char* key;
        const char* text;
    } cases[] = {
        {"greeting", "Hello"},     // the first line of a key wins
        {"quoted", "x ~ y"},       // quotes keep "~" and the spaces around it
        {"doubled", "say \"hi\""}, // a doubled quote gives one
        {"bare", ""},              // no "~": an empty text
        {"spaced", "padded text"}, // keys and texts are trimmed
    };
    for (const auto& c : cases) {
        ASSERT_NE(data.textTable.Find(c.key), nullptr) << c.key;
        EXPECT_EQ(*data.textTable.Find(c.key), c.text) << c.key;
    }
    // The line holding "//" is dropped whole; the comment line adds nothing.
    EXPECT_EQ(data.textTable.Find("link"), nullptr);
    EXPECT_EQ(data.textTable.Size(), 5u);
}

TEST(TextTableReaderTest, ReportsDroppedLinesAndRepeatedKeysWithTheirLines) {
    TextTable table;
    TextProblems problems;
    const std::string text = kStrings;
    ReadTextTable(text.data(), text.size(), table, problems);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].line, 6); // the dropped "//" line
    EXPECT_EQ(problems[1].line, 2); // the second "greeting"
}

TEST_F(GameDataTextTest, LookupOfAMissingKeyAddsItEmpty) {
    EXPECT_EQ(data.GetText("nothing"), "");
    ASSERT_NE(data.textTable.Find("nothing"), nullptr);
    EXPECT_EQ(data.textTable.Size(), 1u);
}

TEST_F(GameDataTextTest, LoadStringsResetsBestRunsKeepingTheirSamplesAndClearsKills) {
    for (RaceProgress& race : data.raceProgress) {
        race = {12.5f, 9, "buggy", {RunSample{}}};
    }
    data.kills = 7;
    data.textTable["kept"] = "old";
    data.LoadStrings(); // no strings.txt: the table stays as it was
    for (const RaceProgress& race : data.raceProgress) {
        EXPECT_EQ(race.bestTime, 0.0f);
        EXPECT_EQ(race.value, 4);
        EXPECT_EQ(race.carModel, "");
        EXPECT_EQ(race.samples.size(), 1u);
    }
    EXPECT_EQ(data.kills, 0);
    EXPECT_EQ(data.GetText("kept"), "old");
}

} // namespace
