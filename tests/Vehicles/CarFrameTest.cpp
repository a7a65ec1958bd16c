#include "CarTestSupport.h"

#include "Core/Log.h"
#include "Platform/Random.h"
#include "Platform/Sound/SoundBackend.h"
#include "Render/PRenderObject.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Support/TempGameRoot.h"
#include "soundtool/SoundSynth.h"
#include "soundtool/SoundWriter.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string AsWave(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// A tone of `hz` for the car sounds, at 22,050 Hz.
std::string ToneWave(float hz, float seconds) {
    return AsWave(EncodeWave(Oscillator(Waveform::Sine, hz, seconds, 22050), {}));
}

// Cars whose once-per-frame work is watched: their sounds play on the
// loopback device (the engine a 400 Hz tone), the dust is caught from the
// particle hook.
class CarFrame : public CarScene {
protected:
    void SetUp() override {
        CarScene::SetUp();
        TempGameRoot::WriteFile("Data/Sounds/main.wav", ToneWave(400, 0.25f));
        TempGameRoot::WriteFile("Data/Sounds/vizg.wav", ToneWave(700, 2));
        TempGameRoot::WriteFile("Data/Sounds/nitro.wav", ToneWave(900, 2));
        PlatSetSoundBackendKind(PlatSoundBackendKind::Loopback);
        ASSERT_EQ(audio.Init(nullptr), S_OK);
        g_PhysicsServices.spawnParticle = [this](const SparkParticle& dust) { particles.push_back(dust); };
        BuildGround();
    }
    void TearDown() override {
        CarScene::TearDown();
        audio.Release();
        PlatSetSoundBackendKind(PlatSoundBackendKind::Default);
    }

    // The loudness and the frequency of what the device plays next.
    static std::pair<float, float> Listen(float seconds) {
        const unsigned rate = PlatGetSoundMixFrequency();
        const auto frames = static_cast<unsigned>(seconds * static_cast<float>(rate));
        std::vector<float> mix(frames * 2u);
        EXPECT_TRUE(PlatRenderSoundMix(mix.data(), frames));
        double sum = 0;
        int crossings = 0;
        for (std::size_t i = 0; i < mix.size(); i += 2) {
            sum += mix[i] * mix[i];
            crossings += i >= 2 && (mix[i - 2] < 0) != (mix[i] < 0);
        }
        return {static_cast<float>(std::sqrt(sum / frames)), static_cast<float>(crossings) / 2 / seconds};
    }
    // A car sliding at 15 u/s on its brake, with the dust setting as given.
    CPCar& SlidingCar(bool player, float x) {
        CPCar& car = AddCar(CarXml(), {x, 0, 1.0f}, {0, 0, 0, 1}, player);
        return car;
    }
    void StartSliding(CPCar& car) {
        car.GetBody()->SetVelocity({0, -15, 0});
        car.SetBrake(true);
    }
    long DustNear(float x) const {
        return std::count_if(particles.begin(), particles.end(),
                             [x](const SparkParticle& p) { return std::fabs(p.position.x - x) < 3; });
    }

    TempGameRoot root;
    CNAudio audio;
    std::vector<SparkParticle> particles;
};

TEST_F(CarFrame, ThePlayerCarLoadsItsSoundsAndNothingRunsBeforeTheLevelStarts) {
    CPCar& car = AddFlatCar(CarXml(), true);
    const struct {
        const CPRefPtr<CNSound>& sound;
        const char* file;
    } sounds[] = {{car.engineSound, "main.wav"}, {car.skidSound, "vizg.wav"}, {car.nitroSound, "nitro.wav"}};
    for (const auto& loaded : sounds) {
        ASSERT_TRUE(loaded.sound) << loaded.file;
        EXPECT_EQ(loaded.sound->GetClassName(), std::string("CNSound_Data\\Sounds\\") + loaded.file);
        EXPECT_FALSE(loaded.sound->Is3D()) << loaded.file;
    }
    car.nitroDemand = 1.0f;
    Frames(20);
    EXPECT_FLOAT_EQ(car.nitroReserve, 100.0f);
    EXPECT_FALSE(car.engineSound->IsPlaying());
    EXPECT_EQ(car.frameStamp, -1);
    {
        LevelStarted started(false);
        Frames(20);
        EXPECT_FLOAT_EQ(car.nitroReserve, 100.0f);
        EXPECT_EQ(car.frameStamp, -1);
    }
    LevelStarted started(true);
    Frames(1);
    EXPECT_FLOAT_EQ(car.nitroReserve, 100.0f - 25.0f * kFrame);
    EXPECT_EQ(car.frameStamp, g_FrameCounter);
    EXPECT_TRUE(car.nitroSound->IsPlaying());
}

TEST_F(CarFrame, TheEngineLoopsFromTheFirstFrameWithItsPitchEasingTowardTheSpeed) {
    LevelStarted started(true);
    // Flying at about 10 u/s (slowed only by the drag), high above the
    // ground: the pitch eases at 5/s toward 0.05 x speed + 0.5.
    CPCar& car = AddCar(CarXml(), {0, 0, 200}, {0, 0, 0, 1}, true);
    car.GetBody()->SetGravityEnabled(false);
    car.GetBody()->SetVelocity({0, -10, 0});
    float expected = 0.0f;
    for (int frame = 0; frame < 30; ++frame) {
        Frames(1);
        expected += (0.05f * car.speed + 0.5f - expected) * kFrame * 5.0f;
        ASSERT_NEAR(car.enginePitch, expected, 5e-4f) << frame;
    }
    // At 100 u/s the target stops at 3: the engine, a quarter-second
    // sound, loops at three times its pitch.
    car.GetBody()->SetVelocity({0, -100, 0});
    Frames(200);
    EXPECT_NEAR(car.enginePitch, 3.0f, 1e-3f);
    Listen(1);
    const auto [loudness, frequency] = Listen(0.5f);
    EXPECT_GT(loudness, 0.05f);
    EXPECT_NEAR(frequency, 1200, 24);
    // Deleting the car silences and frees its sounds.
    tree.Delete(*carObjects.back());
    carObjects.pop_back();
    EXPECT_LT(Listen(0.1f).first, 1e-4f);
}

