#include "DynamicSky/SkyFixture.h"

#include <numbers>

namespace {

// A sky loaded from fixture files, with no device: the lists are kept, and
// nothing is drawn.
class SkyscapeDomeTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_SunPosition = D3DXVECTOR3(0, 0, 0);
        WriteCloudFile("clouds.set", CloudSetText({WeatherText{}, WeatherText{}}));
        WriteCloudFile("layer.cl", LayerText(D3DXVECTOR3(0, 0, 200)));
    }

    void Load(const SkyText& text) {
        WriteCloudFile("sky.txt", text.Text());
        ASSERT_TRUE(sky.Load("sky.txt"));
    }

    uint32_t RingColour(int ring) const {
        return sky.vertices[static_cast<size_t>(ring * (sky.domeSegments + 1))].diffuse;
    }

    TempGameRoot root;
    SkyLogCapture log;
    Skyscape sky;
};

TEST_F(SkyscapeDomeTest, ThirtyTwoSegmentsMakeNineRingsOfThirtyThreeVertices) {
    sky.Setup(450, 32, D3DXVECTOR3(0, 0, 0), 0.6f);
    ASSERT_EQ(sky.vertices.size(), 297u);
    ASSERT_EQ(sky.indices.size(), 1536u);
    struct Corner {
        int index;
        D3DXVECTOR3 position;
        float u, v;
    };
    const float v1 = 1.5f / 9.0f;
    // Horizon at x, a quarter round at y, the ring's repeat of its first
    // vertex, and the zenith at 0.6 of the radius.
    for (const Corner& corner :
         {Corner{0, {450, 0, 0}, 0, 0}, Corner{8, {0, 450, 0}, 0.5f, 0}, Corner{32, {450, 0, 0}, 2, 0},
          Corner{33 + 16, {-450 * std::cos(0.19634954f), 0, 270 * std::sin(0.19634954f)}, 1, v1},
          Corner{8 * 33, {0, 0, 270}, 0, 1.5f * 8 / 9}}) {
        const MeshVertex& vertex = sky.vertices[static_cast<size_t>(corner.index)];
        EXPECT_NEAR(vertex.x, corner.position.x, 1e-3) << corner.index;
        EXPECT_NEAR(vertex.y, corner.position.y, 1e-3) << corner.index;
        EXPECT_NEAR(vertex.z, corner.position.z, 1e-3) << corner.index;
        EXPECT_NEAR(vertex.u0, corner.u, 1e-6) << corner.index;
        EXPECT_NEAR(vertex.v0, corner.v, 1e-6) << corner.index;
        EXPECT_EQ(vertex.diffuse, 0x80FFFFFFu);
    }
    // The normal points at the centre.
    EXPECT_NEAR(sky.vertices[0].nx, -1, 1e-6);
    EXPECT_NEAR(sky.vertices[8 * 33].nz, -1, 1e-6);
    EXPECT_EQ(std::vector<uint16_t>(sky.indices.begin(), sky.indices.begin() + 6),
              (std::vector<uint16_t>{0, 33, 34, 0, 34, 1}));
    EXPECT_EQ(std::vector<uint16_t>(sky.indices.end() - 3, sky.indices.end()),
              (std::vector<uint16_t>{262, 296, 263}));
}

TEST_F(SkyscapeDomeTest, BandsStepTowardsEachKeyAndTheLastBandTakesOneRingMore) {
    // Grey keys 0, 40, 80, 120, 160 at alpha 200: every ring adds half a key
    // step, the zenith of 36 segments is beyond the bands.
    struct Case {
        int segments;
        std::vector<uint32_t> rings;
    };
    const std::vector<uint32_t> bands{20, 40, 60, 80, 100, 120, 140, 160, 180};
    for (const Case& test : {Case{32, bands}, Case{36, bands}}) {
        Skyscape dome;
        SkyText text = DemoLikeSky();
        text.sprites.clear();
        text.keyframes[0].sprites.clear();
        text.segments = test.segments;
        WriteCloudFile("sky.txt", text.Text());
        ASSERT_TRUE(dome.Load("sky.txt"));
        EXPECT_EQ(dome.ringsPerBand, 2);
        dome.Update(0.01f);
        const int rings = test.segments / 4 + 1;
        for (int ring = 0; ring < rings; ++ring) {
            const uint32_t expected =
                ring < 9 ? Grey(200, test.rings[static_cast<size_t>(ring)]) : 0x80FFFFFFu;
            for (int i = 0; i <= test.segments; ++i)
                ASSERT_EQ(dome.vertices[static_cast<size_t>(ring * (test.segments + 1) + i)].diffuse,
                          expected)
                    << test.segments << " segments, ring " << ring << " vertex " << i;
        }
    }
}

