#include "LuaRunner.h"

#include "Core/AppState.h"
#include "Core/LiveObjects.h"
#include "Game/PGameData.h"
#include "Interface/InterfaceTestSupport.h"
#include "Interface/PButton.h"
#include "Render/PRenderObject.h"
#include "Script/PLuaScript.h"
#include "uitool/PageFileWriter.h"

#include <gtest/gtest.h>

namespace {

// A page of the "menu" script: a panel, a button, two cursors, a text in
// font1 and an edit box of eight characters; font2 is wider than font1.
std::string MenuPage() {
    PageFileWriter page("menu", "menu.tga", 256, 256, "_,off,0,0,0,0,0,0");
    page.Window({"panel", {100, 50, 200, 100, 0, 0, 128, 64}, {}});
    page.Window({"cursor", {0, 0, 32, 32, 224, 0, 32, 32}, {}});
    page.Window({"cursor_wait", {0, 0, 32, 32, 192, 0, 32, 32}, {}});
    page.Button({"ok", {300, 300, 100, 40, 0, 64, 100, 40}, {}},
                {"ok_h", {0, 0, 100, 40, 0, 104, 100, 40}, {}},
                {"ok_p", {0, 0, 100, 40, 0, 144, 100, 40}, {}});
    page.Text("title", "font1", 100, 50, "TITLE");
    page.TextEdit("name", 10, 20, "font1", 8, "");
    return page.Contents();
}

FontFileLayout WideFontLayout() {
    FontFileLayout layout = TestFontLayout();
    for (FontCell& cell : layout.cells)
        cell.advance = 20;
    return layout;
}

// The menu page made by CreateInterface as `page`, with both fonts loaded;
// `script` is a script handle (not a page) and `gone` a page deleted since.
class InterfaceFunctionsTest : public ::testing::Test, public LuaRunner {
protected:
    // testing::Test has a Run of its own.
    using LuaRunner::Run;

    void SetUp() override {
        scene.WriteFonts(
            FontListLine("font1", 2, 0) + FontListLine("font2", 2, 0),
            {{"font1", FontFileText(TestFontLayout())}, {"font2", FontFileText(WideFontLayout())}});
        fonts.LoadAll();
        scene.WritePage("menu", MenuPage());
        ASSERT_EQ(Run("page = CreateInterface('menu', 0)"), "");
        lua_getglobal(L, "page");
        page = static_cast<CPInterface*>(lua_touserdata(L, -1));
        lua_pop(L, 1);
        ASSERT_TRUE(FindLiveObject(page));
        SetHandle("script", &scene.scripts["menu"]);
        auto deleted = std::make_unique<CPInterface>();
        SetHandle("gone", deleted.get());
    }

    // The quads of an element's mesh; -1 after ClearMesh until it is rebuilt.
    int Quads(const CPRefPtr<CPGameObject>& textObject) const {
        const CPRenderObject* mesh = textObject->GetRenderObject();
        return mesh->sourceVertices.empty() ? -1 : static_cast<int>(mesh->sourceVertices.size() / 4);
    }
    static void ClearMesh(const CPRefPtr<CPGameObject>& textObject) {
        textObject->GetRenderObject()->sourceVertices.clear();
    }
    CPEditBox& Box() { return *page->editBoxes.Find("name")->Get(); }

