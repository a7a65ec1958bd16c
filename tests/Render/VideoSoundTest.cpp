#include "Core/PGlobalTimer.h"
#include "DamagedCopies.h"
#include "Render/PAVIPlayer.h"
#include "RenderTestScene.h"
#include "Sound/SoundFixture.h"
#include "soundtool/SoundSynth.h"
#include "videotool/AviWriter.h"
#include "videotool/Mpeg4AviEncoder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Four flat frames, red, green, blue and grey, 16 x 8 at 10 fps, with
// `soundSeconds` of a 440 Hz tone (none for 0).
RawVideo ToneVideo(float soundSeconds) {
    RawVideo video;
    video.width = 16;
    video.height = 8;
    for (uint32_t colour : {0xFF0000u, 0x00FF00u, 0x0000FFu, 0x808080u})
        video.frames.emplace_back(16 * 8, colour);
    if (soundSeconds > 0)
        video.sound = Tone(440, soundSeconds);
    return video;
}

// The video players on the loopback sound device and the recording graphics
// device.
class VideoSound : public SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        StartAudio();
        scene = std::make_unique<RenderTestScene>(PlatGraphicsBackendKind::Recording, 64, 48);
        ASSERT_TRUE(scene->started);
        WriteVideo("tone.avi", ToneVideo(0.4f));
        WriteVideo("mute.avi", ToneVideo(0));
        g_FrameTime = 0;
    }
    void TearDown() override {
        player.reset();
        scene.reset();
        SoundFixture::TearDown();
    }

    static void WriteVideo(const std::string& name, const RawVideo& video) {
        TempGameRoot::WriteFile("Data/Video/" + name, AsText(EncodeUncompressedAvi(video)));
    }

    // The colour of the top-left texel of the player's texture.
    uint32_t Shown() const {
        D3DLOCKED_RECT locked;
        EXPECT_EQ(player->texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        const uint32_t texel = *static_cast<const uint32_t*>(locked.pBits) & 0xFFFFFF;
        player->texture->UnlockRect(0);
        return texel;
    }

    // Plays `name` at the sound volume `volume` and returns the level of the
    // mix from 0.05 s to 0.25 s.
    float LevelOf(const std::string& name, float volume, bool noSound = false) {
        g_SoundVolume = volume;
        player = std::make_unique<CPAVIPlayer>();
        EXPECT_EQ(player->Play(name, noSound), S_OK) << log;
        player->Start();
        Render(0.05f);
        const float level = Render(0.2f).Rms(0);
        player->Stop();
        return level;
    }

    std::unique_ptr<RenderTestScene> scene;
    std::unique_ptr<CPAVIPlayer> player;
};

} // namespace

TEST_F(VideoSound, TheSoundTrackIsHeardAtTheSoundVolumeClampedToOne) {
    const float full = LevelOf("tone.avi", 1);
    ASSERT_GT(full, 0.1f);
    player = std::make_unique<CPAVIPlayer>();
    ASSERT_EQ(player->Play("tone.avi", false), S_OK);
    player->Start();
    EXPECT_NEAR(Render(0.2f).Frequency(PlatGetSoundMixFrequency()), 440, 10);

    const struct {
        float volume;
        float ratio;
    } cases[] = {{0.5f, std::pow(10.0f, -437 / 2000.0f)}, {1.5f, 1}, {-1, std::pow(10.0f, -7000 / 2000.0f)}};
    for (const auto& c : cases)
        EXPECT_NEAR(LevelOf("tone.avi", c.volume) / full, c.ratio, 0.01f) << c.volume;
}

TEST_F(VideoSound, NothingIsHeardWithoutASoundTrackOrWithTheNoSoundFlag) {
    EXPECT_LT(LevelOf("mute.avi", 1), 1e-4f);
    EXPECT_LT(LevelOf("tone.avi", 1, true), 1e-4f);
}

