#include "Core/PGlobalTimer.h"
#include "Platform/Random.h"
#include "Render/PAnimVertexEffect.h"
#include "Render/PEnvironmentVertexEffect.h"
#include "Render/PFadeVertexEffect.h"
#include "Render/PFlickVertexEffect.h"
#include "Render/PMovingTexVertexEffect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// A quad with corners (0, 0) to (1, 1) in position and texture coordinates,
// half-transparent white, normals along +x.
std::vector<MeshVertex> Quad() {
    std::vector<MeshVertex> quad(4);
    for (int i = 0; i < 4; ++i) {
        MeshVertex& vertex = quad[i];
        vertex.x = vertex.u0 = static_cast<float>(i % 2);
        vertex.y = vertex.v0 = static_cast<float>(i / 2);
        vertex.nx = 1;
        vertex.diffuse = 0x80ffffff;
        vertex.specular = 0x12345678;
    }
    return quad;
}

std::unique_ptr<CPVertexEffect> Make(const std::string& keyword, const std::vector<std::string>& arguments) {
    return std::unique_ptr<CPVertexEffect>(CreateVertexEffect(keyword, arguments));
}

// Applies the effect once after `seconds` of frame time; the result.
std::vector<MeshVertex> ApplyAfter(CPVertexEffect& effect, float seconds) {
    const std::vector<MeshVertex> source = Quad();
    std::vector<MeshVertex> result(source.size());
    g_FrameTime = seconds;
    effect.Apply(result.data(), source.data(), static_cast<int>(source.size()));
    g_FrameTime = 0;
    return result;
}

int Alpha(const MeshVertex& vertex) {
    return static_cast<int>(vertex.diffuse >> 24);
}

class VertexEffectTest : public ::testing::Test {
protected:
    void SetUp() override { PlatSRand(1); }
    void TearDown() override { g_FrameTime = 0; }
};

