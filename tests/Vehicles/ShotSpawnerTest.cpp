#include "ShotTestSupport.h"

#include "Core/PFileReader.h"
#include "Core/PGlobalTimer.h"
#include "Game/PLevel.h"
#include "Game/PLevelBranch.h"
#include "Platform/Sound/SoundBackend.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Support/TempGameRoot.h"
#include "Support/TestScripts.h"
#include "Vehicles/PBoltShot.h"
#include "soundtool/SoundSynth.h"
#include "soundtool/SoundWriter.h"

#include <string>
#include <vector>

namespace {

// The bolt's row as the lightning script function builds it.
std::vector<std::string> BoltRow(const std::string& sound = "morgrave.wav,3d") {
    return {"enemy", "10", "1.5", "1.5", "razlom.dds", "light_nofog.fx", "103", "sparks", sound};
}

class ShotSpawner : public ::testing::Test {
protected:
    void TearDown() override { g_FrameTime = 0; }

    CPShotSpawner spawner;
    RaceLog log;
};

// The sound manager on the loopback device over a game folder holding
// Data/Sounds/morgrave.wav.
class ShotSounds : public ShotSpawner {
protected:
    void SetUp() override {
        const std::vector<uint8_t> bytes = EncodeWave(Oscillator(Waveform::Sine, 440, 1, 22050), {});
        TempGameRoot::WriteFile("Data/Sounds/morgrave.wav", std::string(bytes.begin(), bytes.end()));
        TempGameRoot::WriteFile("Data/Sounds/Sounds.dat", "");
        PlatSetSoundBackendKind(PlatSoundBackendKind::Loopback);
        ASSERT_EQ(audio.Init(nullptr), S_OK);
    }
    void TearDown() override {
        audio.Release();
        PlatSetSoundBackendKind(PlatSoundBackendKind::Default);
        ShotSpawner::TearDown();
    }

    TempGameRoot root;
    CNAudio audio;
};

} // namespace

// Flight 10 at 0.1 s frames is one unit a frame: twenty frames reach the
// full range, the twenty-first ends the flight.
TEST_F(ShotSpawner, ABoltFliesItsRangeThenEnds) {
    CPBoltShot bolt(BoltRow("none"));
    ASSERT_TRUE(bolt.Configure(BoltRow("none")));
    bolt.Launch({0, 0, 1}, {0, 2, 0}, 10, nullptr);
    g_FrameTime = 0.1f;
    CPRefPtr<CPGameObject> hit;
    for (int frame = 1; frame <= 20; ++frame)
        ASSERT_EQ(bolt.Fly(hit), 1) << frame;
    EXPECT_NEAR(bolt.GetPosition().y, 20, 1e-4f);
    EXPECT_EQ(bolt.Fly(hit), -1);
    EXPECT_FALSE(hit);
    EXPECT_EQ(bolt.GetRenderObject()->GetVertexCount(), 4);
    EXPECT_EQ(bolt.GetRenderObject()->GetIndexCount(), 6);
}

// A negative launch speed keeps the row's; the flight never uses it.
TEST_F(ShotSpawner, TheBoltKeepsTheRowsLaunchSpeedUnlessGivenOne) {
    const std::pair<float, float> cases[] = {{-1, 1.5f}, {0, 0}, {10, 10}};
    for (const auto& [given, kept] : cases) {
        CPBoltShot bolt(BoltRow("none"));
        bolt.Configure(BoltRow("none"));
        bolt.Launch({0, 0, 0}, {1, 0, 0}, given, nullptr);
        EXPECT_FLOAT_EQ(bolt.launchSpeed, kept) << given;
        EXPECT_FLOAT_EQ(bolt.speed, given);
        EXPECT_FLOAT_EQ(bolt.flightSpeed, 10);
        EXPECT_FALSE(bolt.side) << "the \"enemy\" side";
    }
}

