#include "Core/ObjectHandle.h"
#include "Game/PGameData.h"
#include "Input/NInput.h"
#include "Interface/InterfaceTestSupport.h"
#include "Interface/PButton.h"
#include "Render/PRenderObject.h"
#include "Render/RenderTestScene.h"
#include "uitool/PageFileWriter.h"

#include <gtest/gtest.h>

namespace {

constexpr float kTolerance = 1e-4f;

struct GeometryCase {
    const char* description;
    int width, height;
    const char* line;
    float x, y, w, h;
    bool visible;
};

// Window lines on a 256 x 256 texture at two screen sizes.
const GeometryCase kGeometry[] = {
    {"panel", 1024, 768, "panel 100,50,200,100,0,0,128,64", 99.5f, 49.5f, 200, 100, true},
    {"panel scaled", 1280, 960, "panel 100,50,200,100,0,0,128,64", 124.5f, 62.0f, 250, 125, true},
    {"stretch as 10th value", 1280, 960, "panel 100,50,200,100,0,0,128,64,true,stretch", 124.5f, 62.0f,
     312.5f, 156.25f, true},
    {"stretch as 9th value", 1280, 960, "panel 100,50,200,100,0,0,128,64,stretch", 124.5f, 62.0f, 250, 125,
     true},
    {"anchor word", 1024, 768, "panel 100,50,200,100,0,0,128,64,true,center", 99.5f, 49.5f, 200, 100, true},
    {"hidden", 1024, 768, "panel 100,50,200,100,0,0,128,64,false", 99.5f, 49.5f, 200, 100, false},
    {"origin", 1024, 768, "panel 0,0,10,10,0,0,128,64", -0.5f, -0.5f, 10, 10, true},
    {"values missing", 1024, 768, "panel 100,50", 99.5f, 49.5f, 0, 0, true},
};

class PageGeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(PageGeometryTest, WindowLineGivesPositionSizeAndTextureRectangle) {
    const GeometryCase& c = GetParam();
    InterfaceScene scene;
    g_ScreenWidth = c.width;
    g_ScreenHeight = c.height;
    scene.WritePage("page",
                    std::string("menu\nmenu.tga,256,256\n_,off,0,0,0,0,0,0\nWINDOW\n") + c.line + "\n");
    CPInterface page;
    page.Load("page", 0);
    EXPECT_EQ(page.GetClassName(), "CPInterface - page");
    CPWindow* window = page.FindWindow("panel");
    ASSERT_TRUE(window);
    EXPECT_NEAR(window->x, c.x, kTolerance);
    EXPECT_NEAR(window->y, c.y, kTolerance);
    EXPECT_NEAR(window->corners[2].x, c.w, kTolerance);
    EXPECT_NEAR(window->corners[2].y, c.h, kTolerance);
    EXPECT_EQ(window->visible, c.visible);
    if (c.w > 0) {
        EXPECT_FLOAT_EQ(window->corners[0].u0, 0);
        EXPECT_FLOAT_EQ(window->corners[2].u0, 0.5f);
        EXPECT_FLOAT_EQ(window->corners[2].v0, 0.25f);
    }
    EXPECT_EQ(page.renderObject->sourceVertices.size(), c.visible ? 4u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Lines, PageGeometryTest, ::testing::ValuesIn(kGeometry), [](const auto& info) {
    std::string name = info.param.description;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
});

// The demo-style page: every element kind, a hidden window, a cursor and a
// keyword with nothing after it.
std::string FullPage(const std::string& lightLine) {
    PageFileWriter page("menu", "menu.tga", 256, 256, lightLine);
    page.Window({"panel", {100, 50, 200, 100, 0, 0, 128, 64}, {}});
    page.Window({"cursor", {0, 0, 32, 32, 224, 0, 32, 32}, {}});
    page.Window({"hidden", {0, 0, 50, 50, 0, 0, 8, 8}, {"false"}});
    page.Button({"ok", {300, 300, 100, 40, 0, 64, 100, 40}, {}},
                {"ok_h", {0, 0, 100, 40, 0, 104, 100, 40}, {}},
                {"ok_p", {0, 0, 100, 40, 0, 144, 100, 40}, {}});
    page.Text("title", "font1", 100, 50, "MENU_TITLE");
    page.TextEdit("name", 0, 0, "font1", 12, "Bob");
    return page.Contents() + "window\n";
}

TEST(PageLoadTest, ElementsCursorTextsAndTheMesh) {
    InterfaceScene scene;
    scene.WriteFonts(FontListLine("font1", 2, 0), {{"font1", FontFileText(TestFontLayout())}});
    SPFontManager fonts;
    fonts.LoadAll();
    TempGameRoot::WriteFile("Data/strings.txt", "MENU_TITLE~ab\n");
    CPGameData data; // the game's text table while it lives
    data.LoadStrings();
    scene.WritePage("menu", FullPage("_,off,0,0,0,0,0,0,smooth"));
    CPInterface page;
    page.Load("menu", 2);
    ASSERT_TRUE(page.GetScript());
    EXPECT_EQ(page.GetScript()->GetName(), "menu");

    // The cursor is a child object, not a window.
    EXPECT_FALSE(page.FindWindow("cursor"));
    ASSERT_TRUE(page.cursor);
    EXPECT_EQ(page.cursors.Find("cursor")->Get(), page.cursor.Get());
    const CPRenderObject* cursorMesh = page.cursor->GetRenderObject();
    ASSERT_TRUE(cursorMesh);
    EXPECT_FLOAT_EQ(cursorMesh->sourceVertices[2].x, 32);
    EXPECT_FLOAT_EQ(cursorMesh->sourceVertices[0].u0, 224.0f / 256);
    ASSERT_EQ(page.cursor->partBoxes.size(), 1u);

    // panel, hidden, ok, and the empty window the trailing keyword made.
    ASSERT_EQ(page.elements.size(), 4u);
    EXPECT_EQ(page.elements[3]->name, "");
    ASSERT_EQ(page.focusList.size(), 1u);
    auto* ok = dynamic_cast<CPButton*>(page.FindWindow("ok"));
    ASSERT_TRUE(ok);
    EXPECT_FLOAT_EQ(ok->x, 299.5f);
    EXPECT_FLOAT_EQ(ok->GetVertices()[0].v0, 0.25f);
    // The hidden window takes no room in the mesh: panel, ok, empty window.
    ASSERT_EQ(page.renderObject->sourceVertices.size(), 12u);
    EXPECT_FLOAT_EQ(page.renderObject->sourceVertices[4].x, 299.5f);
    EXPECT_EQ(page.renderObject->indices[6], 4);

    // Texts and edit boxes sit half a pixel the other way from windows.
    const PageText* title = page.texts.Find("title");
    ASSERT_TRUE(title);
    EXPECT_FLOAT_EQ(title->x, 100.5f);
    EXPECT_EQ(title->text, "");
    EXPECT_EQ(title->textObject->GetRenderObject()->sourceVertices.size(), 8u);
    const PageText* name = page.texts.Find("name");
    ASSERT_TRUE(name);
    EXPECT_FLOAT_EQ(name->x, 0.5f);
    EXPECT_FLOAT_EQ(name->y, 0.5f);
    const CPRefPtr<CPEditBox>* box = page.editBoxes.Find("name");
    ASSERT_TRUE(box);
    EXPECT_EQ((*box)->text, "Bob");
    EXPECT_EQ((*box)->maxLength, 12);
    // "Bob_": four quads.
    EXPECT_EQ(name->textObject->GetRenderObject()->sourceVertices.size(), 16u);
    EXPECT_EQ(page.children.size(), 3u);

    page.SetPageText("title", "abc");
    EXPECT_EQ(page.texts.Find("title")->text, "abc");
    EXPECT_EQ(title->textObject->GetRenderObject()->sourceVertices.size(), 12u);
    page.SetPageText("nothing", "abc");
    EXPECT_FALSE(page.texts.Find("nothing"));
}

TEST(PageLoadTest, LightAndEffectWords) {
    struct Case {
        const char* line;
        bool lightOn;
    };
    for (const Case& c : {Case{"_,on,0,0,1,1,0.5,0.25", true}, Case{"_,ON,0,0,1,1,1,1", false},
                          Case{"_,on,0,0,0,1,1,1", false}, Case{"_,off,0,0,1,1,1,1", false}}) {
        InterfaceScene scene;
        scene.WritePage("lit", std::string("menu\nmenu.tga,256,256\n") + c.line + "\n");
        CPInterface page;
        page.Load("lit", 0);
        EXPECT_EQ(page.lightOn, c.lightOn) << c.line;
        if (c.lightOn) {
            EXPECT_EQ(page.light.Type, D3DLIGHT_DIRECTIONAL);
            EXPECT_FLOAT_EQ(page.light.Direction.z, 1);
            EXPECT_FLOAT_EQ(page.light.Diffuse.g, 0.5f);
            EXPECT_FLOAT_EQ(page.light.Specular.b, 0.25f);
            EXPECT_FLOAT_EQ(page.light.Range, 10000);
        }
    }
}

TEST(PageLoadTest, ALitPageQueuesItsLightEachDrawUpToThirty) {
    RenderTestScene render(PlatGraphicsBackendKind::Recording, 64, 64);
    TempGameRoot::WriteFile("Data/Interface/lit1024.int", "menu\nmenu.tga,256,256\n_,on,0,0,1,1,1,1\n");
    CPInterface page;
    page.Load("lit", 0);
    for (int frame = 0; frame < 31; ++frame)
        page.Render();
    EXPECT_EQ(render.render->lightCount, 30);
    EXPECT_EQ(render.render->lights[29].Type, D3DLIGHT_DIRECTIONAL);
    render.render->GetRenderBlock()->Reset();
}

TEST(PageLoadTest, ATextureOfNoSizeCountsAsOne) {
    InterfaceScene scene;
    scene.WritePage("flat", "menu\nmenu.tga,0,abc\n_\nwindow\nw 0,0,10,10,2,3,4,5\n");
    CPInterface page;
    page.Load("flat", 0);
    const CPWindow* window = page.FindWindow("w");
    ASSERT_TRUE(window);
    EXPECT_FLOAT_EQ(window->corners[2].u0, 6);
    EXPECT_FLOAT_EQ(window->corners[2].v0, 8);
}

TEST(PageLoadTest, AMissingFileGivesAnEmptyPage) {
    InterfaceScene scene;
    CPInterface page;
    page.Load("absent", 0);
    EXPECT_EQ(page.GetName(), "absent");
    EXPECT_FALSE(page.GetScript());
    EXPECT_FALSE(page.renderObject->GetMaterial());
    EXPECT_TRUE(page.elements.empty());
    EXPECT_TRUE(page.renderObject->sourceVertices.empty());
}

TEST(PageLoadTest, WindowCallsIgnoreUnknownNamesAndTheCursorFollowsThePointer) {
    InterfaceScene scene;
    scene.WritePage("menu", FullPage("_,off"));
    CPInterface page;
    page.Load("menu", 0);
    float x = 7;
    float y = 8;
    page.GetWindowPosition("none", x, y);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
    page.SetWindowPosition("panel", 10, 20);
    page.GetWindowPosition("panel", x, y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
    page.ShowWindow("panel", false);
    page.ShowWindow("none", false);
    EXPECT_EQ(page.renderObject->sourceVertices.size(), 12u);
    page.UpdateBuffers();
    EXPECT_EQ(page.renderObject->sourceVertices.size(), 8u);

    // Before any pointer move the cursor goes to (0, 0).
    page.SetCursor("cursor");
    EXPECT_TRUE(page.cursor->visible);
    EXPECT_FLOAT_EQ(page.cursor->GetPosition().x, 0);
    page.ActivateQuiet(450);
    BroadcastMouseMove(40, 30);
    EXPECT_FLOAT_EQ(page.cursor->GetWorldMatrix()._41, 40);
    CPGameObject* shown = page.cursor.Get();
    page.SetCursor("other");
    EXPECT_FALSE(shown->visible);
    EXPECT_FALSE(page.cursor);
    EXPECT_EQ(page.cursorName, "other");
}

TEST(PageLoadTest, ActivateReplaysThePointerToEveryPage) {
    InterfaceScene scene;
    CNInput input; // where the pointer is, while it lives
    input.mouseX = 512.7f;
    input.mouseY = 384;
    scene.WritePage("menu", FullPage("_,off"));
    CPInterface page;
    page.Load("menu", 0);
    page.Activate(450);
    EXPECT_TRUE(page.pageActive);
    // The pointer first, then the page's script hears of its object.
    const std::vector<std::string> log = scene.TakeLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "interface:mouse_move(0.50,0.50)");
    EXPECT_TRUE(log[1].starts_with("menu:add_object(")) << log[1];
    EXPECT_FLOAT_EQ(page.pointerX, 512);
    page.Deactivate();
    EXPECT_FALSE(page.pageActive);
}

TEST(PageLoadTest, PagesListThemselvesWhileTheyLive) {
    const std::size_t before = g_InterfacePages.size();
    {
        CPInterface first;
        auto second = std::make_unique<CPInterface>();
        ASSERT_EQ(g_InterfacePages.size(), before + 2);
        EXPECT_EQ(g_InterfacePages.back(), second.get());
        second.reset();
        EXPECT_EQ(g_InterfacePages.back(), &first);
    }
    EXPECT_EQ(g_InterfacePages.size(), before);
}

} // namespace
