#include "SoundFixture.h"

#include "Script/PScriptManager.h"

// The music task on the loopback device, with a running script "main" that
// receives its "stop_music".
class MusicTest : public SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        TempGameRoot::WriteFile("Data/Scripts/list.dat", "main t_system main\n");
        TempGameRoot::WriteFile("Data/Scripts/main.lua", "while true do Update() end\n");
        scripts = std::make_unique<CPScriptManager>();
        ASSERT_TRUE(scripts->LoadScripts());
        main = scripts->GetScript("main");
        main->Start();
        WritePiece("tone.wav", EncodeWave(Tone(440, 1), {}));
        WritePiece("high.wav", EncodeWave(Tone(880, 2), {}));
        // Half a second at 440 Hz, then half a second at 880 Hz.
        std::vector<float> twoTones = Tone(440, 0.5f);
        MixInto(twoTones, Tone(880, 0.5f), twoTones.size(), 1);
        WritePiece("two.wav", EncodeWave(twoTones, {}));
        music = std::make_unique<CPMusic>();
        StartAudio();
    }
    void TearDown() override {
        music.reset();
        main = nullptr;
        scripts.reset();
        SoundFixture::TearDown();
    }

    static void WritePiece(const std::string& file, const std::vector<uint8_t>& bytes) {
        ASSERT_FALSE(bytes.empty());
        TempGameRoot::WriteFile("Data/Music/" + file, AsText(bytes));
    }

    // Runs the task for `seconds` of mixing, a frame of 1/50 s at a time.
    Mix Run(float seconds) {
        Mix all;
        for (float played = 0; played < seconds; played += 0.02f) {
            music->Update();
            const Mix frame = Render(0.02f);
            all.samples.insert(all.samples.end(), frame.samples.begin(), frame.samples.end());
        }
        return all;
    }

    // The "stop_music" commands "main" has received, with their parameters.
    std::vector<std::string> StopCommands() {
        std::vector<std::string> received;
        while (main->SetNextCommand())
            if (main->GetCurrentCommand()->name == "stop_music")
                received.push_back(main->GetCurrentCommand()->params.at(0));
        return received;
    }

    float Frequency(const Mix& mix) const { return mix.Frequency(PlatGetSoundMixFrequency()); }

    std::unique_ptr<CPScriptManager> scripts;
    CPRefPtr<CPLuaScript> main;
};

TEST_F(MusicTest, OneShotPieceEndsWithOneStopMusic) {
    ASSERT_EQ(music->Play("tone.wav", false), S_OK);
    music->Start();
    EXPECT_TRUE(StopCommands().empty()) << "running from Start on: no stop on the first update";
    const Mix heard = Run(0.5f);
    EXPECT_NEAR(Frequency(heard), 440, 10);
    EXPECT_TRUE(music->IsLoaded());
    Run(1.5f);
    EXPECT_FALSE(music->IsLoaded());
    EXPECT_EQ(StopCommands(), std::vector<std::string>{"tone.wav"});
    EXPECT_LT(Run(0.2f).Rms(0), 1e-4f);
    EXPECT_TRUE(StopCommands().empty());
}

TEST_F(MusicTest, LoopingPieceStartsOnTheNextUpdateAndRestartsFromTheStart) {
    ASSERT_EQ(music->Play("two.wav", true), S_OK);
    EXPECT_LT(Render(0.1f).Rms(0), 1e-4f) << "nothing plays before the next update";
    EXPECT_NEAR(Frequency(Run(0.3f)), 440, 10);
    Run(0.26f);
    EXPECT_NEAR(Frequency(Run(0.2f)), 880, 10);
    Run(0.4f);
    EXPECT_NEAR(Frequency(Run(0.2f)), 440, 10) << "the second pass starts at 0";
    EXPECT_TRUE(music->IsLoaded());
    Run(2.0f);
    EXPECT_TRUE(StopCommands().empty());
}

