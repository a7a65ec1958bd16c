#include "Interface/InterfaceTestSupport.h"
#include "Interface/PLensFlare.h"
#include "Render/PRenderObject.h"
#include "uitool/FlareFileWriter.h"
#include "uitool/PageFileWriter.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string SamplePage() {
    PageFileWriter page("menu", "menu.tga", 256, 256, "_,on,0,0,1,1,1,1,smooth");
    page.Window({"panel", {100, 50, 200, 100, 0, 0, 128, 64}, {"true", "stretch"}});
    page.Window({"cursor", {0, 0, 32, 32, 224, 0, 32, 32}, {}});
    page.Button({"ok", {300, 300, 100, 40, 0, 64, 100, 40}, {}},
                {"ok_h", {0, 0, 100, 40, 0, 104, 100, 40}, {}},
                {"ok_p", {0, 0, 100, 40, 0, 144, 100, 40}, {}});
    page.Text("title", "font1", 100, 50, "MENU_TITLE");
    page.TextEdit("name", 300, 400, "font1", 12, "Bob");
    return page.Contents();
}

std::string SampleFlare() {
    return FlareFileText(
        {{"a.tga", 50, 1, 1, 0xff102030, 27, 27, 0, 0}, {"b.tga", 100, 0, 2, 4294967295u, 9, 9, 1, 1}});
}

// Every prefix of the text that ends at a line break, and the whole text.
std::vector<std::string> LineCuts(const std::string& text) {
    std::vector<std::string> cuts = {""};
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n')
            cuts.push_back(text.substr(0, i));
    cuts.push_back(text);
    return cuts;
}

std::vector<std::string> RandomTexts(unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::string> texts;
    for (int n = 0; n < 150; ++n) {
        std::string text(random() % 300, '\0');
        for (char& c : text)
            c = static_cast<char>(random() % 4 == 0 ? "\t\n,  ^"[random() % 6] : random() % 256);
        texts.push_back(text);
    }
    return texts;
}

// Loads the page, moves the pointer over it and presses every key: nothing
// may read outside what it was given.
void ExerciseFiles(InterfaceScene& scene, const std::string& pageText, const std::string& fontText,
                   const std::string& flareText) {
    scene.WritePage("page", pageText);
    scene.WriteFonts("font1\n", {{"font1", fontText}});
    TempGameRoot::WriteFile("Data/Interface/flare.int", flareText);
    SPFontManager fonts;
    fonts.LoadAll();
    CPInterface page;
    page.Load("page", 0);
    page.ActivateQuiet(450);
    for (const float x : {0.0f, 310.0f, 350.0f})
        BroadcastMouseMove(x, x);
    BroadcastMenuRight();
    BroadcastEnterPress();
    BroadcastEnterRelease();
    page.SetPageText("title", "x^y\xE9");
    CPLensFlare flare;
    flare.Load("flare", 198);
    flare.SetFlareVisible(true);
    flare.Render();
    EXPECT_EQ(page.renderObject->sourceVertices.size(), page.renderObject->vertices.size());
    EXPECT_EQ(flare.elements.size(), flare.flares.size());
}

TEST(InterfaceFileRobustnessTest, FilesCutAtEveryLine) {
    InterfaceScene scene;
    const std::string page = SamplePage();
    const std::string font = FontFileText(TestFontLayout());
    const std::string flare = SampleFlare();
    for (const std::string& cut : LineCuts(page))
        ExerciseFiles(scene, cut, font, flare);
    for (const std::string& cut : LineCuts(font))
        ExerciseFiles(scene, page, cut, flare);
    for (const std::string& cut : LineCuts(flare))
        ExerciseFiles(scene, page, font, cut);
    scene.TakeLog();
}

TEST(InterfaceFileRobustnessTest, RandomBytes) {
    InterfaceScene scene;
    const std::vector<std::string> texts = RandomTexts(7);
    for (const std::string& text : texts)
        ExerciseFiles(scene, text, text, text);
    // Random bytes after a valid header reach the element and glyph readers.
    const std::string header = "menu\nmenu.tga,256,256\n_,off\nbutton\n";
    const std::string fontHeader = "width\t256\nheight\t256\nx\t16\ny\t16\n";
    for (const std::string& text : texts)
        ExerciseFiles(scene, header + text, fontHeader + text, text);
    scene.TakeLog();
}

} // namespace
