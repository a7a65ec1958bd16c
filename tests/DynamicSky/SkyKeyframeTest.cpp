#include "DynamicSky/SkyFixture.h"

namespace {

// Skies with several keyframes, run with a non-zero animation step.
class SkyKeyframeTest : public ::testing::Test {
protected:
    void SetUp() override {
        // No sun yet: the dome takes no highlight on the first update.
        g_SunPosition = D3DXVECTOR3(0, 0, 0);
        WriteCloudFile("clouds.set", CloudSetText({WeatherText{}, WeatherText{}}));
        WriteCloudFile("layer.cl", LayerText(D3DXVECTOR3(0, 0, 200)));
    }

    // Keyframe 0: grey 0.., 10 s, tilt 0, alpha 100, sun angle 10.
    // Keyframe 1: grey 100.., 20 s, tilt 90, alpha 200, sun angle 350 and
    // the sun's next texture.
    static SkyText TwoKeyframes() {
        SkyText text = DemoLikeSky();
        text.sprites[0].textures = {"a.tga", "b.tga"};
        SkyKeyframeText second = text.keyframes[0];
        text.keyframes[0].duration = 10;
        text.keyframes[0].alpha = 100;
        text.keyframes[0].sprites[0].angle = 10;
        second.duration = 20;
        second.tilt = 90;
        second.alpha = 200;
        for (D3DXVECTOR3& key : second.keys)
            key += D3DXVECTOR3(100, 100, 100);
        second.sprites[0].angle = 350;
        second.sprites[0].advance = 1;
        text.keyframes.push_back(second);
        return text;
    }

    void Load(const SkyText& text) {
        WriteCloudFile("sky.txt", text.Text());
        ASSERT_TRUE(sky.Load("sky.txt"));
    }

    TempGameRoot root;
    SkyLogCapture log;
    Skyscape sky;
};

TEST_F(SkyKeyframeTest, TheStartKeyframeIsUsedOnlyWhenItExists) {
    struct Case {
        int start;
        int current;
    };
    for (const Case& test : {Case{1, 1}, Case{2, 0}, Case{-1, 0}, Case{7, 0}}) {
        SkyText text = TwoKeyframes();
        text.start = test.start;
        Skyscape started;
        WriteCloudFile("sky.txt", text.Text());
        ASSERT_TRUE(started.Load("sky.txt"));
        EXPECT_EQ(started.currentKeyframe, test.current) << test.start;
        EXPECT_EQ(started.current.duration, test.current == 0 ? 10 : 20) << test.start;
    }
}

TEST_F(SkyKeyframeTest, TheStepCarriesTheLookTowardsTheNextKeyframe) {
    Load(TwoKeyframes());
    sky.animationStep = 1;
    sky.Update(0.01f);
    EXPECT_FLOAT_EQ(sky.current.keyColours[1].x, 40 + 10);
    EXPECT_FLOAT_EQ(sky.current.domeAlpha, 110);
    EXPECT_NEAR(sky.current.domeTilt, Radians(9), 1e-6);
    EXPECT_NEAR(sky.current.spriteAngles[0], Radians(10 + 34), 1e-5);
    EXPECT_FLOAT_EQ(sky.keyframeClock, 1);
    // The dome shows the moved colours.
    EXPECT_EQ(sky.vertices[33].diffuse, Grey(110, 50));
}

TEST_F(SkyKeyframeTest, AfterItsDurationTheNextKeyframeBeginsAndAnglesRunOnOverTheTurn) {
    Load(TwoKeyframes());
    sky.animationStep = 1;
    for (int update = 0; update < 11; ++update)
        sky.Update(0.01f);
    EXPECT_EQ(sky.currentKeyframe, 1);
    EXPECT_EQ(sky.keyframeClock, 0);
    EXPECT_FLOAT_EQ(sky.current.domeAlpha, 200);
    // From 350 back to 10 is 20 degrees forward over 20 s.
    EXPECT_NEAR(sky.rates.spriteAngles[0], Radians(1), 1e-6);
    EXPECT_FLOAT_EQ(sky.rates.domeAlpha, -5);
    // The keyframe asks for the sun's next texture.
    EXPECT_EQ(sky.sprites[0]->textureIndex, 1);
}

TEST_F(SkyKeyframeTest, KeyframesWithoutDurationHaveNoRates) {
    SkyText text = TwoKeyframes();
    text.keyframes[0].duration = 0;
    text.keyframes[1].duration = -2;
    Load(text);
    sky.animationStep = 1;
    for (int update = 0; update < 3; ++update) {
        sky.Update(0.01f);
        EXPECT_EQ(sky.rates.domeAlpha, 0);
        EXPECT_EQ(sky.rates.keyColours[0], D3DXVECTOR3(0, 0, 0));
        EXPECT_TRUE(Finite(sky.current.keyColours[4]));
    }
}

TEST_F(SkyKeyframeTest, TheOvercastBlendRisesToTheBlendTimeAndFallsBeforeTheChange) {
    WriteCloudFile("clouds.set",
                   CloudSetText({WeatherText{.blendTime = 3, .mean = 100, .spread = 0.01f, .overcast = 1},
                                 WeatherText{}}));
    Load(TwoKeyframes());
    sky.animationStep = 1;
    for (int update = 0; update < 5; ++update)
        sky.Update(0.01f);
    EXPECT_EQ(sky.blend, 3);
    // Fully overcast: the sun's alpha is 255 - 200.
    EXPECT_EQ(sky.sprites[0]->workVertices[0].diffuse, 0x37000014u);
    sky.weatherClock = sky.nextWeatherChange - 2;
    sky.Update(0);
    EXPECT_FALSE(sky.blendingIn);
    sky.Update(0);
    EXPECT_EQ(sky.blend, 2);
}

TEST_F(SkyKeyframeTest, AnOvercastWithoutBlendTimeStaysClear) {
    WriteCloudFile("clouds.set", CloudSetText({WeatherText{.blendTime = 0, .overcast = 1}, WeatherText{}}));
    Load(TwoKeyframes());
    sky.animationStep = 1;
    sky.Update(0.01f);
    EXPECT_EQ(sky.sprites[0]->workVertices[0].diffuse, 0xFF000014u);
    EXPECT_EQ(sky.vertices[33].diffuse & 0xFFFFFF, 0x323232u);
}

TEST_F(SkyKeyframeTest, TooFewKeysLeaveTheDomeWhite) {
    struct Case {
        int keys;
        int segments;
    };
    // One key has no band; five keys over 4 segments give no ring a band.
    for (const Case& test : {Case{1, 32}, Case{5, 4}, Case{0, 32}}) {
        SkyText text = DemoLikeSky();
        text.colourKeys = test.keys;
        text.segments = test.segments;
        text.keyframes[0].keys = GreyKeys(test.keys);
        Skyscape plain;
        WriteCloudFile("sky.txt", text.Text());
        ASSERT_TRUE(plain.Load("sky.txt"));
        plain.Update(0.01f);
        for (const MeshVertex& vertex : plain.vertices)
            ASSERT_EQ(vertex.diffuse, 0x80FFFFFFu) << test.keys << " keys";
    }
}

TEST_F(SkyKeyframeTest, ASkyWithoutKeyframesHasItsColoursAtZero) {
    SkyText text = DemoLikeSky();
    text.keyframes.clear();
    Load(text);
    sky.Update(0.01f);
    sky.Update(0.01f);
    EXPECT_EQ(sky.current.sunColour, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(sky.vertices[0].diffuse, 0u);
    EXPECT_TRUE(Finite(sky.sprites[0]->position));
}

} // namespace
