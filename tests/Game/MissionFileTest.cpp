#include "Game/LevelSourcePoints.h"
#include "Game/MissionFileReader.h"
#include "Support/GameDataFixture.h"

#include <string>
#include <vector>

namespace {

void ExpectList(const std::vector<WeightedName>& list, const std::vector<WeightedName>& expected) {
    ASSERT_EQ(list.size(), expected.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].name, expected[i].name);
        EXPECT_EQ(list[i].low, expected[i].low) << expected[i].name;
        EXPECT_EQ(list[i].high, expected[i].high) << expected[i].name;
    }
}

// Installs a level's source points for the test's life.
class FakeLevelPoints {
public:
    explicit FakeLevelPoints(SourcePoints points) {
        SetLevelSourcePoints([points] { return points; });
    }
    ~FakeLevelPoints() { SetLevelSourcePoints({}); }
};

class MissionFileTest : public GameDataFixture {
protected:
    void Load(const std::string& text) {
        Write("Data/Levels/level1", text);
        data.LoadMissionInfo("level1");
    }
};

TEST_F(MissionFileTest, AMissionLineGivesEveryValueAndRange) {
    Load("12.5 3 0 1 a,10;b,30 7 c,5\n");
    ASSERT_EQ(data.missions.size(), 1u);
    const MissionInfo& mission = data.missions[0];
    EXPECT_EQ(mission.value1, 12.5f);
    EXPECT_EQ(mission.value2, 3);
    EXPECT_EQ(mission.value3, 0);
    EXPECT_EQ(mission.value4, 1);
    ExpectList(mission.enemies, {{"a", 0, 10}, {"b", 10, 40}});
    EXPECT_EQ(mission.bonusChance, 7);
    ExpectList(mission.bonuses, {{"c", 0, 5}});
    // Without a "sources" line there are no sources.
    EXPECT_EQ(data.sources.Size(), 0u);
}

TEST(WeightedNameTest, ADrawPicksTheItemWhoseRangeHoldsIt) {
    const std::vector<WeightedName> list = ReadWeightedList("a,10;b,30");
    const struct {
        int draw;
        const char* picked;
    } cases[] = {{0, "a"}, {9, "a"}, {10, "b"}, {39, "b"}, {40, nullptr}, {99, nullptr}, {-1, nullptr}};
    for (const auto& c : cases) {
        const WeightedName* item = DrawWeightedName(list, c.draw);
        if (c.picked) {
            ASSERT_NE(item, nullptr) << c.draw;
            EXPECT_EQ(item->name, c.picked) << c.draw;
        } else {
            EXPECT_EQ(item, nullptr) << c.draw;
        }
    }
}

TEST_F(MissionFileTest, SourcesTakeThePositionsOfTheLevelsPoints) {
    SourcePoints points;
    points["src_a"] = D3DXVECTOR3(1, 2, 3);
    FakeLevelPoints level(points);
    Load("12.5 3 0 1 a,10 7 c,5\n"
         "4 1 1 1 x,1 0 y,1\n"
         "sources\n"
         "src_a grp1 1 2.5 x,50;y,50\n"
         "src_b grp1 0 1 z,100\n"
         "src_a grp2 no\n");
    EXPECT_EQ(data.missions.size(), 2u);
    ASSERT_NE(data.sources.Find("grp1"), nullptr);
    const std::vector<SourceInfo>& group = *data.sources.Find("grp1");
    ASSERT_EQ(group.size(), 2u);
    EXPECT_EQ(group[0].position.z, 3.0f);
    EXPECT_TRUE(group[0].side);
    EXPECT_EQ(group[0].value, 2.5f);
    ExpectList(group[0].names, {{"x", 0, 50}, {"y", 50, 100}});
    // An unknown point lies at the origin; the flag is false only for "0".
    EXPECT_EQ(group[1].position.x, 0.0f);
    EXPECT_FALSE(group[1].side);
    // Missing fields read as 0 and empty.
    const SourceInfo& short_ = data.sources.Find("grp2")->front();
    EXPECT_TRUE(short_.side);
    EXPECT_EQ(short_.value, 0.0f);
    EXPECT_TRUE(short_.names.empty());
}

TEST(MissionFileReaderTest, ReportsShiftedFieldsAndUnknownPoints) {
    SourcePoints points;
    points["src_a"] = D3DXVECTOR3(1, 2, 3);
    const std::string text = "12.5  3 0 1 a,10 7 c,5\n" // a double space
                             "sources\n"
                             "src_b grp 1 1 x,1\n";
    std::vector<MissionInfo> missions;
    SourceGroups sources;
    TextProblems problems;
    ReadMissionFile(text.data(), text.size(), &points, missions, sources, problems);
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0].line, 1); // eight fields
    EXPECT_EQ(problems[1].line, 1); // field 2 empty
    EXPECT_NE(problems[1].message.find("field 2 is empty"), std::string::npos);
    EXPECT_EQ(problems[2].line, 3);
    EXPECT_NE(problems[2].message.find("src_b"), std::string::npos);
    // The line is read as it stands: the fields after the gap shift.
    EXPECT_EQ(missions[0].value2, 0);
    EXPECT_EQ(missions[0].value3, 3);
}

TEST_F(MissionFileTest, WithoutALevelSourcesLieAtTheOrigin) {
    Load("1 1 1 1 a,1 1 b,1\nsources\nsrc_a grp 1 1 x,1\n");
    ASSERT_NE(data.sources.Find("grp"), nullptr);
    EXPECT_EQ(data.sources.Find("grp")->front().position.y, 0.0f);
}

TEST_F(MissionFileTest, AMissingFileEmptiesTheMissionsAndKeepsTheSources) {
    Load("1 1 1 1 a,1 1 b,1\nsources\nsrc_a grp 1 1 x,1\n");
    data.LoadMissionInfo("level2");
    EXPECT_TRUE(data.missions.empty());
    EXPECT_EQ(data.sources.Size(), 1u);
}

TEST_F(MissionFileTest, NamesThatCouldLeaveTheLevelsFolderAreRefused) {
    Write("Data/secret", "1 1 1 1 a,1 1 b,1\n");
    Write("Data/Levels/level1", "1 1 1 1 a,1 1 b,1\n");
    for (const char* name :
         {"../secret", "..\\secret", "/etc/passwd", "sub/level1", "sub\\level1", "..", ""}) {
        data.missions.push_back(MissionInfo{});
        data.LoadMissionInfo(name);
        EXPECT_TRUE(data.missions.empty()) << name;
    }
    data.LoadMissionInfo("LEVEL1");
    EXPECT_EQ(data.missions.size(), 1u);
}

} // namespace
