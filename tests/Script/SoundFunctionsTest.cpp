#include "LuaRunner.h"

#include "Core/PTaskManager.h"
#include "Render/PAVIPlayer1.h"
#include "Script/PScriptManager.h"
#include "Sound/SoundFixture.h"

namespace {

// The sound manager on the loopback device with the named sounds "two"
// (3D: half a second at 440 Hz, then half a second at 880 Hz) and "flat"
// (2D), a music piece and a running script "main".
class SoundFunctionsTest : public SoundFixture, public LuaRunner {
protected:
    // testing::Test has a Run of its own.
    using LuaRunner::Run;

    void SetUp() override {
        SoundFixture::SetUp();
        std::vector<float> twoTones = Tone(440, 0.5f);
        const std::vector<float> high = Tone(880, 0.5f);
        twoTones.insert(twoTones.end(), high.begin(), high.end());
        WriteSound("two.wav", twoTones);
        WriteSound("flat.wav", Tone(440, 1));
        TempGameRoot::WriteFile("Data/Sounds/Sounds.dat", "two;two.wav;3d\nflat;flat.wav\n");
        TempGameRoot::WriteFile("Data/Music/piece.wav", AsText(EncodeWave(Tone(440, 0.2f), {})));
        TempGameRoot::WriteFile("Data/Scripts/list.dat", "main t_system main\n");
        TempGameRoot::WriteFile("Data/Scripts/main.lua", "");
        scripts = std::make_unique<CPScriptManager>();
        ASSERT_TRUE(scripts->LoadScripts());
        scripts->GetScript("main")->Start();
        StartAudio();
    }
    void TearDown() override {
        scripts.reset();
        SoundFixture::TearDown();
    }

    CNSound& Named(const std::string& name) { return *audio->FindSound(name).Get(); }
    float HeardFrequency(float seconds) { return Render(seconds).Frequency(PlatGetSoundMixFrequency()); }

