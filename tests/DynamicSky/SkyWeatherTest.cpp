#include "DynamicSky/SkyFixture.h"
#include "Platform/Random.h"

namespace {

// A sky of the demo's shape whose weather comes from the given entries.
class SkyWeatherTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteCloudFile("layer.cl", LayerText(D3DXVECTOR3(0, 0, 200)));
        WriteCloudFile("other.cl", LayerText(D3DXVECTOR3(0, 0, 300)));
        WriteCloudFile("third.cl", LayerText(D3DXVECTOR3(0, 0, 400)));
        PlatSRand(7);
    }

    void Load(const std::vector<WeatherText>& entries) {
        WriteCloudFile("clouds.set", CloudSetText(entries));
        SkyText text = DemoLikeSky();
        text.layers = {"layer.cl", "other.cl", "third.cl"};
        WriteCloudFile("sky.txt", text.Text());
        ASSERT_TRUE(sky.Load("sky.txt"));
    }

    // The entries the weather took, one per change, over `frames` frames of
    // two updates each.
    std::vector<int> Changes(int frames, float frameTime) {
        std::vector<int> taken;
        for (int frame = 0; frame < frames; ++frame) {
            for (int update = 0; update < 2; ++update) {
                const float clock = sky.weatherClock;
                sky.Update(frameTime);
                if (sky.weatherClock < clock + frameTime * sky.timeScale * 0.5f)
                    taken.push_back(sky.weatherIndex);
            }
        }
        return taken;
    }

    TempGameRoot root;
    SkyLogCapture log;
    Skyscape sky;
};

TEST_F(SkyWeatherTest, TheClockRunsTwiceTheScaledFrameTimeAFrame) {
    Load({WeatherText{}, WeatherText{}});
    for (int update = 0; update < 2; ++update)
        sky.Update(0.25f);
    EXPECT_FLOAT_EQ(sky.weatherClock, 2 * 0.25f * 4);
}

TEST_F(SkyWeatherTest, TwoEntriesAlternate) {
    Load({WeatherText{.mean = 1, .spread = 0.5f},
          WeatherText{.mean = 1, .spread = 0.5f, .layer = "other.cl"}});
    // Each spell lasts 0.5 to 1.4 s; frames of 0.05 s run 0.4 s of weather.
    const std::vector<int> taken = Changes(60, 0.05f);
    ASSERT_GE(taken.size(), 6u);
    for (size_t i = 0; i < taken.size(); ++i)
        EXPECT_EQ(taken[i], static_cast<int>((i + 1) % 2)) << i;
    EXPECT_EQ(sky.activeLayers.back()->offset.z, taken.back() == 0 ? 200 : 300);
}

TEST_F(SkyWeatherTest, AnEntryOfProbabilityZeroIsTakenOnADrawOfZero) {
    // The draw is taken when (rand() mod 100) / 100 is at most the
    // probability: 0 passes only on a draw of 0, which comes in time.
    Load({WeatherText{.mean = 1, .spread = 0.5f}, WeatherText{.mean = 1, .spread = 0.5f, .probability = 0}});
    const std::vector<int> taken = Changes(20, 0.05f);
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(taken[0], 1);
}

TEST_F(SkyWeatherTest, TheNextChangeIsDrawnAboutTheMean) {
    struct Case {
        float mean;
        float spread;
        float lowest;
        float highest;
    };
    // Mean 60, spread 0.5: 30 s plus up to 59.9 s in tenths. A range under
    // one draw (0.5 x 0.05 x 20) gives no offset.
    for (const Case& test : {Case{60, 0.5f, 30, 89.9f}, Case{0.5f, 0.05f, 0.475f, 0.475f}}) {
        Skyscape schedule;
        schedule.weather.meanDuration = test.mean;
        schedule.weather.spread = test.spread;
        for (int draw = 0; draw < 50; ++draw) {
            const float next = schedule.DrawWeatherDuration();
            EXPECT_GE(next, test.lowest - 1e-4f);
            EXPECT_LE(next, test.highest + 1e-4f);
        }
    }
}