TEST_F(ShotSounds, TheLastColumnChoosesTheSound) {
    struct Case {
        const char* column;
        bool hasSound;
        bool flat;
    };
    for (const Case& c : {Case{"morgrave.wav,3d", true, false}, Case{"morgrave.wav,2d", true, true},
                          Case{"none,3d", false, false}, Case{"missing.wav,3d", false, false}}) {
        CPBoltShot bolt(BoltRow(c.column));
        EXPECT_TRUE(bolt.Configure(BoltRow(c.column)));
        EXPECT_EQ(static_cast<bool>(bolt.sound), c.hasSound) << c.column;
        EXPECT_EQ(bolt.flatSound, c.flat) << c.column;
        bolt.Launch({0, 0, 0}, {1, 0, 0}, -1, nullptr);
        if (c.hasSound) {
            EXPECT_TRUE(bolt.sound->IsPlaying()) << c.column;
        }
    }
}

// One pooled shot is a template that every spawn clones; more are ready
// shots taken from the end until one is left, which is then the template.
TEST_F(ShotSpawner, PoolsHandOutReadyShotsThenCloneTheLast) {
    LoadShots(spawner, TracerRow("one") + TracerRow("three") + TracerRow("three") + TracerRow("three"));
    spawner.Spawn("one", {0, 0, 0}, {1, 0, 0}, -1, nullptr);
    spawner.Spawn("one", {0, 0, 0}, {1, 0, 0}, -1, nullptr);
    EXPECT_EQ(ActiveShots(spawner, "one"), 2);
    EXPECT_EQ(spawner.PoolSize("one"), 1u);
    EXPECT_NE(spawner.GetActiveShots().front().get(), spawner.GetActiveShots().back().get());
    std::vector<std::size_t> left;
    for (int k = 0; k < 4; ++k) {
        spawner.Spawn("three", {0, 0, 0}, {1, 0, 0}, -1, nullptr);
        left.push_back(spawner.PoolSize("three"));
    }
    EXPECT_EQ(left, (std::vector<std::size_t>{2, 1, 1, 1}));
    EXPECT_EQ(ActiveShots(spawner, "three"), 4);
}

// Unknown names, and a template that cannot be cloned, spawn nothing.
TEST_F(ShotSpawner, NamesWithoutAUsableTemplateSpawnNothing) {
    auto bolt = std::make_unique<CPBoltShot>(BoltRow("none"));
    bolt->Configure(BoltRow("none"));
    spawner.AddToPool("bolt", std::move(bolt));
    spawner.Spawn("bolt", {0, 0, 0}, {1, 0, 0}, -1, nullptr);
    spawner.Spawn("nothing", {0, 0, 0}, {1, 0, 0}, -1, nullptr);
    EXPECT_TRUE(spawner.GetActiveShots().empty());
    EXPECT_EQ(spawner.PoolSize("bolt"), 1u);
}

// A tracer flies its speed a frame until its range is used up; a burst has
// thrown its particles at the launch and is gone by the first update.
TEST_F(ShotSpawner, TheUpdateTicksShotsAndDropsFinishedOnes) {
    LoadShots(spawner, TracerRow("tracer") + "puff;burst;iskra;5;4;0.1;0;0.5;0.3;none\n");
    spawner.Spawn("tracer", {0, 0, 0}, {0, 3, 0}, 50, nullptr);
    spawner.Spawn("puff", {0, 0, 0}, {0, 0, 0}, -1, nullptr);
    EXPECT_EQ(log.Particles("iskra"), 5);
    for (const Particle& spark : log.Of("iskra"))
        EXPECT_NEAR(D3DXVec3Length(&spark.velocity), 4, 1e-4f);
    g_FrameTime = 0.25f;
    spawner.Update();
    ASSERT_EQ(spawner.GetActiveShots().size(), 1u);
    const CPShot& tracer = *spawner.GetActiveShots().front();
    EXPECT_NEAR(tracer.GetPosition().y, 12.5f, 1e-4f) << "the launch speed replaces the row's";
    for (int frame = 0; frame < 3; ++frame)
        spawner.Update();
    EXPECT_NEAR(tracer.GetPosition().y, 50, 1e-4f) << "it stops at its range";
    spawner.Update();
    EXPECT_TRUE(spawner.GetActiveShots().empty());
}