TEST_F(VideoSound, TheSoundTrackPositionChoosesTheFrame) {
    player = std::make_unique<CPAVIPlayer>();
    ASSERT_EQ(player->Play("tone.avi", false), S_OK);
    ASSERT_TRUE(player->Start());
    EXPECT_EQ(Shown(), 0xFF0000u);
    // The frame clock stands still: only the mixed sound moves the picture.
    player->Update();
    Render(0.15f);
    player->Update();
    EXPECT_EQ(Shown(), 0x00FF00u);
    Render(0.1f);
    player->Update();
    EXPECT_EQ(Shown(), 0x0000FFu);
    EXPECT_FALSE(player->killFlag);
    // Once the sound has ended the frame times take over.
    g_FrameTime = 0.05f;
    for (int frame = 0; frame < 20 && !player->killFlag; ++frame) {
        Render(0.05f);
        player->Update();
    }
    EXPECT_TRUE(player->killFlag) << "the task ends with the stream";
    EXPECT_EQ(Shown(), 0x808080u);
}

TEST_F(VideoSound, WithoutASoundTrackTheFrameTimesChooseTheFrame) {
    player = std::make_unique<CPAVIPlayer>();
    ASSERT_EQ(player->Play("mute.avi", false), S_OK);
    ASSERT_TRUE(player->Start());
    Render(0.3f);
    player->Update();
    EXPECT_EQ(Shown(), 0xFF0000u) << "the mix alone does not move a silent video";
    g_FrameTime = 0.15f;
    player->Update();
    g_FrameTime = 0;
    EXPECT_EQ(Shown(), 0x00FF00u);
}

// The demo's kind of file: MPEG-4 pictures and PCM sound encoded with
// libavcodec. The pictures are lossy, so colours compare within a margin.
TEST_F(VideoSound, AnEncodedMpeg4FilePlaysItsPicturesAndItsSound) {
    RawVideo video = ToneVideo(0.4f);
    video.width = 64;
    video.height = 48;
    for (auto& frame : video.frames)
        frame.assign(64 * 48, frame.front());
    std::string error;
    const std::vector<uint8_t> bytes = Mpeg4AviEncoder::Encode(video, error);
    ASSERT_FALSE(bytes.empty()) << error;
    EXPECT_EQ(bytes, Mpeg4AviEncoder::Encode(video, error)) << "the same video gives the same bytes";
    TempGameRoot::WriteFile("Data/Video/coded.avi", AsText(bytes));

    player = std::make_unique<CPAVIPlayer>();
    ASSERT_EQ(player->Play("coded.avi", false), S_OK) << log;
    EXPECT_EQ(player->textureWidth, 128);
    EXPECT_EQ(player->textureHeight, 64);
    ASSERT_TRUE(player->Start());
    for (int shift : {16, 8, 0})
        EXPECT_NEAR(static_cast<int>(Shown() >> shift & 0xFF), 0xFF0000 >> shift & 0xFF, 12) << shift;
    EXPECT_NEAR(Render(0.2f).Frequency(PlatGetSoundMixFrequency()), 440, 10);
}

// Damaged files with sound: each fails to play or plays what decodes, picture
// and sound, to its end.
TEST_F(VideoSound, DamagedFilesWithSoundFailCleanlyOrPlayWhatDecodes) {
    RawVideo video = ToneVideo(0.4f);
    std::string error;
    const std::vector<uint8_t> coded = Mpeg4AviEncoder::Encode(video, error);
    auto damaged = DamagedCopies(EncodeUncompressedAvi(video));
    const auto codedDamaged = DamagedCopies(coded);
    damaged.insert(damaged.end(), codedDamaged.begin(), codedDamaged.end());
    g_FrameTime = 0.05f;
    for (const auto& bytes : damaged) {
        TempGameRoot::WriteFile("Data/Video/bad.avi", AsText(bytes));
        player = std::make_unique<CPAVIPlayer>();
        if (player->Play("bad.avi", false) != S_OK)
            continue;
        player->Start();
        for (int frame = 0; frame < 40 && !player->killFlag; ++frame) {
            Render(0.05f);
            player->Update();
        }
        EXPECT_TRUE(player->killFlag);
    }
}
