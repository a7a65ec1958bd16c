#include "Core/PFileReader.h"
#include "Core/PFileWriter.h"
#include "Game/ItemsFileReader.h"
#include "Game/MissionFileReader.h"
#include "Game/ProfileFileReader.h"
#include "Game/ScoreFile.h"
#include "Game/TextTableReader.h"
#include "Support/GameDataTexts.h"
#include "Support/TempGameRoot.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using Reader = std::function<void(const std::vector<uint8_t>& bytes)>;

// Runs the reader over every prefix of the text, each in a buffer of
// exactly its size, so that a read past the end shows under ASan.
void ReadEveryTruncation(const std::string& text, const Reader& read) {
    for (std::size_t size = 0; size <= text.size(); ++size)
        read(std::vector<uint8_t>(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size)));
}

TEST(GameDataTruncationTest, EveryTruncatedTextFileReadsWithoutHarm) {
    ItemCatalogues items;
    TextProblems problems;
    ReadEveryTruncation(kStrings, [&](const std::vector<uint8_t>& bytes) {
        TextTable table;
        ReadTextTable(bytes.data(), bytes.size(), table, problems);
    });
    ReadEveryTruncation(kItems, [&](const std::vector<uint8_t>& bytes) {
        ItemCatalogues read;
        ReadItemsFile(bytes.data(), bytes.size(), read, problems);
        EXPECT_LE(read.weaponCatalogue.Size(), 2u);
    });
    SourcePoints points;
    points["src_a"] = D3DXVECTOR3(1, 2, 3);
    ReadEveryTruncation(kMissionText, [&](const std::vector<uint8_t>& bytes) {
        std::vector<MissionInfo> missions;
        SourceGroups sources;
        ReadMissionFile(bytes.data(), bytes.size(), &points, missions, sources, problems);
        EXPECT_LE(missions.size(), 3u); // a cut "sources" reads as a mission line
    });
    ReadEveryTruncation(kPlayerText, [&](const std::vector<uint8_t>& bytes) {
        ReadPlayerFile(bytes.data(), bytes.size(), items, problems);
    });
    ReadEveryTruncation(kCoefficientsText, [&](const std::vector<uint8_t>& bytes) {
        std::array<float, 4> coefficients{};
        ReadCoefficientsFile(bytes.data(), bytes.size(), coefficients, problems);
    });
}

TEST(GameDataTruncationTest, EveryTruncatedScoreFileIsRefusedOrReadWhole) {
    TempGameRoot root;
    ScoreTables tables = InitialScoreTables();
    tables[2][3].name = "driver";
    CPFileWriter writer("scores.dat", false);
    WriteScoreTables(writer, tables);
    ASSERT_EQ(writer.Save(), S_OK);
    CPFileReader file("scores.dat", false);
    ASSERT_EQ(file.Load(), S_OK);
    const std::string text(reinterpret_cast<const char*>(file.GetData()),
                           static_cast<std::size_t>(file.GetSize()));
    ASSERT_EQ(text.size(), 840u + 6u);
    // A cut is read whole exactly when it falls between two records.
    std::set<std::size_t> boundaries = {0};
    for (const auto& table : tables) {
        for (const ScoreLine& line : table)
            boundaries.insert(*boundaries.rbegin() + 20 + line.name.size());
    }
    ReadEveryTruncation(text, [&](const std::vector<uint8_t>& bytes) {
        std::vector<ScoreRecord> records;
        std::string error;
        const bool whole = DecodeScoreRecords(bytes.data(), bytes.size(), records, error);
        EXPECT_EQ(whole, boundaries.count(bytes.size()) == 1) << bytes.size();
    });
}

} // namespace
