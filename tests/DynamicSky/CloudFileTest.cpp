#include "DynamicSky/CloudLayer.h"
#include "DynamicSky/CloudSet.h"
#include "DynamicSky/SkyFixture.h"

#include <numbers>

namespace {

// Two points; one puff anchored at the second point, one at a point that
// does not exist; the eight shading values 1..8.
std::string ModelText(int secondAnchor) {
    return "points 2\np 0 0 0\np 1 0 0\npuffs 2\n"
           "pos 1 0 2\nints 3 4\nreal 0.5\nanchor 0\nsizes 3 4\n"
           "pos 0 1 0\nints 0 0\nreal 0\nanchor " +
           std::to_string(secondAnchor) + "\nsizes 1 1\nv 1\nv 2\nv 3\nv 4\nv 5\nv 6\nv 7\nv 8\n";
}

TEST(CloudFileTest, AModelIsScaledTurnedAndBounded) {
    TempGameRoot root;
    for (int anchor : {1, 2, -1}) {
        WriteCloudFile("puffs.cm", ModelText(anchor));
        CloudModel model;
        model.Load("puffs.cm", 2, std::numbers::pi_v<float> / 2);
        ASSERT_EQ(model.puffs.size(), 2u);
        const CloudPuff& puff = model.puffs[0];
        // (1, 0, 2) x 2 turned a quarter about z.
        EXPECT_NEAR(puff.position.x, 0, 1e-5);
        EXPECT_NEAR(puff.position.y, 2, 1e-5);
        EXPECT_NEAR(puff.position.z, 4, 1e-5);
        EXPECT_EQ(puff.keptInts[1], 4);
        EXPECT_EQ(puff.size1, 6);
        EXPECT_EQ(puff.size2, 8);
        // Away from the first point, the origin.
        EXPECT_NEAR(puff.direction.y, 2 / std::sqrt(20.0f), 1e-5);
        // The second puff at (-2, 0, 0) x ... from the point (0, 2, 0), or
        // none from a point out of range.
        const D3DXVECTOR3 second = model.puffs[1].direction;
        if (anchor == 1)
            EXPECT_NEAR(second.x, -std::sqrt(0.5f), 1e-5);
        else
            EXPECT_EQ(second, D3DXVECTOR3(0, 0, 0)) << anchor;
        // r = 10 reaches z 14 (half: 7) and that is the farthest.
        EXPECT_NEAR(model.extents[0], 7, 1e-5);
        EXPECT_NEAR(model.extents[1], 14, 1e-5);
        EXPECT_EQ(model.shadeRange[1], 1);
        EXPECT_EQ(model.shadeRange[0], 2);
        EXPECT_EQ(model.shades[5], 8);
    }
}

TEST(CloudFileTest, ALayerPlacesItsModelsAboutItsOffset) {
    TempGameRoot root;
    WriteCloudFile("puffs.cm", ModelText(0));
    WriteCloudFile("group.cl", LayerText(D3DXVECTOR3(10, 20, 30), {"puffs.cm", "missing.cm"}));
    CloudLayer layer;
    layer.Load("group.cl");
    ASSERT_EQ(layer.models.size(), 2u);
    EXPECT_EQ(layer.models[1].first->position, D3DXVECTOR3(11, 20, 30));
    EXPECT_EQ(layer.models[0].first->puffs.size(), 2u);
    EXPECT_TRUE(layer.models[1].first->puffs.empty());
}

TEST(CloudFileTest, FadesSetEveryModel) {
    TempGameRoot root;
    WriteCloudFile("group.cl", LayerText(D3DXVECTOR3(0, 0, 0), {"a.cm", "b.cm"}));
    struct Case {
        bool fadeIn;
        bool reset;
        float alpha;
        float target;
    };
    for (const Case& test :
         {Case{true, true, 255, 0}, Case{false, true, 0, 255}, Case{false, false, 42, 7}}) {
        CloudLayer layer;
        layer.Load("group.cl");
        for (const auto& [model, kept] : layer.models) {
            model->alpha = 42;
            model->targetAlpha = 7;
        }
        layer.SetFade(test.fadeIn, test.reset);
        EXPECT_EQ(layer.fadingIn, test.fadeIn);
        EXPECT_EQ(layer.fadingOut, !test.fadeIn);
        for (const auto& [model, kept] : layer.models) {
            EXPECT_EQ(model->fadingIn, test.fadeIn);
            EXPECT_EQ(model->fadingOut, !test.fadeIn);
            EXPECT_EQ(model->alpha, test.alpha);
            EXPECT_EQ(model->targetAlpha, test.target);
            EXPECT_TRUE(model->dirty && model->dirty2);
        }
    }
}

TEST(CloudFileTest, ACloudSetReadsFifteenLinesAnEntry) {
    TempGameRoot root;
    WriteCloudFile("weather.set", CloudSetText({WeatherText{.blendTime = 5, .layer = "a.cl", .logged = 1},
                                                WeatherText{.overcast = 1, .probability = 0.25f}}));
    CloudSet set;
    set.Load("weather.set");
    ASSERT_EQ(set.entries.size(), 2u);
    EXPECT_EQ(set.entries[0].blendTime, 5);
    EXPECT_EQ(set.entries[0].layerName, "a.cl");
    EXPECT_EQ(set.entries[0].logged, 1);
    EXPECT_EQ(set.entries[1].overcast, 1);
    EXPECT_EQ(set.entries[1].probability, 0.25f);
    EXPECT_EQ(set.entries[1].meanDuration, 60);
}

} // namespace
