#include "Interface/InterfaceTestSupport.h"
#include "Interface/PButton.h"
#include "Render/PRenderObject.h"
#include "uitool/PageFileWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

// A button whose normal, hovered and pressed images sit at texel rows 0, 64
// and 128 of a 256 x 256 texture, so the mesh shows which one is drawn.
void AddButton(PageFileWriter& page, const std::string& name, float x, float y) {
    page.Button({name, {x, y, 100, 50, 0, 0, 100, 50}, {}},
                {name + "_h", {0, 0, 100, 50, 0, 64, 100, 50}, {}},
                {name + "_p", {0, 0, 100, 50, 0, 128, 100, 50}, {}});
}

// Buttons A, B, C in a column, a plain window "panel", a button D drawn over
// part of A, and a cursor.
std::string MenuPage() {
    PageFileWriter page("menu", "menu.tga", 256, 256, "_,off");
    AddButton(page, "A", 100, 100);
    AddButton(page, "B", 100, 200);
    AddButton(page, "C", 100, 300);
    page.Window({"panel", {400, 100, 200, 100, 0, 192, 64, 64}, {}});
    AddButton(page, "D", 150, 110);
    page.Window({"cursor", {0, 0, 32, 32, 224, 0, 32, 32}, {}});
    return page.Contents();
}

// One button and no cursor: the pointer hovers nothing here.
std::string SecondPage() {
    PageFileWriter page("second", "menu.tga", 256, 256, "_,off");
    AddButton(page, "E", 700, 600);
    return page.Contents();
}

// The mesh holds the visible elements in file order, each button with the
// image of its state.
void ExpectMeshMatches(const CPInterface& page) {
    std::vector<float> expected;
    for (const CPRefPtr<CPWindow>& element : page.elements) {
        if (element->visible)
            expected.push_back(element->GetVertices()[0].v0);
    }
    std::vector<float> drawn;
    for (std::size_t k = 0; k < page.renderObject->sourceVertices.size(); k += 4)
        drawn.push_back(page.renderObject->sourceVertices[k].v0);
    EXPECT_EQ(drawn, expected);
}

struct Step {
    const char* what;
    std::function<void()> action;
    std::vector<std::string> log;
    std::map<std::string, int> states;
};

class NavigationTest : public ::testing::Test {
protected:
    NavigationTest() {
        scene.WritePage("menu", MenuPage());
        scene.WritePage("second", SecondPage());
        menu.Load("menu", 0);
        second.Load("second", 0);
        menu.ActivateQuiet(450);
        second.ActivateQuiet(450);
        scene.TakeLog();
    }

    int State(const std::string& name) {
        CPWindow* window = menu.FindWindow(name);
        if (!window)
            window = second.FindWindow(name);
        return static_cast<CPButton*>(window)->state;
    }

    InterfaceScene scene;
    CPInterface menu;
    CPInterface second;
};

std::string Over(const std::string& name) {
    return "interface:mouse_button_over(" + name + ")";
}
std::string Out(const std::string& name) {
    return "interface:mouse_button_out(" + name + ")";
}
std::string Move(const std::string& fractions) {
    return "interface:mouse_move(" + fractions + ")";
}

