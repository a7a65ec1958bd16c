#include "Application/SoundConnections.h"
#include "Physics/PhysicsServices.h"
#include "Platform/Sound/SoundBackend.h"
#include "Sound/NAudio.h"
#include "Support/TempGameRoot.h"
#include "soundtool/SoundSynth.h"
#include "soundtool/SoundWriter.h"

#include <gtest/gtest.h>

#include <memory>

// The physics play the named sound "slam" through the sound manager.
class SoundConnectionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatSetSoundBackendKind(PlatSoundBackendKind::Loopback);
        const std::vector<uint8_t> wave = EncodeWave(Oscillator(Waveform::Sine, 440, 0.5f, 22050), {});
        TempGameRoot::WriteFile("Data/Sounds/slam.wav", std::string(wave.begin(), wave.end()));
        TempGameRoot::WriteFile("Data/Sounds/Sounds.dat", "slam;slam.wav;2d\n");
        audio = std::make_unique<CNAudio>();
        ASSERT_EQ(audio->Init(nullptr), S_OK);
        ConnectSoundToPhysics();
    }
    void TearDown() override {
        g_PhysicsServices = {};
        audio.reset();
        PlatSetSoundBackendKind(PlatSoundBackendKind::Default);
    }

    TempGameRoot root;
    std::unique_ptr<CNAudio> audio;
};

TEST_F(SoundConnectionsTest, PhysicsPlayTheNamedSoundFromItsStart) {
    EXPECT_FALSE(g_PhysicsServices.isSoundPlaying("slam"));
    g_PhysicsServices.playSound("slam");
    EXPECT_TRUE(g_PhysicsServices.isSoundPlaying("slam"));
    // 0.4 s of the 0.5 s sound, then played again: it still sounds 0.3 s later.
    std::vector<float> mix(2 * 8820);
    PlatRenderSoundMix(mix.data(), 8820);
    g_PhysicsServices.playSound("slam");
    PlatRenderSoundMix(mix.data(), 6615);
    EXPECT_TRUE(g_PhysicsServices.isSoundPlaying("slam")) << "played again from its start";

    EXPECT_FALSE(g_PhysicsServices.isSoundPlaying("horn"));
    g_PhysicsServices.playSound("horn");
}
