#include "Interface/InterfaceTestSupport.h"
#include "Render/PRenderObject.h"
#include "Render/RenderTestScene.h"
#include "uitool/GlyphOutline.h"

#include <gtest/gtest.h>

namespace {

struct Quad {
    float left, top, right, bottom;
};

Quad QuadAt(const CPRenderObject& mesh, std::size_t index) {
    const MeshVertex& first = mesh.sourceVertices[4 * index];
    const MeshVertex& third = mesh.sourceVertices[4 * index + 2];
    return {first.x, first.y, third.x, third.y};
}

class FontTest : public ::testing::Test {
protected:
    FontTest() {
        scene.WriteFonts(FontListLine("font1", 2, 0), {{"font1", FontFileText(TestFontLayout())}});
        fonts.LoadAll();
        text->SetVisual(new CPRenderObject(text.get()), VISUAL_MESH);
    }

    const CPRenderObject& Build(const std::string& characters, float x, float y,
                                const std::string& font = "font1") {
        return *fonts.BuildText(text.get(), x, y, font, characters);
    }

    InterfaceScene scene;
    SPFontManager fonts;
    std::unique_ptr<CPGameObject> text = std::make_unique<CPGameObject>("text");
};

TEST_F(FontTest, GlyphTableFollowsTheCellGrid) {
    const SPFont* font = fonts.FindFont("font1");
    ASSERT_TRUE(font);
    const GlyphRect& a = font->glyphs['A'];
    EXPECT_FLOAT_EQ(a.left, 0.0625f);
    EXPECT_FLOAT_EQ(a.top, 0.125f);
    EXPECT_FLOAT_EQ(a.right, 0.109375f);
    EXPECT_FLOAT_EQ(a.bottom, 0.1875f);
    EXPECT_FLOAT_EQ(font->widths['A'], 12);
    EXPECT_FLOAT_EQ(font->cellHeight, 16);
    // "space" is the blank, in the first cell.
    EXPECT_FLOAT_EQ(font->widths[' '], 10);
    EXPECT_FLOAT_EQ(font->glyphs[' '].left, 0);
    // A byte above 127 indexes its own glyph: 0xE9 is cell 0x89, row 8, column 9.
    EXPECT_FLOAT_EQ(font->glyphs[0xE9].left, 9 * 0.0625f);
    EXPECT_FLOAT_EQ(font->glyphs[0xE9].top, 8 * 0.0625f);
    // The code 0x81 lost its cell to 'A'.
    EXPECT_FLOAT_EQ(font->widths[0x81], 0);
}

TEST_F(FontTest, TextQuadsAdvanceByTheGlyphWidthLessTwo) {
    const CPRenderObject& one = Build("AA", 100, 50);
    ASSERT_EQ(one.sourceVertices.size(), 8u);
    const Quad first = QuadAt(one, 0);
    EXPECT_FLOAT_EQ(first.left, 100);
    EXPECT_FLOAT_EQ(first.top, 50);
    EXPECT_FLOAT_EQ(first.right, 112);
    EXPECT_FLOAT_EQ(first.bottom, 66);
    EXPECT_FLOAT_EQ(QuadAt(one, 1).left, 110);
    EXPECT_FLOAT_EQ(one.sourceVertices[1].u0, 0.109375f);
    EXPECT_EQ(one.indices, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    EXPECT_EQ(one.vertices.size(), one.sourceVertices.size());

    const CPRenderObject& lines = Build("ab^cd", 10, 20);
    ASSERT_EQ(lines.sourceVertices.size(), 16u);
    EXPECT_FLOAT_EQ(QuadAt(lines, 2).left, 10);
    EXPECT_FLOAT_EQ(QuadAt(lines, 2).top, 36);
    EXPECT_FLOAT_EQ(QuadAt(lines, 3).left, 18);

    // '0' has no cell: a quad of no width, full height, and the pen moves back.
    const CPRenderObject& absent = Build("0A", 100, 50);
    EXPECT_FLOAT_EQ(QuadAt(absent, 0).right, 100);
    EXPECT_FLOAT_EQ(QuadAt(absent, 0).bottom, 66);
    EXPECT_FLOAT_EQ(QuadAt(absent, 1).left, 98);
}

TEST_F(FontTest, TextScalesWithTheScreen) {
    g_ScreenWidth = 1280;
    g_ScreenHeight = 960;
    const Quad quad = QuadAt(Build("A", 100, 50), 0);
    EXPECT_FLOAT_EQ(quad.right, 115);
    EXPECT_FLOAT_EQ(quad.bottom, 70);
}

TEST_F(FontTest, UnknownFontEmptiesTheMeshAndANonMeshIsLeftAlone) {
    Build("AA", 0, 0);
    EXPECT_TRUE(Build("AA", 0, 0, "nofont").sourceVertices.empty());
    CPGameObject bare("text");
    EXPECT_EQ(fonts.BuildText(&bare, 0, 0, "font1", "A"), nullptr);
}

// The list and the header decide which fonts exist.
TEST(FontListTest, HeadersOutOfOrderOrNotPositiveDropTheFont) {
    InterfaceScene scene;
    const std::string cells = "A\t10\n";
    const std::map<std::string, std::string> files = {
        {"good", "width\t256\nheight\t256\nx\t16\ny\t16\n" + cells},
        {"swapped", "height\t256\nwidth\t256\nx\t16\ny\t16\n" + cells},
        {"zero", "width\t0\nheight\t256\nx\t16\ny\t16\n" + cells},
        {"negative", "width\t256\nheight\t256\nx\t16\ny\t-4\n" + cells},
        {"short", "width\t256\nheight\t256\n"},
        {"headeronly", "width\t256\nheight\t256\nx\t16\ny\t16\n"},
    };
    std::string list;
    for (const auto& [name, text] : files)
        list += FontListLine(name, 2, 0);
    list += "missing\n";
    scene.WriteFonts(list, files);
    SPFontManager fonts;
    fonts.LoadAll();
    for (const char* kept : {"good", "headeronly"})
        EXPECT_TRUE(fonts.FindFont(kept)) << kept;
    for (const char* dropped : {"swapped", "zero", "negative", "short", "missing"})
        EXPECT_FALSE(fonts.FindFont(dropped)) << dropped;
    EXPECT_FLOAT_EQ(fonts.FindFont("good")->widths['A'], 12);
}

TEST(FontListTest, ANameOnlyLineGivesSpacingTwoAndTheFirstFontPriority) {
    RenderTestScene render(PlatGraphicsBackendKind::Recording, 64, 64);
    RenderTestScene::WritePicture("Data/Textures/plain.tga", Image(2, 2, 0xffffffff));
    InterfaceScene::WriteFonts("plain\nspaced\t0\t10\n", {{"plain", FontFileText(TestFontLayout())},
                                                          {"spaced", FontFileText(TestFontLayout())}});
    SPFontManager fonts;
    fonts.LoadAll();
    ASSERT_TRUE(fonts.FindFont("plain") && fonts.FindFont("spaced"));
    EXPECT_FLOAT_EQ(fonts.FindFont("plain")->widths['A'], 12);
    EXPECT_FLOAT_EQ(fonts.FindFont("spaced")->widths['A'], 10);
    const CPMaterial* material = fonts.FindFont("plain")->material.Get();
    ASSERT_TRUE(material);
    EXPECT_EQ(material->priority, 201);
    EXPECT_EQ(material->effect->name, "interface.fx");
    EXPECT_EQ(material->textures->textures.at(0)->name, "plain.tga");
    EXPECT_EQ(fonts.FindFont("spaced")->material->priority, 211);
}

TEST(FontListTest, AMissingListLoadsNothing) {
    InterfaceScene scene;
    SPFontManager fonts;
    fonts.LoadAll();
    EXPECT_FALSE(fonts.FindFont("font1"));
    EXPECT_EQ(GetFontManager(), &fonts);
}

} // namespace

// A line of the font fits a cell with a texel to spare each side; larger
// fonts get larger cells, and the texture grows with them.
TEST(FontAtlasLayoutTest, CellsHoldAWholeLineOfTheFont) {
    struct Case {
        int lineHeight, cell, width, height;
    };
    for (const Case& c : {Case{10, 32, 512, 256}, Case{25, 32, 512, 256}, Case{30, 32, 512, 256},
                          Case{31, 64, 1024, 512}, Case{56, 64, 1024, 512}, Case{75, 128, 2048, 1024}}) {
        const FontFileLayout layout = FontAtlasLayout(c.lineHeight);
        EXPECT_EQ(layout.cellWidth, c.cell) << c.lineHeight;
        EXPECT_EQ(layout.cellHeight, c.cell) << c.lineHeight;
        EXPECT_EQ(layout.textureWidth, c.width) << c.lineHeight;
        EXPECT_EQ(layout.textureHeight, c.height) << c.lineHeight;
        EXPECT_GE(layout.textureHeight * (layout.textureWidth / c.cell),
                  (kFontLastCode - kFontFirstCode + 1) * c.cell)
            << c.lineHeight;
    }
}

// The outline rims a glyph's texels with opaque black out to its radius
// (a disc, not a square), keeps the glyph white on top, and reads and
// writes nothing outside its box.
TEST(GlyphOutlineTest, RimsTheGlyphsOfTheBoxInBlack) {
    Image atlas(16, 16, 0);
    atlas.At(8, 8) = 0xffffffff;
    atlas.At(3, 4) = 0xffffffff;
    OutlineGlyphs(atlas, 4, 4, 8, 8, 2);
    struct Case {
        int x, y;
        uint32_t pixel;
    };
    for (const Case& c :
         {Case{8, 8, 0xffffffff}, Case{10, 8, 0xff000000}, Case{8, 6, 0xff000000}, Case{9, 9, 0xff000000},
          Case{10, 10, 0}, Case{11, 8, 0}, Case{4, 4, 0}, Case{3, 4, 0xffffffff}, Case{3, 8, 0}})
        EXPECT_EQ(atlas.At(c.x, c.y), c.pixel) << c.x << "," << c.y;

    // A half-covered edge texel keeps its share of white over the rim.
    Image edge(4, 1, 0);
    edge.At(1, 0) = 0x80ffffff;
    OutlineGlyphs(edge, 0, 0, 4, 1, 1);
    EXPECT_EQ(edge.At(0, 0), 0x80000000u);
    const uint32_t middle = edge.At(1, 0);
    EXPECT_GT(middle >> 24, 0x80u);
    EXPECT_GT(middle & 0xff, 0x80u);
    EXPECT_LT(middle & 0xff, 0xffu);
}
