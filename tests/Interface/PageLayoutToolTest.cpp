#include "Interface/InterfaceTestSupport.h"
#include "Interface/PButton.h"
#include "Interface/PLensFlare.h"
#include "uitool/FlareLayout.h"
#include "uitool/PageLayout.h"

#include <gtest/gtest.h>

namespace {

// The atlas texel at the middle of the element's texture rectangle.
uint32_t TexelUnder(const Image& atlas, const CPWindow& window) {
    const auto& corners = window.GetVertices();
    const float u = (corners[0].u0 + corners[2].u0) / 2;
    const float v = (corners[0].v0 + corners[2].v0) / 2;
    return const_cast<Image&>(atlas).At(static_cast<int>(u * static_cast<float>(atlas.width)),
                                        static_cast<int>(v * static_cast<float>(atlas.height)));
}

const char* const kLayout = R"(# a test page
script menu
texture atlas.tga 128 128
light _,off,0,0,0,0,0,0,smooth
window bg 0 0 1024 768 ff102030
window hidden 10 10 20 20 ff405060 false
cursor 16 16 ffffffff
button go 100 100 60 20 ff0000a0 ff00a000 ffa00000 Go
button stop 100 200 60 20 ff0000a0 ff00a000 ffa00000 Go
text title menu 10 10 title
textedit name 10 40 menu 8 Bob
)";

// The page file and the atlas come from one layout: what the engine reads
// from the page points at the pictures drawn for it.
TEST(PageLayoutToolTest, PageTexelsPointAtThePicturesDrawnForThem) {
    InterfaceScene scene;
    BuiltPage built;
    std::string error;
    const LabelPainter noLabels;
    ASSERT_TRUE(BuildPage(kLayout, noLabels, built, error)) << error;
    EXPECT_EQ(built.textureName, "atlas.tga");
    scene.WritePage("built", built.pageText);
    CPInterface page;
    page.Load("built", 0);
    ASSERT_EQ(page.elements.size(), 4u);
    EXPECT_EQ(TexelUnder(*built.atlas, *page.FindWindow("bg")), 0xff102030u);
    EXPECT_FALSE(page.FindWindow("hidden")->visible);
    EXPECT_EQ(TexelUnder(*built.atlas, *page.FindWindow("hidden")), 0xff405060u);
    ASSERT_TRUE(page.cursor);
    auto* go = static_cast<CPButton*>(page.FindWindow("go"));
    const uint32_t colours[3] = {0xff0000a0u, 0xff00a000u, 0xffa00000u};
    for (int state = 0; state < 3; ++state) {
        go->state = state;
        EXPECT_EQ(TexelUnder(*built.atlas, *go), colours[state]) << state;
    }
    // Two buttons of one look share their pictures.
    EXPECT_FLOAT_EQ(page.FindWindow("stop")->GetVertices()[0].u0, go->images[0]->GetVertices()[0].u0);
    EXPECT_FLOAT_EQ(page.FindWindow("stop")->y, 199.5f);
    EXPECT_TRUE(page.texts.Find("title"));
    EXPECT_EQ((*page.editBoxes.Find("name"))->text, "Bob");
}

// A page on a texture filled at run time: no atlas, and the window's texture
// coordinates cover the texels given, here a 320 x 240 video frame in the
// corner of its 512 x 256 texture.
TEST(PageLayoutToolTest, LiveTexturePageShowsTheGivenTexels) {
    InterfaceScene scene;
    BuiltPage built;
    std::string error;
    ASSERT_TRUE(
        BuildPage("livetexture video 512 256\ntexels screen 0 0 1024 768 0 0 320 240\n", {}, built, error))
        << error;
    EXPECT_EQ(built.textureName, "video");
    EXPECT_FALSE(built.atlas);
    scene.WritePage("live", built.pageText);
    CPInterface page;
    page.Load("live", 0);
    const auto& corners = page.FindWindow("screen")->GetVertices();
    EXPECT_FLOAT_EQ(corners[0].u0, 0);
    EXPECT_FLOAT_EQ(corners[0].v0, 0);
    EXPECT_FLOAT_EQ(corners[2].u0, 320.0f / 512);
    EXPECT_FLOAT_EQ(corners[2].v0, 240.0f / 256);
}

