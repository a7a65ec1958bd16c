#include "SoundFixture.h"

#include "Sound/VolumeLaw.h"

// Sounds played on the loopback device, judged on the rendered mix.
class SoundPlaybackTest : public SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        WriteSound("a440.wav", Tone(440, 1));
        // Half a second at 440 Hz, then half a second at 880 Hz: where the
        // sound plays from shows in the pitch heard.
        std::vector<float> twoTones = Tone(440, 0.5f);
        MixInto(twoTones, Tone(880, 0.5f), twoTones.size(), 1);
        WriteSound("two.wav", twoTones);
        StartAudio();
    }

    float Frequency(const Mix& mix) const { return mix.Frequency(PlatGetSoundMixFrequency()); }
};

TEST_F(SoundPlaybackTest, ToneIsHeardAndStopSilencesIt) {
    CNSound* sound = Load("a440.wav", false);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->Play(0, 0), DS_OK);
    EXPECT_TRUE(sound->IsPlaying());
    const Mix heard = Render(0.25f);
    EXPECT_GT(heard.Rms(0), 0.1f);
    EXPECT_NEAR(heard.Rms(0), heard.Rms(1), 1e-4f) << "a 2D sound is centred";
    EXPECT_NEAR(Frequency(heard), 440, 10);

    sound->Stop();
    EXPECT_FALSE(sound->IsPlaying());
    Render(0.01f);
    EXPECT_LT(Render(0.1f).Rms(0), 1e-4f);
}

TEST_F(SoundPlaybackTest, PlayResumesRewindRestartsAndAFinishedSoundStartsOver) {
    CNSound* sound = Load("two.wav", false);
    ASSERT_NE(sound, nullptr);
    sound->Play(0, 0);
    Render(0.4f);
    sound->Stop();
    Render(0.1f);
    sound->Play(0, 0);
    Render(0.15f);
    EXPECT_NEAR(Frequency(Render(0.1f)), 880, 20) << "Play after Stop goes on where it stopped";

    sound->Stop();
    sound->Rewind();
    sound->Play(0, 0);
    EXPECT_NEAR(Frequency(Render(0.2f)), 440, 20) << "Rewind goes back to the start";

    Render(1.0f);
    EXPECT_FALSE(sound->IsPlaying());
    sound->Play(0, 0);
    EXPECT_NEAR(Frequency(Render(0.2f)), 440, 20) << "a one-shot that ended plays again from 0";

    Render(0.2f);
    PlayFromStart(CPRefPtr<CNSound>(sound));
    EXPECT_NEAR(Frequency(Render(0.2f)), 440, 20) << "PlayFromStart rewinds a sound still sounding";
}

TEST_F(SoundPlaybackTest, LoopingSoundKeepsPlaying) {
    CNSound* sound = Load("a440.wav", false);
    sound->Play(0, DSBPLAY_LOOPING);
    Render(1.5f);
    EXPECT_TRUE(sound->IsPlaying());
    EXPECT_NEAR(Frequency(Render(0.2f)), 440, 10);
}

TEST_F(SoundPlaybackTest, VolumeLawClampsAndSetsTheLevel) {
    const struct {
        float volume;
        LONG attenuation;
    } cases[] = {{1, 0}, {0.5f, -437}, {0, -7000}, {1.5f, 0}, {-1, -7000}, {NAN, -7000}};
    for (const auto& c : cases)
        EXPECT_EQ(VolumeToAttenuation(c.volume), c.attenuation) << c.volume;

    CNSound* sound = Load("a440.wav", false);
    sound->Play(0, DSBPLAY_LOOPING);
    sound->SetVolume(1);
    Render(0.05f);
    const float full = Render(0.2f).Rms(0);
    sound->SetVolume(0.5f);
    Render(0.05f);
    EXPECT_NEAR(Render(0.2f).Rms(0) / full, std::pow(10.0f, -437 / 2000.0f), 0.01f);
    sound->SetVolume(2);
    Render(0.05f);
    EXPECT_NEAR(Render(0.2f).Rms(0) / full, 1, 0.01f) << "volumes above 1 are full volume";
}

TEST_F(SoundPlaybackTest, MasterVolumeOverridesTheSoundsOwnVolume) {
    CNSound* sound = Load("a440.wav", false);
    sound->Play(0, DSBPLAY_LOOPING);
    Render(0.05f);
    const float full = Render(0.2f).Rms(0);
    sound->SetVolume(0.2f);
    SetMasterSoundVolume(0.5f);
    EXPECT_EQ(g_MasterVolume, 0.5f);
    Render(0.05f);
    EXPECT_NEAR(Render(0.2f).Rms(0) / full, std::pow(10.0f, -437 / 2000.0f), 0.01f);
}

TEST_F(SoundPlaybackTest, PitchDoublesUntilTheNextPlay) {
    CNSound* sound = Load("a440.wav", false);
    sound->Play(0, DSBPLAY_LOOPING);
    EXPECT_EQ(sound->SetPitch(2), DS_OK);
    Render(0.05f);
    EXPECT_NEAR(Frequency(Render(0.2f)), 880, 20);
    sound->Play(0, DSBPLAY_LOOPING);
    Render(0.05f);
    EXPECT_NEAR(Frequency(Render(0.2f)), 440, 10) << "Play sets the base frequency again";
    EXPECT_NE(sound->SetPitch(10000), DS_OK) << "beyond 100,000 Hz is refused";
}

