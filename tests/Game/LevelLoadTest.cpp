#include "Game/LevelTestSupport.h"
#include "Game/PCamera.h"
#include "Game/PLevelBranch.h"
#include "Platform/Sound/SoundBackend.h"
#include "Render/PQuadTree.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Sound/VolumeLaw.h"
#include "Support/GameTestSupport.h"
#include "Vehicles/PCar.h"
#include "Vehicles/PPlayer.h"
#include "soundtool/SoundSynth.h"
#include "soundtool/SoundWriter.h"

#include <cmath>

namespace {

const D3DXQUATERNION kQuarterTurn(0, 0, 0.7071068f, 0.7071068f);

// Every record kind: the player start with digits, a scenery name that only
// looks like it, a computer-car start, two timed checkpoints, a sequence
// checkpoint, a source, a scaled tree and the two start posts.
std::vector<LevelRecord> EveryKind() {
    return {Record("player7", {97, 0, 0}, kQuarterTurn),
            Record("player_1", {10, 20, 0}),
            Record("enemy1", {103, 8, 0}),
            Record("checkpoint3,21", {0, 100, 0}),
            Record("checkpoint4", {-100, 0, 0}, kQuarterTurn),
            Record("chk12_arrow", {5, 6, 7}, kQuarterTurn),
            Record("src_spawn", {1, 2, 3}),
            Record("tree12", {130, 0, 0}, kQuarterTurn, {2, 3, 4}),
            Record("stolb_start_left", {108, 0, 1}),
            Record("stolb_start_right", {92, 0, 1})};
}

std::vector<TrackLineEntry> LinesWithOther() {
    std::vector<TrackLineEntry> lines = RingLines();
    lines.push_back({"other", false, {StraightSegment({0, 0, 0}, {50, 0, 0})}});
    return lines;
}

void ExpectQuaternion(const D3DXQUATERNION& actual, const D3DXQUATERNION& expected) {
    EXPECT_NEAR(actual.x, expected.x, kEps);
    EXPECT_NEAR(actual.y, expected.y, kEps);
    EXPECT_NEAR(actual.z, expected.z, kEps);
    EXPECT_NEAR(actual.w, expected.w, kEps);
}

CPGameObject* FindLoose(const CPLevel& level, const std::string& model) {
    for (const CPRefPtr<CPGameObject>& object : level.looseObjects) {
        if (object->GetName() == model)
            return object.Get();
    }
    return nullptr;
}

int RingLength(const CPLine* first) {
    int count = 0;
    for (const CPLine* piece = first; piece && (count == 0 || piece != first); piece = piece->next)
        ++count;
    return count;
}

using Requests = std::vector<RecordingMeshManager::Request>;

} // namespace