    InterfaceScene scene;
    SPFontManager fonts;
    CPInterface* page = nullptr;
};

struct KeyCase {
    const char* before;
    int code;
    const char* after;
    bool rebuilt;
};

TEST_F(InterfaceFunctionsTest, EditBoxTypingFollowsTheCodePage) {
    const KeyCase cases[] = {
        {"", 'a', "A", true},
        {"A", '7', "A7", true},
        {"A", ' ', "A ", true},
        {"AB", 8, "A", true},
        {"", 8, "", true},
        {"", 233, "\xC9", true},  // é gives É
        {"", 0xFF, "\xFF", true}, // ÿ has no capital
        {"ABCDEFGH", 'x', "ABCDEFGH", true},
        {"ABCDEFGH", '5', "ABCDEFGH", true},
        {"ABCDEFGH", ' ', "ABCDEFGH", true},
        {"ABCDEFGH", 8, "ABCDEFG", true},
        {"A", '!', "A", true},
        {"A", 168, "A", false},
        {"A", 184, "A", false},
        {"A", 321, "A", false}, // beyond the code page, though its low byte is 'A'
        {"A", -191, "A", false},
    };
    for (const KeyCase& c : cases) {
        ASSERT_EQ(Run(std::string("SetEditBoxText(page, 'name', '") + c.before + "')"), "");
        ClearMesh(Box().textObject);
        ASSERT_EQ(Run("EditBoxProcessKey(page, 'name', " + std::to_string(c.code) + ")"), "");
        EXPECT_EQ(Box().text, c.after) << c.before << " + " << c.code;
        const int shown = static_cast<int>(std::string(c.after).size()) + 1; // and the "_"
        EXPECT_EQ(Quads(Box().textObject), c.rebuilt ? shown : -1) << c.before << " + " << c.code;
    }
    EXPECT_EQ(Values("GetEditBoxText(page, 'name'), EditBoxTextLength(page, 'name')"), "A,1");
}

TEST_F(InterfaceFunctionsTest, EditBoxTextIsCutToTheBoxAndMissingBoxesReadEmpty) {
    EXPECT_EQ(Run("SetEditBoxText(page, 'name', 'abcdefghijk')"), "");
    EXPECT_EQ(Box().text, "abcdefgh");
    EXPECT_EQ(Quads(Box().textObject), 9);
    EXPECT_EQ(Values("GetEditBoxText(page, 'none'), EditBoxTextLength(page, 'none')"), ",0");
    EXPECT_EQ(Values("GetEditBoxText(nil, 'name')"), "");
    EXPECT_EQ(Values("EditBoxTextLength(script, 'name')"), "");
}

TEST_F(InterfaceFunctionsTest, WindowsMoveResizeAndReportTheirPlace) {
    CPWindow& panel = *page->FindWindow("panel");
    EXPECT_EQ(Values("GetWindowPosition(page, 'panel')"), "99.5,49.5");
    EXPECT_EQ(Run("SetWindowPosition(page, 'panel', 10, 20)"), "");
    EXPECT_EQ(Values("GetWindowPosition(page, 'panel')"), "10,20");
    EXPECT_EQ(Run("SetWindowPositionShop(page, 'panel', 10, 20)"), "");
    EXPECT_EQ(Values("GetWindowPosition(page, 'panel')"), "9.5,19.5");
    const float u2 = panel.corners[2].u0;
    EXPECT_EQ(Run("SetWindowSize(page, 'panel', 30, 40)"), "");
    EXPECT_FLOAT_EQ(panel.corners[1].x, 30);
    EXPECT_FLOAT_EQ(panel.corners[2].y, 40);
    EXPECT_FLOAT_EQ(panel.corners[3].x, 0);
    EXPECT_FLOAT_EQ(panel.corners[2].u0, u2) << "texture coordinates stay";
    EXPECT_EQ(Run("SetWindowVisible(page, 'panel', false)"), "");
    EXPECT_FALSE(panel.visible);

    for (const char* missing : {"GetWindowPosition(page, 'none')", "GetWindowPosition(nil, 'panel')",
                                "GetWindowPosition(gone, 'panel')", "GetWindowPosition(script, 'panel')",
                                "GetTextPosition(page, 'none')", "GetTextPosition(nil, 'title')"})
        EXPECT_EQ(Values(missing), "-1,-1") << missing;
    // Setters on missing windows, and pages that are not pages, do nothing.
    EXPECT_EQ(Run("SetWindowPosition(page, 'none', 1, 1) SetWindowPositionShop(nil, 'panel', 1, 1)"
                  "SetWindowSize(script, 'panel', 1, 1) SetWindowVisible(gone, 'panel', true)"),
              "");
    EXPECT_EQ(Values("GetWindowPosition(page, 'panel')"), "9.5,19.5");
}

TEST_F(InterfaceFunctionsTest, CursorNeedsANameAndMayNameNoCursorObject) {
    EXPECT_EQ(Run("SetCursor(page, 'cursor')"), "");
    CPGameObject* arrow = page->cursor.Get();
    ASSERT_TRUE(arrow);
    EXPECT_TRUE(arrow->visible);
    EXPECT_EQ(Run("SetCursor(page, 'nothing')"), "");
    EXPECT_FALSE(arrow->visible) << "the old cursor is hidden";
    EXPECT_FALSE(page->cursor);
    EXPECT_EQ(Values("GetCursor(page)"), "nothing");
    EXPECT_NE(Run("SetCursor(page)"), "") << "the name is required";
    EXPECT_EQ(Values("GetCursor(nil)"), "") << "no page, no name";
    EXPECT_EQ(Values("GetCursor(script)"), "");
}

TEST_F(InterfaceFunctionsTest, TextsKeepTheirFontAndStopWhenTheGameEnds) {
    PageText& title = *page->texts.Find("title");
    const auto secondQuadX = [&] { return title.textObject->GetRenderObject()->sourceVertices[4].x; };
    EXPECT_EQ(Run("SetText(page, 'title', 'ab')"), "");
    EXPECT_EQ(title.text, "ab");
    const float narrow = secondQuadX();
    EXPECT_EQ(Run("SetFont(page, 'title', 'font2', 'ab')"), "");
    const float wide = secondQuadX();
    EXPECT_GT(wide, narrow);
    EXPECT_EQ(title.font, "font1") << "SetFont stores nothing";
    EXPECT_EQ(title.text, "ab");
    EXPECT_EQ(Run("SetText(page, 'title', 'ab')"), "");
    EXPECT_FLOAT_EQ(secondQuadX(), narrow) << "SetText builds in the stored font";

    ASSERT_EQ(g_GameData, nullptr);
    EXPECT_EQ(Run("SetTextString(page, 'title', 'KEY')"), "");
    EXPECT_EQ(title.text, "") << "no game data: every key reads empty";

    EXPECT_EQ(Run("SetTextPosition(page, 'title', 5, 6)"), "");
    EXPECT_EQ(Values("GetTextPosition(page, 'title')"), "5,6");

    g_AppExiting = true;
    EXPECT_EQ(Run("SetText(page, 'title', 'late') SetTextString(page, 'title', 'KEY')"), "");
    g_AppExiting = false;
    EXPECT_EQ(title.text, "");
}

TEST_F(InterfaceFunctionsTest, ActivationFocusAndDeselection) {
    EXPECT_EQ(Run("ActivateInterface(page)"), "");
    EXPECT_TRUE(page->pageActive);
    EXPECT_EQ(Run("IMenuRight()"), "");
    ASSERT_TRUE(page->focused);
    EXPECT_EQ(page->focused->name, "ok");
    EXPECT_EQ(Run("DeselectCurrentButton(page)"), "");
    EXPECT_FALSE(page->focused);
    EXPECT_EQ(Run("IMenuLeft() DeactivateInterface(page)"), "");
    EXPECT_FALSE(page->pageActive);
    EXPECT_EQ(Run("SilentActivateInterface(page) UpdateInterfaceBuffers(page)"), "");
    EXPECT_TRUE(page->pageActive);
    EXPECT_EQ(Run("DeactivateInterface(script) ActivateInterface(gone) DeselectCurrentButton(nil)"), "");
}

TEST(InterfacePagesOfScripts, ThePageLivesUntilTheScriptManagerGoes) {
    auto scene = std::make_unique<InterfaceScene>();
    LuaRunner lua;
    ASSERT_EQ(lua.Run("page = CreateInterface('missing', 3)"), "");
    lua_getglobal(lua.L, "page");
    const void* handle = lua_touserdata(lua.L, -1);
    ASSERT_TRUE(FindLiveObject(handle)) << "a handle even without a page file";
    EXPECT_EQ(lua.Run("ActivateInterface(page)"), "");
    scene.reset();
    EXPECT_FALSE(FindLiveObject(handle)) << "the script manager deleted its page";
    EXPECT_EQ(lua.Run("ActivateInterface(page) SetText(page, 'x', 'y')"), "");
}

} // namespace