    std::unique_ptr<CPScriptManager> scripts;
};

TEST_F(SoundFunctionsTest, PlaySpecialSound3DKeepsOrRestartsAPlayingSound) {
    EXPECT_EQ(Eval("PlaySpecialSound3D('two', 0, 0, 0.5)"), "true");
    EXPECT_TRUE(Named("two").IsPlaying());
    Render(0.6f);
    EXPECT_EQ(Eval("PlaySpecialSound3D('two', 0, 0, 0.5, false, true)"), "false");
    EXPECT_NEAR(HeardFrequency(0.2f), 880, 20) << "kept playing, not restarted";
    // Only a boolean counts: the number 1 does not ask to keep the sound.
    EXPECT_EQ(Eval("PlaySpecialSound3D('two', 0, 0, 0.5, false, 1)"), "true");
    EXPECT_NEAR(HeardFrequency(0.2f), 440, 20) << "restarted from the start";
    EXPECT_FLOAT_EQ(Named("two").Get3DParameters().vPosition.z, 0.5f);
    EXPECT_EQ(Eval("PlaySpecialSound3D('missing', 0, 0, 0, true, true)"), "true");
    EXPECT_NE(Run("PlaySpecialSound3D()"), "") << "the name is required";
}

TEST_F(SoundFunctionsTest, NamedSoundsPlayStopAndReport) {
    EXPECT_EQ(Run("PlaySpecialSound('flat')"), "");
    EXPECT_EQ(Eval("IsSpecialSoundPlaying('flat')"), "true");
    EXPECT_EQ(Run("StopSpecialSound('flat') StopSpecialSound('missing') PlaySpecialSound('missing')"), "");
    EXPECT_EQ(Eval("IsSpecialSoundPlaying('flat')"), "false");
    EXPECT_EQ(Eval("IsSpecialSoundPlaying('missing')"), "false");

    EXPECT_EQ(Run("UpdateSoundPosition('two', 1, 2, 3, 4, 5, 6)"), "");
    const DS3DBUFFER& moved = Named("two").Get3DParameters();
    EXPECT_FLOAT_EQ(moved.vPosition.y, 2);
    EXPECT_FLOAT_EQ(moved.vVelocity.z, 6);
    EXPECT_EQ(Run("UpdateSoundPosition('two', 1, 2, 3, 4, 5)"), "");
    EXPECT_FLOAT_EQ(Named("two").Get3DParameters().vVelocity.x, 0) << "velocity needs all three numbers";
    EXPECT_EQ(Run("UpdateSoundPosition('missing', 1, 2, 3) UpdateSoundPosition()"), "");
}

TEST_F(SoundFunctionsTest, StopSoundsStopsLiveSoundsWithOrWithoutTheCache) {
    EXPECT_EQ(Run("PlaySpecialSound('flat') PlaySpecialSound3D('two', 0, 0, 0)"), "");
    EXPECT_EQ(Run("StopSounds()"), "");
    EXPECT_FALSE(Named("flat").IsPlaying());
    EXPECT_FALSE(Named("two").IsPlaying());

    CNSoundCache* cache = g_SoundCache;
    g_SoundCache = nullptr;
    EXPECT_EQ(Run("PlaySpecialSound('flat') StopSounds()"), "");
    g_SoundCache = cache;
    EXPECT_FALSE(Named("flat").IsPlaying());
}

TEST_F(SoundFunctionsTest, VolumesAreClampedBeforeTheyAreStored) {
    const std::pair<const char*, const char*> cases[] = {
        {"0.25", "0.25"}, {"-1", "0"}, {"2", "1"}, {"0/0", "0"}, {"'x'", "0"}};
    for (const auto& [given, stored] : cases) {
        EXPECT_EQ(Run(std::string("SetSoundVolume(") + given + ") SetMusicVolume(" + given + ")"), "");
        EXPECT_EQ(Values("GetSoundVolume(), GetMusicVolume()"), std::string(stored) + "," + stored) << given;
    }
    EXPECT_FLOAT_EQ(g_MasterVolume, 0) << "the sounds got the stored volume";
}

TEST_F(SoundFunctionsTest, MusicWithoutLoopTellsMainWhenItEnds) {
    music = std::make_unique<CPMusic>();
    EXPECT_EQ(Run("PlayMusicNoLoop('piece.wav')"), "");
    EXPECT_EQ(Eval("GetMusicName()"), "piece.wav");
    for (int frame = 0; frame < 30 && music->IsLoaded(); ++frame) {
        music->Update();
        Render(0.02f);
    }
    EXPECT_FALSE(music->IsLoaded());
    CPLuaScript& main = *scripts->GetScript("main");
    ASSERT_TRUE(main.SetNextCommand());
    EXPECT_EQ(main.GetCurrentCommand()->name, "stop_music");
    EXPECT_EQ(Run("PlayMusicNoLoop('piece.wav') StopPlayingMusic()"), "");
    EXPECT_FALSE(music->IsLoaded());
}

TEST_F(SoundFunctionsTest, VideosRunAsTasksOfThePlayers) {
    CPAVIPlayer first;
    CPAVIPlayer1 second;
    CPTaskManager tasks;
    g_AVIPlayer = &first;
    g_AVIPlayer1 = &second;
    EXPECT_EQ(Run("PlayVideo('missing.avi', true) PlayVideo1('missing.avi')"), "");
    EXPECT_TRUE(first.scriptFlag);
    EXPECT_TRUE(second.scriptFlag);
    EXPECT_EQ(first.priority, PRIORITY_VIDEO);
    EXPECT_TRUE(tasks.IsActive(&first));
    EXPECT_TRUE(tasks.IsActive(&second));
    EXPECT_EQ(Run("StopVideo() StopVideo1()"), "");
    EXPECT_FALSE(first.running);
    EXPECT_FALSE(second.running);
    EXPECT_NE(Run("PlayVideo1()"), "") << "the name is required";
    g_AVIPlayer = nullptr;
    g_AVIPlayer1 = nullptr;
}

TEST_F(SoundFunctionsTest, WithoutPlayersVideoCallsOnlyLogOnce) {
    log.clear();
    EXPECT_EQ(
        Run("PlayVideo('a.avi') PlayVideoNoSound('a.avi') PlayVideo1('a.avi') StopVideo() StopVideo1()"), "");
    std::size_t reports = 0;
    for (std::size_t at = log.find("no video player"); at != std::string::npos;
         at = log.find("no video player", at + 1))
        ++reports;
    EXPECT_LE(reports, 1u);
}

} // namespace