namespace {

// Two scripted walls, 2 x 2 x 4, at x = 10 and x = 12 in the level's spatial
// tree; each tells its script of the damage it takes.
class ShotHits : public ShotSpawner {
protected:
    void SetUp() override {
        scripts["wall"].Start();
        for (float x : {10.0f, 12.0f}) {
            auto& wall = *walls.emplace_back(std::make_unique<CPGameObject>("wall"));
            wall.partBoxes.emplace_back(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 2));
            wall.SetPosition({x, 0, 0});
            wall.UpdateHierarchy();
            wall.SetScript(&scripts["wall"]);
            list.push_back(&wall);
        }
        tree.SetObjects(list);
        tree.Build();
        level.spatialTree = &tree;
        LoadShots(spawner, "hit;burst;iskra;3;2;0.1;0;0.3;1;none\n"
                           "bullet;tracer;100;50;5;hit;spark.tga;particle_add.fx;103;0.05;2;none\n"
                           "shell;rocket;straight;30;3;4;50;hit;;fire.tga;particle_add.fx;103;0.2;none\n");
        g_FrameTime = 0.05f;
    }
    void TearDown() override {
        level.spatialTree = nullptr;
        list.clear();
        ShotSpawner::TearDown();
    }
    const std::vector<std::string>& Damage() { return scripts.Received(scripts["wall"]); }

    TestScripts scripts{{"wall"}};
    std::vector<std::unique_ptr<CPGameObject>> walls;
    CPLevelBranch::ObjectList list;
    CPLevelBranch tree;
    CPLevel level;
};

} // namespace

// A bullet stops at the first wall on its path, damages it and leaves its
// impact there.
TEST_F(ShotHits, ATracerDamagesWhatItHitsAndSpawnsItsImpact) {
    spawner.Spawn("bullet", {0, 0, 0}, {1, 0, 0}, -1, nullptr);
    for (int frame = 0; frame < 4 && !spawner.GetActiveShots().empty(); ++frame)
        spawner.Update();
    EXPECT_EQ(Damage(), std::vector<std::string>{"damage(5.00)"});
    EXPECT_EQ(log.Particles("iskra"), 3);
    EXPECT_NEAR(log.Of("iskra").front().position.x, 9, 1e-3f) << "at the near face of the first wall";
    EXPECT_EQ(ActiveShots(spawner, "bullet"), 0);
}

// A rocket's blast damages every object within its splash radius once.
TEST_F(ShotHits, ARocketsBlastReachesEveryObjectNearby) {
    spawner.Spawn("shell", {0, 0, 0}, {1, 0, 0}, -1, nullptr);
    for (int frame = 0; frame < 20 && ActiveShots(spawner, "shell") > 0; ++frame)
        spawner.Update();
    EXPECT_EQ(ActiveShots(spawner, "shell"), 0);
    EXPECT_EQ(Damage(), (std::vector<std::string>{"damage(3.00)", "damage(3.00)"}));
    EXPECT_EQ(log.Particles("iskra"), 3);
}

// A rocket that strikes nothing blows up at the end of its range.
TEST_F(ShotHits, ARocketThatMissesExplodesAtTheEndOfItsRange) {
    spawner.Spawn("shell", {0, 0, 0}, {0, 1, 0}, -1, nullptr);
    for (int frame = 0; frame < 40 && ActiveShots(spawner, "shell") > 0; ++frame)
        spawner.Update();
    EXPECT_EQ(ActiveShots(spawner, "shell"), 0);
    EXPECT_TRUE(Damage().empty());
    EXPECT_EQ(log.Particles("iskra"), 3);
    ASSERT_FALSE(log.Of("iskra").empty());
    EXPECT_NEAR(log.Of("iskra").front().position.y, 50, 1.6f) << "where its range ran out";
}