TEST_F(LevelScene, LoadPlacesEveryRecordKind) {
    WriteLevel("testring", EveryKind(), LinesWithOther());
    ASSERT_TRUE(Load("testring"));

    const Requests expected = {{"player_.rdf", 20},    {"checkpoint.rdf", 20}, {"checkpoint.rdf", 20},
                               {"arrow.rdf", 20},      {"tree.rdf", 20},       {"testring.rdf", 0},
                               {"road_phys0.rdf", 19}, {"1_enemy.rdf", 20},    {"shadow.rdf", 120},
                               {"buggy.rdf", 20},      {"shadow.rdf", 120}};
    EXPECT_EQ(meshes.requests, expected);
    EXPECT_EQ(level->GetLevelNumber(), 0);

    // The player start: trailing digits dropped, orientation as stored.
    ASSERT_TRUE(level->player);
    ExpectNear(level->player->GetPosition(), {97, 0, 2});
    ExpectQuaternion(level->player->GetOrientation(), kQuarterTurn);
    EXPECT_EQ(level->cameraTarget, level->player.Get());
    EXPECT_TRUE(level->player->human);
    EXPECT_EQ(level->player->GetFlags(), 9);
    EXPECT_EQ(level->player->carModelName, "buggy");

    // Scenery: the conjugated orientation, the scale baked into the vertices.
    EXPECT_EQ(level->looseObjects.size(), 4u);
    CPGameObject* tree = FindLoose(*level, "tree.rdf");
    ASSERT_TRUE(tree);
    ExpectNear(tree->GetPosition(), {130, 0, 0});
    ExpectQuaternion(tree->GetOrientation(), {0, 0, -0.7071068f, 0.7071068f});
    const MeshVertex& corner = tree->GetRenderObject()->sourceVertices[2];
    EXPECT_FLOAT_EQ(corner.x, 2.0f);
    EXPECT_FLOAT_EQ(corner.y, 3.0f);
    EXPECT_FALSE(tree->castsShadow);
    EXPECT_TRUE(tree->active);

    // Timed checkpoints: 21 + 9 seconds and the bare 9.
    ASSERT_EQ(level->checkpoints.size(), 2u);
    EXPECT_FLOAT_EQ(level->checkpoints.front().second, 30.0f);
    EXPECT_FLOAT_EQ(level->checkpoints.back().second, 9.0f);

    // The sequence checkpoint under number 12, hidden and conjugated.
    ASSERT_EQ(level->checkpointSequence.count(12), 1u);
    const CPRefPtr<CPGameObject>& arrow = level->checkpointSequence[12];
    EXPECT_FALSE(arrow->visible);
    ExpectNear(arrow->GetPosition(), {5, 6, 7});
    ExpectQuaternion(arrow->GetOrientation(), {0, 0, -0.7071068f, 0.7071068f});

    ASSERT_TRUE(level->sources.Find("spawn"));
    ExpectNear(*level->sources.Find("spawn"), {1, 2, 3});
    ExpectNear(level->laps.startLine, {16, 0, 0});
    ExpectNear(level->laps.startPoint, {100, 0, 1});

    // The computer car from the unknown level's bare numbers.
    ASSERT_EQ(level->cars.size(), 1u);
    EXPECT_EQ(level->carModels, std::list<std::string>{"1"});
    ExpectNear(level->cars.front()->GetPosition(), {103, 8, 2});
    ASSERT_EQ(level->carPace.size(), 1u);
    EXPECT_EQ(level->carPace.front(), std::make_pair(10, 20));
    ASSERT_TRUE(level->cars.front()->GetCar());
    EXPECT_TRUE(level->cars.front()->GetCar()->GetBody());

    // The lines: "other" dropped, the ring of 50 pieces.
    ASSERT_TRUE(level->GetSpline() && level->GetLeftSpline() && level->GetRightSpline());
    EXPECT_EQ(RingLength(level->GetSpline()->firstLine), 50);
    EXPECT_EQ(level->playerLine, level->GetSpline()->firstLine);
    EXPECT_EQ(level->player->trackPiece, level->GetSpline()->firstLine);
    ASSERT_TRUE(drivers.GetDriver(0));
    EXPECT_EQ(drivers.GetDriver(0)->currentSample, level->GetSpline()->firstLine);
    EXPECT_EQ(drivers.GetDriver(0)->edgeSamples[2], level->GetLeftSpline()->firstLine);
    EXPECT_EQ(drivers.GetDriver(0)->edgeSamples[1], level->GetRightSpline()->firstLine);

    EXPECT_FLOAT_EQ(level->grid.extentX, 3000.0f);
    EXPECT_EQ(level->grid.cellsX, 300);
    EXPECT_EQ(level->ambientColour, 0xff7f7f7fu);
    ASSERT_TRUE(level->spatialTree);
    EXPECT_FALSE(level->quadTree);
    EXPECT_EQ(level->GetCamera()->levelTree.Get(), level->spatialTree.Get());
}

// The models requested, without the cars' shadows.
class LevelModes : public LevelScene {
protected:
    std::vector<std::string> CarRequests() const {
        std::vector<std::string> names;
        for (const RecordingMeshManager::Request& request : meshes.requests) {
            if (request.name != "shadow.rdf")
                names.push_back(request.name);
        }
        return names;
    }
};