TEST_F(VertexEffectTest, TheFactoryTakesExactlyTheNumbersEachKindNeeds) {
    struct Case {
        std::string keyword;
        std::vector<std::string> arguments;
        bool made;
    };
    const std::string tooLarge(400, '9');
    const Case cases[] = {
        {"anim", {"4", "2", "8"}, true},
        {"ANIM", {"4", "2", "8"}, true},
        {"flick", {"3", "100", "200"}, true},
        {"movingtex", {"0.5", "-.25"}, true},
        {"fade", {"100"}, true},
        {"environment", {"2"}, true},
        {"fade", {""}, true}, // an empty text passes as a number: rate 0
        {"anim", {"4", "2"}, false},
        {"fade", {"100", "1"}, false},
        {"fade", {"1e3"}, false},
        {"glow", {"1"}, false},
        // "flick 1 100 200" split at the blanks keeps one argument text.
        {"flick", {"1 100 200"}, false},
        // Arguments the effects cannot work with.
        {"anim", {"0", "2", "8"}, false},
        {"anim", {"4", "-1", "8"}, false},
        {"anim", {"1000", "1000", "8"}, false},
        {"environment", {"0"}, false},
        {"fade", {tooLarge}, false},
        {"movingtex", {"0.5", tooLarge}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Make(c.keyword, c.arguments) != nullptr, c.made) << c.keyword << " " << c.arguments.size();
}

TEST_F(VertexEffectTest, AnimationPicksTheCellOfTheFrame) {
    struct Case {
        std::vector<std::string> arguments;
        float seconds;
        float u0, v0; // the cell's corner
        float uScale, vScale;
    };
    const Case cases[] = {
        // Frame 4 of 4 x 2 at 8 frames per second: row 1, column 0.
        {{"4", "2", "8"}, 0.5f, 0.0f, 0.5f, 0.25f, 0.5f},
        // Frame 9 wraps to 1.
        {{"4", "2", "8"}, 1.125f, 0.25f, 0.0f, 0.25f, 0.5f},
        // Backwards: frame -2 is frame 6.
        {{"4", "2", "-8"}, 0.25f, 0.5f, 0.5f, 0.25f, 0.5f},
        // One cell: always the whole picture.
        {{"1", "1", "30"}, 7.3f, 0.0f, 0.0f, 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        const auto effect = Make("anim", c.arguments);
        ASSERT_NE(effect, nullptr);
        const std::vector<MeshVertex> quad = ApplyAfter(*effect, c.seconds);
        EXPECT_FLOAT_EQ(quad[0].u0, c.u0) << c.seconds;
        EXPECT_FLOAT_EQ(quad[0].v0, c.v0) << c.seconds;
        EXPECT_FLOAT_EQ(quad[3].u0, c.u0 + c.uScale) << c.seconds;
        EXPECT_FLOAT_EQ(quad[3].v0, c.v0 + c.vScale) << c.seconds;
        // Everything else is copied.
        EXPECT_EQ(quad[3].diffuse, 0x80ffffffu);
        EXPECT_EQ(quad[3].specular, 0x12345678u);
        EXPECT_EQ(quad[3].x, 1.0f);
    }
}

TEST_F(VertexEffectTest, AnimationWithoutFramesOrAFrameBeyondRangeStaysPut) {
    // Built directly: the factory refuses such sheets.
    CPAnimVertexEffect empty(0, 2, 8);
    EXPECT_EQ(empty.frameCount, 0);
    EXPECT_FLOAT_EQ(ApplyAfter(empty, 1.0f)[3].u0, 1.0f);

    CPAnimVertexEffect runaway(4, 2, 1e30f);
    EXPECT_EQ(ApplyAfter(runaway, 1.0f)[0].u0, 0.0f);
    EXPECT_EQ(runaway.frame, 0);
}

TEST_F(VertexEffectTest, FadeFallsToZeroStaysThereAndResetsTo255) {
    const auto effect = Make("fade", {"100"});
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(Alpha(ApplyAfter(*effect, 0.0f)[0]), 255);
    EXPECT_EQ(Alpha(ApplyAfter(*effect, 1.0f)[0]), 155);
    const std::vector<MeshVertex> faded = ApplyAfter(*effect, 1.55f);
    EXPECT_EQ(faded[0].diffuse, 0x00ffffffu);
    EXPECT_EQ(Alpha(ApplyAfter(*effect, 3.0f)[2]), 0);
    effect->Reset();
    EXPECT_EQ(ApplyAfter(*effect, 0.0f)[1].diffuse, 0xffffffffu);

    // A negative rate grows past 255: only the low 8 bits reach the colour.
    CPFadeVertexEffect growing(-100);
    EXPECT_EQ(Alpha(ApplyAfter(growing, 1.0f)[0]), 355 & 0xFF);
    growing.level = 3e9f;
    EXPECT_EQ(Alpha(ApplyAfter(growing, 0.0f)[0]), static_cast<int>(std::fmod(3e9, 256.0)));
}

TEST_F(VertexEffectTest, FlickerSwingsBetweenMinAndMax) {
    const auto effect = Make("flick", {"3", "100", "200"});
    ASSERT_NE(effect, nullptr);
    const auto& flick = static_cast<const CPFlickVertexEffect&>(*effect);
    EXPECT_EQ(flick.amplitude, 50.0f);
    EXPECT_EQ(flick.mid, 150);
    int lowest = 255, highest = 0;
    CPFlickVertexEffect opaque(3, 100, 200);
    for (int step = 0; step < 200; ++step) {
        // An opaque source gives the level itself; a half-transparent one half of it.
        std::vector<MeshVertex> quad = Quad();
        quad[0].diffuse = 0xff000000;
        g_FrameTime = 0.01f;
        opaque.Apply(quad.data(), quad.data(), 1);
        lowest = std::min(lowest, Alpha(quad[0]));
        highest = std::max(highest, Alpha(quad[0]));
        EXPECT_EQ(quad[0].diffuse & 0x00ffffffu, 0x00ffffffu);
    }
    EXPECT_GE(lowest, 100);
    EXPECT_LE(highest, 200);
    EXPECT_LE(lowest, 102);
    EXPECT_GE(highest, 198);
    const int half = Alpha(ApplyAfter(*effect, 0.0f)[0]);
    EXPECT_EQ(half, static_cast<int>(128.0f * static_cast<float>(flick.level) * 0.003921569f));
}

TEST_F(VertexEffectTest, MovingTextureScrollsAndWraps) {
    CPMovingTexVertexEffect moving(0.5f, 0);
    moving.offsetU = 0.25f;
    moving.offsetV = 0;
    EXPECT_FLOAT_EQ(ApplyAfter(moving, 1.0f)[1].u0, 1.75f);
    EXPECT_FLOAT_EQ(ApplyAfter(moving, 1.0f)[0].u0, 0.25f); // 1.25 wrapped
    EXPECT_FLOAT_EQ(moving.offsetV, 0.0f);

    struct Case {
        float offset, wrapped;
    };
    const Case cases[] = {{1.0f, 1.0f}, {2.0f, 1.0f},   {1.5f, 0.5f},    {-0.25f, 0.75f},  {-1.0f, 0.0f},
                          {0.0f, 0.0f}, {3.0e9f, 0.0f}, {-3.0e9f, 0.0f}, {INFINITY, 0.0f}, {NAN, 0.0f}};
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(CPMovingTexVertexEffect::Wrap(c.offset), c.wrapped) << c.offset;

    // The start offset comes from the generator and lies within 0 to 1.
    PlatSRand(1);
    const auto effect = Make("movingtex", {"0.5", "0.25"});
    ASSERT_NE(effect, nullptr);
    const auto& started = static_cast<const CPMovingTexVertexEffect&>(*effect);
    EXPECT_FLOAT_EQ(started.offsetU, CPMovingTexVertexEffect::Wrap(41 * 0.5f));
    EXPECT_FLOAT_EQ(started.offsetV, CPMovingTexVertexEffect::Wrap(41 * 0.25f));
}

TEST_F(VertexEffectTest, EnvironmentFollowsPositionAndNormal) {
    const auto effect = Make("environment", {"2"});
    ASSERT_NE(effect, nullptr);
    const std::vector<MeshVertex> quad = ApplyAfter(*effect, 1.0f);
    EXPECT_FLOAT_EQ(quad[3].u1, 1.0f / 2 + 0.5f);
    EXPECT_FLOAT_EQ(quad[3].v1, 1.0f / 2);
    EXPECT_FLOAT_EQ(quad[0].u1, 0.5f);
    EXPECT_FLOAT_EQ(quad[3].u0, 1.0f);
}

TEST_F(VertexEffectTest, ClonesCarryTheStateAndGoTheirOwnWay) {
    const auto anim = Make("anim", {"4", "2", "8"});
    ApplyAfter(*anim, 0.5f);
    const std::unique_ptr<CPVertexEffect> copy(anim->Clone());
    const auto& original = static_cast<const CPAnimVertexEffect&>(*anim);
    const auto& cloned = static_cast<const CPAnimVertexEffect&>(*copy);
    EXPECT_EQ(cloned.frame, 4);
    EXPECT_EQ(cloned.uTable, original.uTable);
    EXPECT_NE(cloned.uTable.data(), original.uTable.data());
    ApplyAfter(*copy, 0.125f);
    EXPECT_EQ(cloned.frame, 5);
    EXPECT_EQ(original.frame, 4);

    const auto fade = Make("fade", {"100"});
    ApplyAfter(*fade, 1.0f);
    const std::unique_ptr<CPVertexEffect> fadeCopy(fade->Clone());
    EXPECT_EQ(Alpha(ApplyAfter(*fadeCopy, 0.0f)[0]), 155);
}

} // namespace