// Frames of half a second (a slow machine): the pitch reaches its target at
// once rather than swinging about it. An engine recorded at 48,000 Hz at three
// times its pitch would ask for 144,000 Hz; it plays at the device's highest,
// 100,000 Hz, without a refused frequency in the log.
TEST_F(CarFrame, TheEngineStaysAudibleInLongFramesAndAboveTheDevicesRange) {
    TempGameRoot::WriteFile(
        "Data/Sounds/main.wav",
        AsWave(EncodeWave(Oscillator(Waveform::Sine, 400, 0.25f, 48000), {1, 48000, 16})));
    std::string log;
    GetLog().SetSink([&log](std::string_view text) { log += text; });
    LevelStarted started(true);
    CPCar& car = AddCar(CarXml(), {0, 0, 200}, {0, 0, 0, 1}, true);
    car.GetBody()->SetGravityEnabled(false);
    car.GetBody()->SetVelocity({0, -100, 0});
    g_FrameTime = 0.5f;
    for (int frame = 0; frame < 10; ++frame) {
        Frames(1);
        ASSERT_NEAR(car.enginePitch, 3.0f, 1e-3f) << frame;
    }
    g_FrameTime = kFrame;
    Listen(0.1f);
    const auto [loudness, frequency] = Listen(0.5f);
    GetLog().SetSink({});
    EXPECT_GT(loudness, 0.05f);
    EXPECT_NEAR(frequency, 400 * 100000.0f / 48000, 24);
    EXPECT_EQ(log.find("NSound"), std::string::npos) << log;
}

TEST_F(CarFrame, TheGlassGlowsWithTheNitro) {
    LevelStarted started(true);
    CPCar& car = AddFlatCar();
    CPGameObject& glass = tree.Add("glass", car.owner);
    CPGameObject& pane = tree.Add("pane", &glass);
    pane.SetVisual(new CPRenderObject(&pane), VISUAL_MESH);
    Frames(1);
    // No demand: -(g x 0) - 0.09.
    EXPECT_FLOAT_EQ(pane.GetRenderObject()->parameter.w, -0.09f);
    car.nitroDemand = 1.0f;
    Frames(1);
    const float reserve = car.nitroReserve;
    const float glow = -pane.GetRenderObject()->parameter.w - 0.09f;
    EXPECT_GE(glow, 0.455f - 1e-5f);
    EXPECT_LE(glow, (1.0f + reserve * 0.01f) * 0.455f + 1e-5f);
}

TEST_F(CarFrame, DustRisesOnlyWithSmokeOnWhileSlidingAndSparserForComputerCars) {
    CPCar& player = SlidingCar(true, 0);
    CPCar& computer = SlidingCar(false, 20);
    Frames(120);
    g_Dust = 0;
    StartSliding(player);
    StartSliding(computer);
    Frames(10);
    EXPECT_TRUE(particles.empty());
    EXPECT_FALSE(player.skidSound->IsPlaying());

    g_Dust = 1;
    PlatSRand(1);
    StartSliding(player);
    StartSliding(computer);
    Frames(10);
    ASSERT_FALSE(particles.empty());
    const SparkParticle& dust = particles.front();
    EXPECT_EQ(dust.typeName, "pil_");
    EXPECT_NEAR(dust.position.z, 0.25f, 1e-3f);
    EXPECT_EQ(dust.velocity, D3DXVECTOR3(0, 0, 0.5f));
    EXPECT_GE(dust.firstScalar, 0.4f);
    EXPECT_LE(dust.firstScalar, 0.6f);
    EXPECT_FLOAT_EQ(dust.secondScalar, 0.5f);
    EXPECT_FLOAT_EQ(dust.lifetime, 1.0f);
    EXPECT_EQ(dust.flags[0], 1);
    EXPECT_EQ(dust.flags[1], 0);
    // Five times the squared spacing: about 2.2 times fewer puffs.
    EXPECT_GT(DustNear(0), 3 * DustNear(20) / 2);
    EXPECT_GT(DustNear(20), 0);
    // The skid plays; only the player car has one.
    EXPECT_TRUE(player.skidSound->IsPlaying());
    EXPECT_EQ(computer.skidSound, nullptr);

    // Released: no more dust once the slide has died away.
    player.SetBrake(false);
    computer.SetBrake(false);
    Frames(10);
    particles.clear();
    Frames(5);
    EXPECT_TRUE(particles.empty());
}

TEST_F(CarFrame, DustKeepsWithinTheFrameBudget) {
    std::vector<CPCar*> cars;
    for (int i = 0; i < 12; ++i)
        cars.push_back(&SlidingCar(true, 6.0f * static_cast<float>(i)));
    Frames(120);
    for (CPCar* car : cars)
        StartSliding(*car);
    for (int frame = 0; frame < 5; ++frame) {
        particles.clear();
        g_FrameParticleCount = 0;
        ++g_FrameCounter;
        physics.Update();
        EXPECT_LE(particles.size(), 40u);
        EXPECT_EQ(g_FrameParticleCount, static_cast<int>(particles.size()));
    }
    g_FrameParticleCount = 39;
    particles.clear();
    physics.Update();
    EXPECT_LE(particles.size(), 1u);
}

} // namespace