TEST_F(LevelModes, LoadModesAndLevelNames) {
    struct Case {
        const char* name;
        const char* level;
        bool single;
        bool time;
        int rolling;
        std::vector<std::string> carModels;
        std::size_t checkpoints;
        const char* playerModel;
    };
    const Case cases[] = {
        {"time mode: no computer car", "testring", false, true, 0, {}, 2, "buggy.rdf"},
        {"single mode: no checkpoints, cars of the player's model",
         "testring",
         true,
         false,
         0,
         {"buggy1"},
         0,
         "buggy.rdf"},
        {"demo mode: the player is a driven car",
         "testring",
         false,
         false,
         1,
         {"1", "buggy"},
         2,
         "buggy_enemy.rdf"},
        {"a level of the table", "level4", false, false, 0, {"hatch1"}, 2, "buggy.rdf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteLevel(c.level, EveryKind());
        meshes.requests.clear();
        g_Rolling = c.rolling;
        ASSERT_TRUE(Load(c.level, c.single, c.time));
        EXPECT_EQ(level->carModels, std::list<std::string>(c.carModels.begin(), c.carModels.end()));
        EXPECT_EQ(level->checkpoints.size(), c.checkpoints);
        EXPECT_EQ(CarRequests().back(), c.playerModel);
        EXPECT_EQ(level->demo.active, c.rolling != 0);
        EXPECT_EQ(level->cars.size(), c.carModels.size());
    }
    EXPECT_EQ(level->GetLevelNumber(), 4);
    const std::vector<std::string> cars = CarRequests();
    EXPECT_EQ(cars[cars.size() - 3], "road_phys4.rdf");
    EXPECT_EQ(cars[cars.size() - 2], "hatch1_enemy.rdf");
}

TEST_F(LevelScene, PlaneAndQuadtreeSettings) {
    WriteLevel("testring", EveryKind());
    g_Plane = 1;
    g_QuadLevels = 1;
    ASSERT_TRUE(Load("testring"));
    EXPECT_EQ(std::count(meshes.requests.begin(), meshes.requests.end(),
                         RecordingMeshManager::Request{"land.rdf", 17}),
              1);
    ASSERT_TRUE(level->terrain);
    const CPRenderObject* ground = level->terrain->GetRenderObject();
    ASSERT_EQ(ground->sourceVertices.size(), 4u);
    EXPECT_FLOAT_EQ(ground->sourceVertices[0].x, -1500.0f);
    EXPECT_FLOAT_EQ(ground->sourceVertices[2].z, -0.6f);
    EXPECT_FLOAT_EQ(ground->sourceVertices[2].u1, 600.0f);
    EXPECT_EQ(ground->indices, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_FALSE(level->terrain->physicData);
    EXPECT_EQ(physics.GetTerrainMeshes().size(), 1u);
    EXPECT_TRUE(level->quadTree);
    EXPECT_FALSE(level->spatialTree);
}

// A level whose player car has its sounds, on the loopback sound device,
// so that what the car would be heard at can be measured.
class LevelSceneWithSound : public LevelScene {
protected:
    void SetUp() override {
        LevelScene::SetUp();
        const std::vector<uint8_t> bytes = EncodeWave(Oscillator(Waveform::Sine, 440, 2, 22050), {});
        for (const char* file : {"main.wav", "vizg.wav", "nitro.wav"})
            TempGameRoot::WriteFile(std::string("Data/Sounds/") + file,
                                    std::string(bytes.begin(), bytes.end()));
        PlatSetSoundBackendKind(PlatSoundBackendKind::Loopback);
        ASSERT_EQ(audio.Init(nullptr), S_OK);
        savedVolume = g_SoundVolume;
        g_SoundVolume = 0.8f;
    }
    void TearDown() override {
        LevelScene::TearDown();
        audio.Release();
        PlatSetSoundBackendKind(PlatSoundBackendKind::Default);
        g_SoundVolume = savedVolume;
    }

    // The loudness of the mix over a fifth of a second, after a short
    // stretch that lets a volume change settle.
    static float Loudness() {
        const unsigned rate = PlatGetSoundMixFrequency();
        std::vector<float> settle(rate / 10 * 2), samples(rate / 5 * 2);
        EXPECT_TRUE(PlatRenderSoundMix(settle.data(), rate / 10));
        EXPECT_TRUE(PlatRenderSoundMix(samples.data(), rate / 5));
        double sum = 0;
        for (const float sample : samples)
            sum += sample * sample;
        return static_cast<float>(std::sqrt(sum / static_cast<double>(samples.size())));
    }

    CNAudio audio;
    float savedVolume = 0;
};

TEST_F(LevelSceneWithSound, CameraViewsCopyTheirValues) {
    WriteLevel("testring", EveryKind());
    ASSERT_TRUE(Load("testring"));
    // Load chose view 0 with the "camera" element of the player's car.
    EXPECT_FLOAT_EQ(level->activeView.distance, 6.0f);
    EXPECT_FLOAT_EQ(level->views[0].fov, 55.0f);
    EXPECT_FLOAT_EQ(level->views[1].fov, 60.0f);
    EXPECT_FLOAT_EQ(level->GetCamera()->targetDistance, 6.0f);
    EXPECT_FLOAT_EQ(level->GetCamera()->pitchBase, 20.0f * 0.017453292f);

    // The player car's engine at full volume, the measure of the views'
    // sound volumes.
    const CPRefPtr<CNSound> engine = level->player->GetCar()->engineSound;
    ASSERT_TRUE(engine);
    engine->Play(0, DSBPLAY_LOOPING);
    engine->SetVolume(1);
    const float full = Loudness();
    ASSERT_GT(full, 0.1f);

    struct View {
        int view;
        float distance, height, angleDiv, distanceDiv, angle;
        bool fixed;
        float volumeFactor;
    };
    const View views[] = {{1, 9, 3, 3, 14, 20, false, 0.35f},
                          {2, 6, 1.5f, 2, 12, 10, true, 0.4f},
                          {0, 6, 1.5f, 2, 12, 10, false, 0.3f}};
    for (const View& v : views) {
        SCOPED_TRACE(v.view);
        level->SetCameraView(v.view);
        EXPECT_EQ(level->cameraView, v.view);
        EXPECT_FLOAT_EQ(level->activeView.distance, v.distance);
        EXPECT_FLOAT_EQ(level->activeView.height, v.height);
        EXPECT_FLOAT_EQ(level->activeView.angleDiv, v.angleDiv);
        EXPECT_FLOAT_EQ(level->activeView.distanceDiv, v.distanceDiv);
        EXPECT_FLOAT_EQ(level->activeView.angle, v.angle);
        EXPECT_EQ(level->GetCamera()->fixedMode, v.fixed);
        // The engine at the sound volume times the view's factor.
        const float gain = std::pow(10.0f, VolumeToAttenuation(0.8f * v.volumeFactor) / 2000.0f);
        EXPECT_NEAR(Loudness() / full, gain, gain * 0.05f);
    }
    // The player faces +x: its forward (0, -1, 0) turned a quarter about z.
    EXPECT_NEAR(level->GetCamera()->heading, 0.0f, 1e-4f);
    level->SetCameraView(7);
    EXPECT_EQ(level->cameraView, 7);
    EXPECT_FLOAT_EQ(level->activeView.distance, 6.0f);
}