TEST_F(SkyWeatherTest, WeatherThatCannotChangeStaysAndRestartsItsClock) {
    struct Case {
        std::vector<WeatherText> entries;
    };
    const WeatherText quick{.mean = 1, .spread = 0.5f};
    WeatherText never = quick;
    never.probability = -1;
    for (const Case& test : {Case{{quick}}, Case{{quick, never}}}) {
        Skyscape stuck;
        WriteCloudFile("clouds.set", CloudSetText(test.entries));
        WriteCloudFile("sky.txt", DemoLikeSky().Text());
        ASSERT_TRUE(stuck.Load("sky.txt"));
        for (int update = 0; update < 40; ++update)
            stuck.Update(0.05f);
        EXPECT_EQ(stuck.weatherIndex, 0);
        EXPECT_LT(stuck.weatherClock, 2.0f);
    }
}

TEST_F(SkyWeatherTest, WithoutEntriesThereIsNoWeather) {
    for (const std::string& cloudSet : {std::string("count 0\n"), std::string("count -3\n"), std::string()}) {
        Skyscape clear;
        if (cloudSet.empty())
            std::filesystem::remove("Data/Clouds/clouds.set");
        else
            WriteCloudFile("clouds.set", cloudSet);
        WriteCloudFile("sky.txt", DemoLikeSky().Text());
        ASSERT_TRUE(clear.Load("sky.txt"));
        for (int update = 0; update < 10; ++update)
            clear.Update(1.0f);
        EXPECT_TRUE(clear.cloudSets.entries.empty());
        EXPECT_TRUE(clear.activeLayers.empty());
        EXPECT_EQ(clear.weather.overcast, 0);
    }
}

// Cloud groups as the weather switches them.
class CloudSwitchTest : public SkyWeatherTest {
protected:
    void SetUp() override {
        SkyWeatherTest::SetUp();
        Load({WeatherText{}});
    }

    CloudLayer* Layer(const std::string& name) { return sky.cloudLayers.at(name).get(); }

    void SwitchTo(const std::string& name) {
        sky.weather.layerName = name;
        sky.SwitchCloudGroup();
    }
};

TEST_F(CloudSwitchTest, TheFirstGroupIsListedWithoutFading) {
    ASSERT_EQ(sky.activeLayers, (std::vector<CloudLayer*>{Layer("layer.cl")}));
    EXPECT_FALSE(Layer("layer.cl")->fadingIn);
    EXPECT_FALSE(Layer("layer.cl")->fadingOut);
}

TEST_F(CloudSwitchTest, SwitchingToTheOnlyGroupOnlyRestartsTheBlend) {
    sky.blend = 3;
    sky.blendingIn = false;
    SwitchTo("layer.cl");
    EXPECT_EQ(sky.activeLayers, (std::vector<CloudLayer*>{Layer("layer.cl")}));
    EXPECT_FALSE(Layer("layer.cl")->fadingIn);
    EXPECT_EQ(sky.blend, 0);
    EXPECT_TRUE(sky.blendingIn);
}

TEST_F(CloudSwitchTest, ANewGroupFadesInBesideTheOneBeforeIt) {
    SwitchTo("other.cl");
    EXPECT_EQ(sky.activeLayers, (std::vector<CloudLayer*>{Layer("layer.cl"), Layer("other.cl")}));
    SwitchTo("third.cl");
    // A and B to C: B fades out beside C, A is no longer listed.
    EXPECT_EQ(sky.activeLayers, (std::vector<CloudLayer*>{Layer("other.cl"), Layer("third.cl")}));
    EXPECT_TRUE(Layer("other.cl")->fadingOut);
    EXPECT_FALSE(Layer("other.cl")->fadingIn);
    EXPECT_TRUE(Layer("third.cl")->fadingIn);
    EXPECT_FALSE(Layer("third.cl")->idle);
}

TEST_F(CloudSwitchTest, SwitchingToTheGroupFadingInOrAnUnknownOneKeepsTheList) {
    SwitchTo("other.cl");
    const std::vector<CloudLayer*> listed = sky.activeLayers;
    for (const char* name : {"other.cl", "missing.cl"}) {
        SwitchTo(name);
        EXPECT_EQ(sky.activeLayers, listed) << name;
        EXPECT_TRUE(Layer("other.cl")->fadingIn) << name;
    }
}

} // namespace