TEST_F(NavigationTest, HoverClicksEnterAndMenuKeysAcrossTwoPages) {
    const auto moveTo = [](float x, float y) { return [=] { BroadcastMouseMove(x, y); }; };
    const std::vector<Step> steps = {
        {"move between buttons", moveTo(110, 160), {Move("0.11,0.21")}, {{"A", 0}, {"D", 0}}},
        {"move onto A", moveTo(110, 120), {Move("0.11,0.16"), Over("A")}, {{"A", 1}}},
        {"move inside A", moveTo(115, 125), {Move("0.11,0.16"), Over("A")}, {{"A", 1}}},
        {"move onto D over A", moveTo(161, 121), {Move("0.16,0.16"), Over("D")}, {{"A", 1}, {"D", 1}}},
        {"press D", [] { BroadcastMouseDown(0, 161, 121); }, {}, {{"D", 2}}},
        {"release on D", [] { BroadcastMouseUp(0, 161, 121); }, {"menu:button(D)"}, {{"D", 1}}},
        {"press D, release outside",
         [] {
             BroadcastMouseDown(0, 161, 121);
             BroadcastMouseUp(0, 500, 500);
         },
         {},
         {{"D", 0}}},
        {"Enter on D",
         [] {
             BroadcastEnterPress();
             BroadcastEnterRelease();
         },
         {"menu:button(D)"},
         {{"D", 1}}},
        {"hide B, lock C, menu right",
         [this] {
             menu.ShowWindow("B", false);
             menu.LockButton("C");
             BroadcastMenuRight();
         },
         {Over("E"), Out("D"), Over("A")},
         {{"A", 1}, {"D", 0}, {"E", 1}}},
        {"menu right past B and C",
         [] { BroadcastMenuRight(); },
         {Over("E"), Over("D")},
         {{"A", 1}, {"D", 1}}},
        {"menu left past C and B",
         [] { BroadcastMenuLeft(); },
         {Over("E"), Out("D"), Over("A")},
         {{"A", 1}, {"D", 0}}},
        {"move onto the panel",
         moveTo(450, 150),
         {Move("0.44,0.20"), Out("A"), "interface:mouse_window_over(panel)"},
         {{"A", 0}, {"E", 1}}},
        {"mouse 1 and 2 on the panel",
         [] {
             for (const int button : {1, 2}) {
                 BroadcastMouseDown(button, 450, 150);
                 BroadcastMouseUp(button, 450, 150);
             }
         },
         {"menu:window(panel,450.00,150.00)", "menu:window(panel,450.00,150.00)"},
         {{"E", 1}}},
        {"Enter reaches E only",
         [] {
             BroadcastEnterPress();
             BroadcastEnterRelease();
         },
         {"second:button(E)"},
         {{"E", 1}}},
        {"back onto A",
         moveTo(110, 120),
         {Move("0.11,0.16"), "interface:mouse_window_out(panel)", Over("A")},
         {{"A", 1}}},
        {"lock the hovered A", [this] { menu.LockButton("A"); }, {Out("A")}, {{"A", 0}}},
        {"a locked button is not hovered", moveTo(115, 125), {Move("0.11,0.16")}, {{"A", 0}}},
        {"arrow keys, newest page first",
         [] {
             BroadcastKeyUp();
             BroadcastKeyDown();
             BroadcastKeyLeft();
             BroadcastKeyRight();
         },
         {"second:menu_down()", "menu:menu_down()", "second:menu_up()", "menu:menu_up()",
          "second:menu_left()", "menu:menu_left()", "second:menu_right()", "menu:menu_right()"},
         {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.action();
        EXPECT_EQ(scene.TakeLog(), step.log);
        for (const auto& [name, state] : step.states)
            EXPECT_EQ(State(name), state) << name;
        ExpectMeshMatches(menu);
        ExpectMeshMatches(second);
    }
    EXPECT_FALSE(menu.FindWindow("A")->enabled);
    menu.UnlockButton("A");
    EXPECT_TRUE(menu.FindWindow("A")->enabled);
}

TEST_F(NavigationTest, InactivePagesIgnoreThePointerAndKeysButKeepTheirFocus) {
    BroadcastMouseMove(161, 121);
    scene.TakeLog();
    menu.Deactivate();
    second.Deactivate();
    scene.TakeLog();
    BroadcastMouseMove(110, 160);
    BroadcastMenuRight();
    BroadcastKeyLeft();
    BroadcastEnterPress();
    EXPECT_EQ(scene.TakeLog(), std::vector<std::string>{Move("0.11,0.21")});
    EXPECT_EQ(State("D"), 1);
    // The mouse buttons still reach the control the page holds.
    BroadcastMouseDown(0, 161, 121);
    BroadcastMouseUp(0, 161, 121);
    EXPECT_EQ(scene.TakeLog(), std::vector<std::string>{"menu:button(D)"});
}

TEST_F(NavigationTest, MenuRightWithNothingFocusedProbesTheFirstUsableButton) {
    // The first button is unusable: the next one is probed two pixels right
    // of its corner.
    menu.LockButton("A");
    second.Deactivate();
    scene.TakeLog();
    BroadcastMenuRight();
    EXPECT_EQ(scene.TakeLog(), std::vector<std::string>{Over("B")});
    menu.ShowWindow("B", false);
    menu.ShowWindow("C", false);
    menu.ShowWindow("D", false);
    menu.focused = nullptr;
    // Nothing usable: nothing happens.
    BroadcastMenuRight();
    BroadcastMenuLeft();
    EXPECT_TRUE(scene.TakeLog().empty());
}

} // namespace
