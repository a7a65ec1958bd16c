#include "SoundFixture.h"

// The named sounds of Data\Sounds\Sounds.dat.
class SoundTableTest : public SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        for (const char* file : {"Horn.wav", "click.wav", "first.wav", "second.wav"})
            WriteSound(file, Tone(440, 0.1f));
    }
};

TEST_F(SoundTableTest, LinesMakeNamedSounds) {
    TempGameRoot::WriteFile("Data/Sounds/Sounds.dat", "// name;file;mode\r\n"
                                                      "horn;Horn.wav;3D\r\n"
                                                      "flat;Horn.wav\r\n"
                                                      "click;click.wav;2d;ignored\r\n"
                                                      "twice;first.wav\r\n"
                                                      "twice;second.wav;3d\r\n"
                                                      "gone;missing.wav;3d\r\n");
    StartAudio();
    const struct {
        const char* name;
        const char* path; // nullptr: no sound
        bool is3D;
    } cases[] = {
        {"horn", "Data\\Sounds\\Horn.wav", true},
        {"flat", "Data\\Sounds\\Horn.wav", false},
        {"click", "Data\\Sounds\\click.wav", false},
        {"twice", "Data\\Sounds\\second.wav", true},
        {"gone", nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(audio->sounds.count(c.name), 1u);
        const CPRefPtr<CNSound> sound = audio->FindSound(c.name);
        ASSERT_EQ(bool(sound), c.path != nullptr);
        if (!sound)
            continue;
        EXPECT_EQ(sound->GetClassName(), std::string("CNSound_") + c.path);
        EXPECT_EQ(sound->Is3D(), c.is3D);
        EXPECT_TRUE(sound->IsListed());
    }
    const DS3DBUFFER& horn = audio->FindSound("horn")->Get3DParameters();
    EXPECT_EQ(horn.flMinDistance, 1.0f);
    EXPECT_EQ(horn.flMaxDistance, 1000.0f);
    EXPECT_EQ(g_SoundList.size(), 4u) << "the replaced sound of a repeated name is gone";
    EXPECT_NE(log.find("Data\\Sounds\\missing.wav"), std::string::npos);
}

TEST_F(SoundTableTest, UnknownNamesAndRepeatedLoads) {
    StartAudio();
    EXPECT_TRUE(audio->sounds.empty()) << "no Sounds.dat gives an empty table";
    EXPECT_NE(log.find("Data\\Sounds\\Sounds.dat could not be read"), std::string::npos) << log;
    EXPECT_FALSE(audio->FindSound("nothing"));
    EXPECT_EQ(audio->sounds.count("nothing"), 1u) << "the name is added, empty";
    EXPECT_FALSE(audio->FindSound("nothing"));
    EXPECT_EQ(audio->sounds.size(), 1u);

    CNSound* first = Load("click.wav", false);
    CNSound* second = Load("click.wav", false);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second) << "each load makes a sound of its own";
    EXPECT_FALSE(g_SoundCache->Find("click.wav"));
}

TEST_F(SoundTableTest, SoundVolumeZeroSilencesEverySound) {
    StartAudio();
    CNSound* sound = Load("click.wav", false);
    sound->Play(0, DSBPLAY_LOOPING);
    const float full = Render(0.1f).Rms(0);
    audio->SetSoundVolume(0);
    EXPECT_EQ(g_SoundVolume, 0.0f);
    EXPECT_EQ(g_MasterVolume, 0.0f);
    Render(0.02f);
    EXPECT_NEAR(Render(0.1f).Rms(0) / full, std::pow(10.0f, -7000 / 2000.0f), 1e-4f);
}

// Without a sound device the manager and the sounds do nothing, and the one
// line in the log says why.
TEST_F(SoundTableTest, WithoutADeviceEveryCallDoesNothing) {
    TempGameRoot::WriteFile("Data/Sounds/Sounds.dat", "horn;Horn.wav;3d\n");
    PlatSetSoundBackendKind(PlatSoundBackendKind::None);
    audio = std::make_unique<CNAudio>();
    EXPECT_NE(audio->Init(nullptr), S_OK);
    EXPECT_EQ(log, "No sound device could be opened: the game runs without sound\n");
    audio->SetListenerPosition({1, 2, 3}, {0, 0, 0});
    audio->SetListenerOrientation({0, 0, 1}, {0, -1, 0});
    EXPECT_FALSE(audio->FindSound("horn"));
    EXPECT_EQ(g_SoundCache, nullptr);
    CPRefPtr<CNSound> sound;
    EXPECT_NE(audio->LoadSound(sound, "Horn.wav", true, true), S_OK);
    EXPECT_FALSE(sound);
    audio->SetSoundVolume(0.3f);

    CNSound unmade(nullptr, "Data\\Sounds\\Horn.wav", false);
    EXPECT_FALSE(unmade.IsListed());
    EXPECT_NE(unmade.Play(0, 0), DS_OK);
    EXPECT_NE(unmade.SetPitch(2), DS_OK);
    EXPECT_NE(unmade.SetVolume(1), DS_OK);
    unmade.Stop();
    unmade.Rewind();
    EXPECT_FALSE(unmade.IsPlaying());
    EXPECT_FALSE(PlatRenderSoundMix(nullptr, 0));
}
