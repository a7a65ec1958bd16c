#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Game/CheckpointMarker.h"
#include "Game/LevelFile.h"
#include "Game/LevelTestSupport.h"
#include "Game/PLine.h"
#include "Support/GameTestSupport.h"
#include "Vehicles/PPlayer.h"

#include <cstring>

namespace {

std::vector<LevelRecord> SmallLevel() {
    return {Record("player", {97, 0, 0}), Record("enemy1", {103, 8, 0}), Record("tree", {130, 0, 0}),
            Record("stolb_start_left", {108, 0, 1}), Record("stolb_start_right", {92, 0, 1})};
}

std::vector<uint8_t> SmallLevelBytes() {
    return WriteLevel(SmallLevel(), RingLines());
}

void PutInt(std::vector<uint8_t>& bytes, std::size_t offset, int32_t value) {
    std::memcpy(bytes.data() + offset, &value, sizeof(value));
}

bool ReadsWhole(std::vector<uint8_t> bytes) {
    CPFileReader reader("level.lvl", false);
    reader.SetData(std::move(bytes));
    LevelFile file;
    return file.Read(reader);
}

} // namespace

TEST(LevelFile, EveryPrefixAndBadCountIsRefused) {
    const std::vector<uint8_t> whole = SmallLevelBytes();
    ASSERT_TRUE(ReadsWhole(whole));
    for (std::size_t size = 0; size < whole.size(); ++size)
        ASSERT_FALSE(ReadsWhole(std::vector<uint8_t>(whole.begin(), whole.begin() + size))) << size;

    // Offsets: the light count after 16 header bytes, the object count after
    // it, the first record's name length after that.
    struct Case {
        const char* what;
        std::size_t offset;
        int32_t value;
    };
    const Case cases[] = {{"negative light count", 16, -1},      {"lights past the end", 16, 1000000},
                          {"negative object count", 20, -5},     {"objects past the end", 20, 0x7fffffff},
                          {"name past the end", 24, 0x7ffffff0}, {"negative name length", 24, -2}};
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = whole;
        PutInt(bytes, c.offset, c.value);
        EXPECT_FALSE(ReadsWhole(bytes)) << c.what;
    }
}

TEST_F(LevelScene, PrefixesFailTheLoadCleanly) {
    const std::vector<uint8_t> whole = SmallLevelBytes();
    // Every 7th prefix: each still fails in the file, before anything is
    // built, and leaves a level that can be deleted.
    for (std::size_t size = 0; size < whole.size(); size += 7) {
        TempGameRoot::WriteFile("Data/Levels/cut.lvl", std::string(whole.begin(), whole.begin() + size));
        ASSERT_FALSE(Load("cut")) << size;
        EXPECT_FALSE(level->player);
        level->Start();
        level->Stop();
    }
    EXPECT_TRUE(meshes.requests.empty());
}

TEST_F(LevelScene, DamagedLevelsFailOrSkipWhatIsMissing) {
    std::vector<TrackLineEntry> centreOnly = {RingLines()[0]};
    struct Case {
        const char* what;
        std::vector<LevelRecord> records;
        std::vector<TrackLineEntry> lines;
        std::set<std::string> missing;
        std::set<std::string> meshless;
        bool loads;
    };
    const std::vector<LevelRecord> noCars = {Record("player", {97, 0, 0})};
    // Lines with no segment: nothing to sample.
    std::vector<TrackLineEntry> emptyExtra = RingLines();
    emptyExtra.insert(emptyExtra.begin() + 1, TrackLineEntry{"pit_lane", false, {}});
    std::vector<TrackLineEntry> emptyLeft = RingLines();
    emptyLeft[1].segments.clear();
    const Case cases[] = {
        {"another line without pieces dropped", SmallLevel(), emptyExtra, {}, {}, true},
        {"a race line without pieces", SmallLevel(), emptyLeft, {}, {}, false},
        {"no c_path", SmallLevel(), {RingLines()[1], RingLines()[2]}, {}, {}, false},
        {"computer cars without edges", SmallLevel(), centreOnly, {}, {}, false},
        {"edges needed only by computer cars", noCars, centreOnly, {}, {}, true},
        {"no road", SmallLevel(), RingLines(), {"road_phys0.rdf"}, {}, false},
        {"road without mesh", SmallLevel(), RingLines(), {}, {"road_phys0.rdf"}, false},
        {"car without physics", SmallLevel(), RingLines(), {}, {"1_enemy.rdf"}, false},
        {"player without model", SmallLevel(), RingLines(), {"buggy.rdf"}, {}, false},
        {"meshless terrain skipped", SmallLevel(), RingLines(), {}, {"land.rdf"}, true},
        {"missing scenery skipped", SmallLevel(), RingLines(), {"tree.rdf"}, {}, true},
    };
    g_Plane = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        meshes.missing = c.missing;
        meshes.meshless = c.meshless;
        WriteLevel("damaged", c.records, c.lines);
        EXPECT_EQ(Load("damaged"), c.loads);
    }
}