// A weapon icon is a plate with its pictogram drawn over it in the ink
// colour: the gun's barrel and the rocket's nose in ink, the plate around
// them, and a hidden "_off" icon of its own look.
TEST(PageLayoutToolTest, IconsDrawTheirPictogramOnThePlate) {
    InterfaceScene scene;
    BuiltPage built;
    std::string error;
    ASSERT_TRUE(BuildPage("texture hud.tga 256 256\n"
                          "icon lgun 20 680 64 64 ff2a3a50 ffffffff gun\n"
                          "icon lgun_off 20 680 64 64 ff202020 ff808080 gun false\n"
                          "icon rocket 94 680 64 64 ff2a3a50 ffffe080 rocket\n",
                          {}, built, error))
        << error;
    scene.WritePage("icons", built.pageText);
    CPInterface page;
    page.Load("icons", 0);
    ASSERT_EQ(page.elements.size(), 3u);
    EXPECT_FALSE(page.FindWindow("lgun_off")->visible);
    Image& atlas = *built.atlas;
    // The texel at a fraction of an icon's texture rectangle.
    const auto at = [&](const char* name, float u, float v) {
        const auto& corners = page.FindWindow(name)->GetVertices();
        const float x = corners[0].u0 + (corners[2].u0 - corners[0].u0) * u;
        const float y = corners[0].v0 + (corners[2].v0 - corners[0].v0) * v;
        return atlas.At(static_cast<int>(x * static_cast<float>(atlas.width)),
                        static_cast<int>(y * static_cast<float>(atlas.height)));
    };
    EXPECT_EQ(at("lgun", 0.75f, 0.43f), 0xffffffffu) << "the barrel";
    EXPECT_EQ(at("lgun", 0.5f, 0.2f), 0xff2a3a50u) << "the plate above it";
    EXPECT_EQ(at("lgun_off", 0.75f, 0.43f), 0xff808080u);
    EXPECT_EQ(at("rocket", 0.8f, 0.5f), 0xffffe080u) << "the nose";
    EXPECT_EQ(at("rocket", 0.8f, 0.3f), 0xff2a3a50u);
}

TEST(PageLayoutToolTest, LayoutErrorsNameTheLine) {
    const struct {
        const char* layout;
        const char* message;
    } cases[] = {
        {"script menu\nwindow bg 0 0 1 1 ff000000\n",
         "line 2: the texture line must come before the elements"},
        {"texture a.tga 64 64\nwindow bg 0 0 1 1 notacolour\n", "line 2: cannot use"},
        {"texture a.tga 64 64\nbutton b 0 0 100 20 ff000000 ff000000\n", "line 2: cannot use"},
        {"texture a.tga 0 64\n", "line 1: cannot use"},
        {"texture a.tga 64 64\nbutton b 0 0 60 60 ff000000 ff111111 ff222222 B\n", "line 2: cannot use"},
        {"texture a.tga 64 64\nsprite x\n", "line 2: cannot use"},
        {"script menu\n", "the layout has no texture line"},
        {"livetexture video 512 256\nwindow bg 0 0 1 1 ff000000\n", "line 2: cannot use"},
        {"livetexture video 512 256\ntexels t 0 0 1 1 0 0 8\n", "line 2: cannot use"},
        {"texture a.tga 64 64\nicon i 0 0 32 32 ff000000 ffffffff star\n", "line 2: cannot use"},
        {"texture a.tga 64 64\nicon i 0 0 32 32 ff000000 gun\n", "line 2: cannot use"},
        {"texture a.tga 64 64\nicon i 0 0 32 32 ff000000 ffffffff plate\n", "line 2: cannot use"},
    };
    for (const auto& c : cases) {
        BuiltPage built;
        std::string error;
        EXPECT_FALSE(BuildPage(c.layout, {}, built, error)) << c.layout;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
    }
}

TEST(PageLayoutToolTest, FlareLinesPointAtTheirShapes) {
    BuiltFlare built;
    std::string error;
    ASSERT_TRUE(BuildFlare(
        "texture flare.tga\nelement glow 64 0 1 ffffe0b0\nelement ring 32 50 0.5 80ffffff\n", built, error))
        << error;
    EXPECT_EQ(built.flareText, "flare.tga\t0\t1\t1\t4294959280\t64\t64\t0\t0\n"
                               "flare.tga\t50\t0.5\t0.5\t2164260863\t32\t32\t66\t0\n");
    // A white glow, brightest in the middle of its square.
    EXPECT_EQ(built.texture.At(32, 32) & 0x00ffffffu, 0x00ffffffu);
    EXPECT_GT(built.texture.At(32, 32) >> 24, built.texture.At(48, 32) >> 24);
    EXPECT_EQ(built.texture.At(0, 0) >> 24, 0u);
    for (const char* bad : {"element glow 64 0 1 ffffffff\n", "texture f.tga\nelement star 8 0 1 ff\n",
                            "texture f.tga\nelement glow 600 0 1 ffffffff\n"}) {
        EXPECT_FALSE(BuildFlare(bad, built, error)) << bad;
        EXPECT_EQ(error.rfind("line ", 0), 0u);
    }
}

} // namespace