TEST_F(MusicTest, PlayReplacesThePieceAndStopEndsIt) {
    ASSERT_EQ(music->Play("tone.wav", true), S_OK);
    Run(0.3f);
    ASSERT_EQ(music->Play("high.wav", true), S_OK);
    EXPECT_EQ(music->GetFileName(), "high.wav");
    Run(0.1f);
    EXPECT_NEAR(Frequency(Run(0.3f)), 880, 10);
    music->Stop();
    EXPECT_FALSE(music->IsLoaded());
    Run(0.05f);
    EXPECT_LT(Run(0.2f).Rms(0), 1e-4f);
    EXPECT_TRUE(StopCommands().empty());
}

TEST_F(MusicTest, MissingOrBrokenFilesAreLoggedAndNothingPlays) {
    TempGameRoot::WriteFile("Data/Music/broken.ogg", "OggS and nothing more");
    WritePiece("slow.wav", EncodeWave(std::vector<float>(100, 0.5f), {1, 500, 16}));
    WritePiece("three.wav", EncodeWave(std::vector<float>(300, 0.5f), {3, kRate, 16}));
    for (const char* file : {"missing.ogg", "broken.ogg", "slow.wav", "three.wav"}) {
        SCOPED_TRACE(file);
        log.clear();
        EXPECT_NE(music->Play(file, false), S_OK);
        EXPECT_NE(log.find(std::string("Data\\Music\\") + file), std::string::npos) << log;
        music->Start();
        EXPECT_LT(Run(0.2f).Rms(0), 1e-4f);
        EXPECT_TRUE(StopCommands().empty());
    }
}

TEST_F(MusicTest, WaveOggAndFlacPlayTheSameTone) {
    const std::vector<float> tone = Tone(440, 1);
    WritePiece("tone.ogg", EncodeSoundFile(SoundFileKind::Ogg, tone, {}));
    WritePiece("tone.flac", EncodeSoundFile(SoundFileKind::Flac, tone, {}));
    for (const char* file : {"tone.wav", "tone.ogg", "tone.flac"}) {
        SCOPED_TRACE(file);
        ASSERT_EQ(music->Play(file, true), S_OK);
        Run(0.1f);
        const Mix heard = Run(0.5f);
        EXPECT_NEAR(Frequency(heard), 440, 10);
        EXPECT_GT(heard.Rms(0), 0.1f);
    }
}

// The game's data is built twice to the same bytes, so the OGG writer must not
// number its stream at random; every page keeps a valid checksum (the tone
// above decodes), and bytes that are not whole pages are refused.
TEST_F(MusicTest, OggFilesAreTheSameForTheSameSamples) {
    const std::vector<float> tone = Tone(440, 1);
    const std::vector<uint8_t> first = EncodeSoundFile(SoundFileKind::Ogg, tone, {});
    ASSERT_GT(first.size(), 58u);
    EXPECT_EQ(EncodeSoundFile(SoundFileKind::Ogg, tone, {}), first);
    EXPECT_EQ(first[14] | first[15] << 8 | first[16] << 16 | first[17] << 24,
              static_cast<int>(kOggStreamSerial));
    std::vector<uint8_t> cut(first.begin(), first.end() - 1);
    std::vector<uint8_t> notOgg = {'R', 'I', 'F', 'F', 0, 0, 0, 0};
    std::vector<uint8_t> empty;
    for (auto* bytes : {&cut, &notOgg, &empty})
        EXPECT_FALSE(SetOggStreamSerial(*bytes, 1));
}

TEST_F(MusicTest, VolumeFollowsTheLaw) {
    ASSERT_EQ(music->Play("tone.wav", true), S_OK);
    Run(0.1f);
    const float full = Run(0.3f).Rms(0);
    audio->SetMusicVolume(0.5f);
    EXPECT_EQ(g_MusicVolume, 0.5f);
    Run(0.05f);
    EXPECT_NEAR(Run(0.3f).Rms(0) / full, std::pow(10.0f, -437 / 2000.0f), 0.01f);
}

// A path is as long as the file system allows.
TEST_F(MusicTest, LongNamesPlay) {
    const std::string name = std::string(200, 'm') + "/" + std::string(200, 'n') + ".wav";
    WritePiece(name, EncodeWave(Tone(440, 1), {}));
    EXPECT_EQ(music->Play(name, true), S_OK);
    EXPECT_NEAR(Frequency(Run(0.4f)), 440, 10);
}