// Laps are counted where the start line is: without the posts it crosses
// the racing line's first piece.
TEST_F(LevelScene, WithoutStartPostsTheStartLineCrossesTheFirstPiece) {
    std::string log;
    GetLog().SetSink([&log](std::string_view text) { log += text; });
    WriteLevel("postless", {Record("player", {97, 0, 0}), Record("enemy1", {103, 8, 0})});
    const bool loaded = Load("postless");
    GetLog().SetSink({});
    ASSERT_TRUE(loaded);
    EXPECT_NE(log.find("no start posts: laps are counted at the first piece of c_path"), std::string::npos)
        << log;
    const CPLine& first = *level->playerLine;
    EXPECT_EQ(level->laps.startPoint, first.centre);
    const D3DXVECTOR3 along = first.end - first.start;
    EXPECT_NEAR(D3DXVec3Dot(&along, &level->laps.startLine), 0.0f, 1e-3f);
    EXPECT_GT(D3DXVec3Length(&level->laps.startLine), 0.0f);
}

TEST_F(LevelScene, UnsafeAndShortNamesAreSkipped) {
    std::vector<LevelRecord> records = SmallLevel();
    for (const char* name : {"../evil", "a/b", "c\\d", "e:f", "chk12", "chk_", "src", "src_"})
        records.push_back(Record(name, {0, 0, 0}));
    WriteLevel("names", records);
    ASSERT_TRUE(Load("names"));
    for (const RecordingMeshManager::Request& request : meshes.requests)
        EXPECT_TRUE(IsSafeModelName(request.name)) << request.name;
    EXPECT_TRUE(level->checkpointSequence.empty());
    EXPECT_EQ(level->sources.Size(), 0u);
    EXPECT_FALSE(Load("../names"));
    EXPECT_FALSE(Load("levels\\names"));
}

TEST_F(LevelScene, ComputerCarsStopAtTheDrivers) {
    std::vector<LevelRecord> records = SmallLevel();
    for (int i = 2; i <= 8; ++i)
        records.push_back(Record("enemy" + std::to_string(i), {103, 8.0f * static_cast<float>(i), 0}));
    WriteLevel("crowd", records);
    for (int extra : {0, 2}) {
        data.extraCarCount = extra;
        ASSERT_TRUE(Load("crowd"));
        EXPECT_EQ(level->cars.size(), static_cast<std::size_t>(5 + extra));
        EXPECT_EQ(drivers.extraDrivers.size(), static_cast<std::size_t>(extra));
    }
}

TEST_F(LevelScene, CheckpointShownWithAndWithoutMarker) {
    std::vector<LevelRecord> records = SmallLevel();
    records.push_back(Record("chk2_arrow", {1, 1, 0}));
    records.push_back(Record("chk1_gate", {2, 2, 0}));
    WriteLevel("sequence", records);
    ASSERT_TRUE(Load("sequence"));
    level->Start();
    level->ShowCurrentCheckpoint();
    ASSERT_TRUE(level->shownCheckpoint);
    EXPECT_EQ(level->shownCheckpoint->GetName(), "gate.rdf");
    EXPECT_TRUE(level->shownCheckpoint->visible);

    ObjectTree tree;
    CPGameObject& markerModel = tree.Add("marker");
    CPGameObject* first = &tree.Add("arrow1", &markerModel);
    CPGameObject* second = &tree.Add("arrow2", &markerModel);
    CheckpointMarker marker(&markerModel);
    level->checkpointMarker = &marker;
    level->ShowCurrentCheckpoint();
    EXPECT_EQ(marker.target.Get(), level->shownCheckpoint.Get());
    EXPECT_EQ(marker.shownPart.Get(), first);
    marker.SetTarget(nullptr);
    EXPECT_FALSE(marker.shownPart);
    EXPECT_FALSE(second->visible);
    level->checkpointMarker = nullptr;
    level->Stop();
}