// Every bad row is named and skipped; the good rows still load.
TEST(ShotTableRows, BadRowsAreNamedAndSkipped) {
    const std::pair<const char*, const char*> cases[] = {
        {"lone", "a row needs a name and a class"},
        {";tracer;1;1;1;;t;e;1;1;1;none", "a row needs a name and a class"},
        {"x;laser;1;none", "unknown class \"laser\""},
        {"x;bolt;enemy;10;1.5;1.5;razlom.dds;light_nofog.fx;103;sparks;none", "unknown class \"bolt\""},
        {"x;tracer;1;1;1;;t;e;1;1;none", "a tracer row has 9 columns before its sound, not 8"},
        {"x;tracer;1;1;1;;t;e;1;1;1;1;none", "a tracer row has 9 columns before its sound, not 10"},
        {"x;tracer;fast;1;1;;t;e;1;1;1;none", "column 0 \"fast\" is not a number"},
        {"x;burst;iskra;5;4;0.1;0;0.5;;none", "column 6 \"\" is not a number"},
        {"x;tracer;nan;1;1;;t;e;1;1;1;none", "column 0 \"nan\" is not a finite number"},
        {"x;burst;iskra;5;inf;0.1;0;0.5;0.3;none", "column 2 \"inf\" is not a finite number"},
        {"x;burst;iskra;5;4;0.1;0;0.5;-infinity;none", "column 6 \"-infinity\" is not a finite number"},
        {"x;rocket;straight;1;1;NAN;1;;;t;e;1;1;none", "column 3 \"NAN\" is not a finite number"},
        {"x;tracer;1e39;1;1;;t;e;1;1;1;none", "column 0 \"1e39\" is not a number"},
        {"x;burst;iskra;257;4;0.1;0;0.5;0.3;none", "column 1 \"257\": a burst has 0 to 256 particles"},
        {"x;burst;iskra;-1;4;0.1;0;0.5;0.3;none", "column 1 \"-1\": a burst has 0 to 256 particles"},
        {"x;rocket;lobbed;1;1;1;1;;;t;e;1;1;none", "the mode \"lobbed\" is neither"},
        {"x;burst;iskra;5;4;0.1;0;0.5;0.3;", "a burst row has 7 columns before its sound, not 6"},
        {"x;burst;iskra;5;4;0.1;0;0.5;0.3;\"\"", "the sound is empty"},
        {"x;burst;iskra;5;4;0.1;0;0.5;0.3;boom.wav,loud", "is not \"file,2d\" or \"file,3d\""},
        {"[section]", "a shot table has no sections"},
        {"x;burst;iskra;5;4;0.1;0;0.5;0.3;none // trailing", "dropped"},
    };
    for (const auto& [row, message] : cases) {
        const std::string table = "good;burst;iskra;5;4;0.1;0;0.5;0.3;none\n" + std::string(row) + "\n";
        TextProblems problems;
        std::vector<std::string> names;
        ShotTable::Read(
            table.data(), table.size(),
            [&names](const std::string& name, std::unique_ptr<CPShot>) { names.push_back(name); }, problems);
        ASSERT_FALSE(problems.empty()) << row;
        EXPECT_EQ(problems.front().line, 2) << row;
        EXPECT_NE(problems.front().message.find(message), std::string::npos)
            << row << ": " << problems.front().message;
        EXPECT_EQ(names, std::vector<std::string>{"good"}) << row;
    }
}

// The demo table loads whole.
TEST(ShotTableRows, TheDemoTableHasNoBadRow) {
    CPFileReader file(std::string(KV_SOURCE_DIR) + "/data/shots.dat", false);
    ASSERT_TRUE(SUCCEEDED(file.Load()));
    TextProblems problems;
    std::vector<std::string> names;
    ShotTable::Read(
        file.GetData(), static_cast<std::size_t>(file.GetSize()),
        [&names](const std::string& name, std::unique_ptr<CPShot>) { names.push_back(name); }, problems);
    EXPECT_TRUE(problems.empty());
    for (const char* name : {"trasser11", "trasser12", "trasser13", "srocket1", "rocket1", "plazma", "gauss1",
                             "sparks4", "sparks4red", "sparks4_remont", "sparks4_velm", "sparks"})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
}