// The device plays from 100 to 100,000 Hz: a pitch is kept within that, and a
// refused one is reported the first time only.
TEST_F(SoundPlaybackTest, PitchesAreKeptPlayableAndARefusalIsReportedOnce) {
    CNSound* sound = Load("a440.wav", false);
    ASSERT_NE(sound, nullptr);
    const float lowest = 100.5f / kRate, highest = 100000.0f / kRate;
    const struct {
        float factor, playable;
    } cases[] = {{2, 2}, {10000, highest}, {highest, highest}, {0, lowest}, {-3, lowest}, {NAN, lowest}};
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(sound->PlayablePitch(c.factor), c.playable) << c.factor;
        EXPECT_EQ(sound->SetPitch(sound->PlayablePitch(c.factor)), DS_OK) << c.factor;
    }
    EXPECT_EQ(log.find("NSound"), std::string::npos) << log;

    for (int frame = 0; frame < 3; ++frame)
        EXPECT_NE(sound->SetPitch(10000), DS_OK);
    const std::size_t first = log.find("NSound");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(log.find("NSound", first + 1), std::string::npos) << log;
}

TEST_F(SoundPlaybackTest, EightBitSilenceIsTheMiddleValue) {
    WriteSound("quiet8.wav", std::vector<float>(2205, 0.0f), {1, kRate, 8});
    CNSound* sound = Load("quiet8.wav", false);
    ASSERT_NE(sound, nullptr);
    sound->Play(0, DSBPLAY_LOOPING);
    EXPECT_LT(Render(0.2f).Rms(0), 1e-4f) << "0x80 is silence in 8-bit data";
}

TEST_F(SoundPlaybackTest, DistanceAttenuatesA3DSoundAndNotA2DOne) {
    WriteSound("a440m.wav", Tone(440, 1));
    CNSound* placed = Load("a440m.wav", true);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->Get3DParameters().flMinDistance, 1.0f);
    EXPECT_EQ(placed->Get3DParameters().flMaxDistance, 1000.0f);
    placed->Play(0, DSBPLAY_LOOPING);
    const auto levelAt = [&](float distance) {
        SetSoundPosition(placed, {0, 0, distance}, {0, 0, 0});
        Render(0.05f);
        return Render(0.2f).Rms(0);
    };
    const float atMinimum = levelAt(1);
    EXPECT_NEAR(20 * std::log10(levelAt(2) / atMinimum), -6.02f, 0.2f);
    EXPECT_NEAR(levelAt(0.5f) / atMinimum, 1, 0.01f) << "full level inside the minimum distance";
    CNAudio::SetSoundDistances(placed, 0, 200);
    EXPECT_GT(levelAt(0.005f), 0.01f) << "a minimum distance of 0 still lets the sound be heard";
    placed->Stop();

    CNSound* flat = Load("a440.wav", false);
    flat->Play(0, DSBPLAY_LOOPING);
    Render(0.05f);
    const float centred = Render(0.2f).Rms(0);
    SetSoundPosition(flat, {100, 0, 50}, {0, 0, 0});
    CNAudio::SetSoundDistances(flat, 1, 2);
    Render(0.05f);
    const Mix moved = Render(0.2f);
    EXPECT_NEAR(moved.Rms(0), centred, 1e-3f);
    EXPECT_NEAR(moved.Rms(1), centred, 1e-3f);
}

// Stereo 3D sounds, formats other than 8- or 16-bit PCM and files without
// sample data fail creation with a report; the failed sound is not handed out.
TEST_F(SoundPlaybackTest, UnplayableSoundsFailCreation) {
    WriteSound("stereo.wav", Tone(440, 0.1f), {2, kRate, 16});
    WriteSound("bits24.wav", Tone(440, 0.1f), {1, kRate, 16});
    std::string wide = TempGameRoot::ReadFile("Data/Sounds/bits24.wav");
    wide[34] = 24; // bits per sample
    TempGameRoot::WriteFile("Data/Sounds/bits24.wav", wide);
    TempGameRoot::WriteFile("Data/Sounds/empty.wav", AsText(EncodeWave({}, {})));
    EXPECT_NE(Load("stereo.wav", false), nullptr);
    const std::size_t listed = g_SoundList.size();
    for (const char* file : {"stereo.wav", "bits24.wav", "empty.wav", "missing.wav"}) {
        SCOPED_TRACE(file);
        log.clear();
        const bool is3D = std::string(file) == "stereo.wav";
        EXPECT_EQ(Load(file, is3D), nullptr);
        EXPECT_NE(log.find(std::string("Data\\Sounds\\") + file), std::string::npos) << log;
    }
    EXPECT_EQ(g_SoundList.size(), listed);
}

TEST_F(SoundPlaybackTest, SoundsOutliveTheDeviceSafely) {
    CNSound* sound = Load("a440.wav", true);
    sound->Play(0, DSBPLAY_LOOPING);
    audio.reset();
    EXPECT_FALSE(sound->IsPlaying());
    EXPECT_NE(sound->Play(0, 0), DS_OK);
    sound->Stop();
    SetSoundPosition(sound, {1, 2, 3}, {0, 0, 0});
    EXPECT_FALSE(PlatRenderSoundMix(nullptr, 0));
}

TEST_F(SoundPlaybackTest, InactiveApplicationIsSilent) {
    CNSound* sound = Load("a440.wav", false);
    sound->Play(0, DSBPLAY_LOOPING);
    PlatSetSoundFocus(false);
    Render(0.05f);
    EXPECT_LT(Render(0.1f).Rms(0), 1e-4f);
    PlatSetSoundFocus(true);
    Render(0.05f);
    EXPECT_GT(Render(0.1f).Rms(0), 0.1f);
}