TEST_F(SkyscapeDomeTest, TheSideAwayFromTheSunIsHighlightedUpToWhite) {
    // The normal of the horizon vertex at +x points to -x: with the sun
    // towards +x it faces away and takes the full 56, capped at 255.
    SkyText text = DemoLikeSky();
    text.sprites.clear();
    text.keyframes[0].sprites.clear();
    text.keyframes[0].keys = {{100, 230, 0}, {100, 230, 0}, {100, 230, 0}, {100, 230, 0}, {100, 230, 0}};
    Load(text);
    g_SunPosition = D3DXVECTOR3(300, 0, 0);
    sky.Update(0.01f);
    struct Case {
        int vertex;
        uint32_t colour;
    };
    for (const Case& test : {Case{0, 0xC89CFF38}, Case{16, 0xC864E600}, Case{8, 0xC864E600}})
        EXPECT_EQ(sky.vertices[static_cast<size_t>(test.vertex)].diffuse, test.colour) << test.vertex;
}

TEST_F(SkyscapeDomeTest, OvercastColoursComeFromOneChannel) {
    struct Case {
        int channel;
        D3DXVECTOR3 overcast;
    };
    for (const Case& test : {Case{3, {70, 70, 90}}, Case{1, {0, 0, 10}}, Case{2, {30, 30, 50}}}) {
        WriteCloudFile("clouds.set", CloudSetText({WeatherText{.overcast = 1}, WeatherText{}}));
        SkyText text = DemoLikeSky();
        text.keyframes[0].keys.assign(5, D3DXVECTOR3(10, 50, 90));
        text.keyframes[0].fog = D3DXVECTOR3(10, 50, 90);
        text.keyframes[0].channel = test.channel;
        Skyscape overcastSky;
        WriteCloudFile("sky.txt", text.Text());
        ASSERT_TRUE(overcastSky.Load("sky.txt"));
        overcastSky.Update(0.01f);
        EXPECT_EQ(overcastSky.overcast.keyColours[0], test.overcast) << test.channel;
        EXPECT_EQ(overcastSky.overcast.fogColour, test.overcast) << test.channel;
        // The blend has not begun: the dome keeps the clear colours.
        EXPECT_EQ(overcastSky.vertices[0].diffuse & 0xFFFFFF, 0x0A325Au);
    }
}

TEST_F(SkyscapeDomeTest, DoubleLightDoublesTheSunAndAmbientAsRead) {
    SkyText text = DemoLikeSky();
    text.keyframes[0].sun = D3DXVECTOR3(100, 120, 140);
    text.keyframes[0].ambient = D3DXVECTOR3(10, 20, 30);
    text.keyframes[0].doubleLight = 1;
    Load(text);
    EXPECT_EQ(sky.current.sunColour, D3DXVECTOR3(200, 240, 280));
    EXPECT_EQ(sky.current.ambientColour, D3DXVECTOR3(20, 40, 60));
}

TEST_F(SkyscapeDomeTest, TheTiltTurnsTheDomeAboutItsCentre) {
    sky.domeCentre = D3DXVECTOR3(10, 0, 0);
    sky.current.domeTilt = std::numbers::pi_v<float> / 2;
    D3DXVECTOR3 turned;
    const D3DXVECTOR3 point(10, 0, 5);
    const D3DXMATRIX tilt = sky.TiltMatrix();
    D3DXVec3TransformCoord(&turned, &point, &tilt);
    // A point above the centre swings down to the -x side, the centre stays.
    EXPECT_NEAR(turned.x, 5, 1e-4);
    EXPECT_NEAR(turned.z, 0, 1e-4);
    const D3DXVECTOR3 centre = sky.domeCentre;
    D3DXVec3TransformCoord(&turned, &centre, &tilt);
    EXPECT_NEAR(turned.x, 10, 1e-4);
}

// Segment counts whose dome cannot be built are refused as the file is read:
// no dome, no bands, and updates that colour nothing.
TEST_F(SkyscapeDomeTest, DomeSegmentsOutOfRangeAreRefusedWithALogLine) {
    const struct {
        const char* segments;
        bool built;
    } cases[] = {
        {"0", false}, {"-4", false}, {"201", false}, {"99999999999", false}, {"-99999999999", false},
        {"1", true},  {"200", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.segments);
        std::string text = DemoLikeSky().Text();
        text.replace(text.find("segments 32"), 11, std::string("segments ") + c.segments);
        WriteCloudFile("sky.txt", text);
        log.text.clear();
        Skyscape dome;
        ASSERT_TRUE(dome.Load("sky.txt"));
        dome.Update(0.01f);
        EXPECT_EQ(dome.vertices.empty(), !c.built);
        EXPECT_EQ(log.text.find("dome segments are out of range") == std::string::npos, c.built) << log.text;
        if (!c.built) {
            EXPECT_EQ(dome.domeSegments, 0);
            EXPECT_EQ(dome.ringsPerBand, 0);
        }
    }
}

} // namespace
