#include "Interface/InterfaceTestSupport.h"
#include "Interface/PLensFlare.h"
#include "Platform/Win32Time.h"
#include "Render/PRenderObject.h"
#include "Render/RenderTestScene.h"
#include "Support/FixedClock.h"
#include "uitool/FlareFileWriter.h"

#include <gtest/gtest.h>

namespace {

// 27 texels of a 512 x 512 texture are 64 pixels of a 1024 x 768 screen.
const std::vector<FlareLine> kFlares = {
    {"flare_a.tga", 50, 1, 1, 0xff123456, 27, 27, 0, 0},
    {"flare_b.tga", 0, 1, 1, 0x80ff0000, 27, 27, 27, 0},
    {"flare_c.tga", 100, 0, 0, 0xffffff00u, 27, 27, 54, 0},
};

class LensFlareTest : public ::testing::Test {
protected:
    LensFlareTest() {
        g_ScreenWidth = 1024;
        g_ScreenHeight = 768;
        for (const char* texture : {"flare_a.tga", "flare_b.tga"})
            RenderTestScene::WritePicture(std::string("Data/Textures/") + texture, Image(2, 2, 0xffffffff));
        TempGameRoot::WriteFile("Data/Interface/lensflare2.int", FlareFileText(kFlares));
        flare.Load("lensflare2", 198);
        flare.SetSunPosition(100, 100);
    }
    // The frame's batches name the page mesh: they go first.
    ~LensFlareTest() override { render.render->GetRenderBlock()->Reset(); }

    RenderTestScene render{PlatGraphicsBackendKind::Recording, 1024, 768};
    CPLensFlare flare;
};

TEST_F(LensFlareTest, LoadMakesOneNamedWindowPerLineWithTheFirstTexture) {
    EXPECT_EQ(flare.GetName(), "Interface");
    EXPECT_FALSE(flare.GetScript());
    ASSERT_EQ(flare.flares.size(), 3u);
    ASSERT_EQ(flare.elements.size(), 3u);
    for (const char* name : {"0", "1", "2"})
        EXPECT_TRUE(flare.FindWindow(name)) << name;
    EXPECT_EQ(flare.FindWindow("1"), flare.elements[1].Get());
    const CPMaterial* material = flare.renderObject->GetMaterial().Get();
    ASSERT_TRUE(material);
    EXPECT_EQ(material->priority, 398);
    EXPECT_EQ(material->effect->name, "lensflare.fx");
    ASSERT_EQ(material->textures->textures.size(), 1u);
    EXPECT_EQ(material->textures->textures[0]->name, "flare_a.tga");

    const FlareElement& first = flare.flares[0];
    EXPECT_EQ(first.width, 64);
    EXPECT_EQ(first.halfHeight, 32);
    const CPWindow& window = *flare.elements[1];
    EXPECT_FLOAT_EQ(window.corners[2].x, 64);
    // Texel 64 of the 1228.8-texel-wide texture the window is made with.
    EXPECT_FLOAT_EQ(window.corners[0].u0, 64 / 1228.8f);
    // A colour above 2^31 keeps its low 32 bits.
    EXPECT_EQ(flare.flares[2].colour, 0xffffff00u);
    // Scale 0: the element exists, with zero texture coordinates and size.
    const CPWindow& flat = *flare.elements[2];
    EXPECT_FLOAT_EQ(flat.corners[2].u0, 0);
    EXPECT_FLOAT_EQ(flat.corners[2].x, 0);
}

TEST_F(LensFlareTest, RenderPlacesElementsOnTheSunLineAndFadesAtOnce) {
    FixedClock clock(5101);
    flare.SetFlareVisible(true);
    flare.Render();
    EXPECT_FLOAT_EQ(flare.alpha, 255);
    // Factor 50 centres the 64 x 64 element on the screen centre; factor 0
    // on the sun; factor 100 on the sun mirrored through the centre.
    EXPECT_FLOAT_EQ(flare.elements[0]->x, 480);
    EXPECT_FLOAT_EQ(flare.elements[0]->y, 352);
    EXPECT_FLOAT_EQ(flare.elements[1]->x, 68);
    EXPECT_FLOAT_EQ(flare.elements[1]->y, 68);
    EXPECT_FLOAT_EQ(flare.elements[2]->x, 924);
    EXPECT_FLOAT_EQ(flare.elements[2]->y, 668);
    const auto& mesh = flare.renderObject->sourceVertices;
    ASSERT_EQ(mesh.size(), 12u);
    EXPECT_FLOAT_EQ(mesh[0].x, 480);
    EXPECT_FLOAT_EQ(mesh[2].x, 544);
    EXPECT_EQ(mesh[0].diffuse, 0xff123456u);
    EXPECT_EQ(mesh[4].diffuse, 0xffff0000u);

    flare.SetFlareVisible(false);
    flare.Render();
    EXPECT_FLOAT_EQ(flare.alpha, 0);
    EXPECT_EQ(flare.renderObject->sourceVertices[0].diffuse, 0x00123456u);
    EXPECT_EQ(flare.elements[2]->colour, 0x00ffff00u);
}

TEST(LensFlareFileTest, AMissingOrEmptyFileGivesNoMaterialAndNoElements) {
    for (const bool written : {false, true}) {
        InterfaceScene scene;
        if (written)
            TempGameRoot::WriteFile("Data/Interface/empty.int", "\n// nothing\n");
        CPLensFlare flare;
        flare.Load("empty", 198);
        EXPECT_TRUE(flare.elements.empty());
        EXPECT_FALSE(flare.renderObject->GetMaterial());
        FixedClock clock(6000);
        flare.SetFlareVisible(true);
        flare.Render();
        EXPECT_TRUE(flare.renderObject->sourceVertices.empty());
    }
}

} // namespace
