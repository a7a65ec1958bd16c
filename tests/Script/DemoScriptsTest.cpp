#include "ScriptFixture.h"

#include "Core/ObjectHandle.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Game/PGameData.h"
#include "Game/PLevel.h"
#include "Game/PMeshManager.h"
#include "Input/KeyNames.h"
#include "Input/NInput.h"
#include "Interface/InterfaceTestSupport.h"
#include "Platform/Win32Messages.h"
#include "Render/PAVIPlayer.h"
#include "Render/RenderTestScene.h"
#include "uitool/PageFileWriter.h"

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A task that ends the kernel loop after a number of passes, should
// nothing else end it first.
class PassLimit : public CPTask {
public:
    explicit PassLimit(int limit) : remaining(limit) { priority = 1000000; }
    void Update() override {
        ++passes;
        if (--remaining == 0)
            PostQuitMessage(0);
    }
    int GetCategory() const override { return TASK_SYSTEM; }
    size_t GetSize() const override { return sizeof(PassLimit); }
    std::string GetClassName() const override { return "PassLimit"; }

    int remaining;
    int passes = 0;
};

// A page of the script made only of the named texts, with a font to draw
// them, as the race pages' scripts fill it.
struct TextPage {
    TextPage(const char* script, const std::string& name, std::initializer_list<const char*> texts) {
        InterfaceScene::WriteFonts(FontListLine("font1", 2, 0), {{"font1", FontFileText(TestFontLayout())}});
        fonts.LoadAll();
        PageFileWriter writer(script, name + ".tga", 128, 128, "_,off,0,0,0,0,0,0");
        for (const char* text : texts)
            writer.Text(text, "font1", 0, 0, "");
        InterfaceScene::WritePage(name, writer.Contents());
        page.Load(name, 0);
    }
    std::string Text(const char* name) const { return page.texts.Find(name)->text; }

    InterfaceScene scene;
    SPFontManager fonts;
    CPInterface page;
};

class DemoScriptsTest : public ScriptFixture {
protected:
    void SetUp() override {
        ScriptFixture::SetUp();
        PlatResetMessageQueue();
        std::filesystem::create_directories("Data");
        std::filesystem::copy(KV_DEMO_SCRIPTS, "Data/Scripts");
        manager = std::make_unique<CPScriptManager>();
        ASSERT_TRUE(manager->LoadScripts());
    }
    void TearDown() override {
        PlatResetMessageQueue();
        ScriptFixture::TearDown();
    }

    // The log without the lines naming the interface pages, which this game
    // folder leaves out.
    std::string LogBesidesPages() const {
        std::istringstream lines(log);
        std::string kept;
        for (std::string line; std::getline(lines, line);) {
            if (!line.starts_with("Interface "))
                kept += line + "\n";
        }
        return kept;
    }
};

// The main script keeps running frame after frame, ignores what it does not
// handle, and ends the game when Escape is released.
TEST_F(DemoScriptsTest, MainRunsEachFrameAndEndsTheGameOnEscape) {
    CPRefPtr<CPLuaScript> main = manager->GetScript("main");
    ASSERT_TRUE(main);
    main->priority = PRIORITY_MAIN_SCRIPT;
    CPTaskManager kernel;
    PassLimit limit(10);
    ASSERT_TRUE(kernel.AddTask(main));
    ASSERT_TRUE(kernel.AddTask(&limit));
    manager->SendCommandByCategory("action_listener", "standart_action", "escape,1");
    manager->SendCommandByName("main", "any_key", "");
    kernel.Run();
    EXPECT_EQ(limit.passes, 10) << "a pressed Escape does not end the game";
    EXPECT_EQ(LogBesidesPages(), "");

    PassLimit guard(10);
    ASSERT_TRUE(kernel.AddTask(main));
    ASSERT_TRUE(kernel.AddTask(&guard));
    manager->SendCommandByCategory("action_listener", "standart_action", "escape,0");
    kernel.Run();
    EXPECT_EQ(guard.passes, 0) << "killed in the pass in which main read the command";
    EXPECT_FALSE(main->running);
    EXPECT_EQ(LogBesidesPages(), "");
}

// Without its level the race cannot start: the main script goes back to the
// menu, where a second start tries the level again.
TEST_F(DemoScriptsTest, ARaceWhoseLevelCannotLoadLeadsBackToTheMenu) {
    CPRefPtr<CPLuaScript> main = manager->GetScript("main");
    ASSERT_TRUE(main);
    main->priority = PRIORITY_MAIN_SCRIPT;
    CPTaskManager kernel;
    for (int start = 0; start < 2; ++start) {
        PassLimit limit(5);
        ASSERT_TRUE(kernel.AddTask(main));
        ASSERT_TRUE(kernel.AddTask(&limit));
        manager->SendCommandByName("main", "start_race", "");
        kernel.Run();
        EXPECT_EQ(limit.passes, 5);
    }
    EXPECT_EQ(g_Level, nullptr);
    std::size_t failures = 0;
    for (std::size_t at = log.find("level1 could not be loaded"); at != std::string::npos;
         at = log.find("level1 could not be loaded", at + 1))
        ++failures;
    EXPECT_EQ(failures, 2u) << log;
    EXPECT_EQ(log.find("Script Error"), std::string::npos) << log;
}

// On a renderer that records instead of drawing, the main script's first
// frame loads the demo car, places it and submits its parts; the renderer's
// frame then draws them.
TEST_F(DemoScriptsTest, MainLoadsAndShowsTheDemoCar) {
    RenderTestScene scene(PlatGraphicsBackendKind::Recording, 64, 48);
    ASSERT_TRUE(scene.started);
    scene.render->Update();
    const std::size_t emptyFrameDraws = scene.Recording().GetDraws().size();
    CopyDemoModels();
    CPMeshManager meshes;
    g_WeightDiv = 1;
    log.clear();
    CPLuaScript& main = Script("main");
    ASSERT_TRUE(main.Start());
    main.Update();
    EXPECT_FALSE(main.IsFinished());
    EXPECT_EQ(LogBesidesPages(), "");

    // The body, four wheels and the two unlit lights, the car's shadow, the
    // torch's handle (its flame needs the particle manager, which this test
    // leaves out) and the backdrop.
    std::vector<std::string> parts;
    const CPGameObject* body = nullptr;
    for (const auto& batch : scene.render->GetRenderBlock()->frameBatches)
        for (const auto& object : batch.second->objects) {
            const auto* mesh = dynamic_cast<const CPRenderObject*>(object);
            ASSERT_NE(mesh, nullptr);
            const auto* part = dynamic_cast<const CPGameObject*>(mesh->owner);
            ASSERT_NE(part, nullptr);
            parts.push_back(part->GetName());
            if (part->GetName() == "body")
                body = part;
        }
    std::sort(parts.begin(), parts.end());
    EXPECT_EQ(parts, (std::vector<std::string>{"backdrop", "backlights", "body", "shadow", "stoplights",
                                               "torch", "w0", "w1", "w2", "w3"}));
    ASSERT_NE(body, nullptr);
    EXPECT_FLOAT_EQ(body->worldMatrix._41, 9.0f) << "pushed into the screen";
    ASSERT_NE(body->description.RootElement(), nullptr) << "the car description is loaded";
    EXPECT_STREQ(body->description.RootElement()->Value(), "car");

    scene.Recording().ClearCalls();
    scene.render->Update();
    EXPECT_EQ(scene.Recording().GetDraws().size(), emptyFrameDraws + parts.size());
    // The car goes with the scripts, while the renderer still stands.
    manager.reset();
    g_WeightDiv = 0;
}

// The options page's script: a binding button waits for the next key, and
// the key assigned replaces the binding in Actions.cfg and in the input's
// tables at once; the volume buttons step by a tenth.
TEST_F(DemoScriptsTest, OptionsAssignAKeyAndStepTheVolume) {
    TempGameRoot::WriteFile("Actions.cfg", "up;Accelerate;Up;false\r\ndown;Reverse;Down;false\r\n");
    CNInput input;
    ASSERT_EQ(input.LoadActions("Actions.cfg"), 0);
    g_SoundVolume = 0.5f;
    CPLuaScript& options = Script("options");
    ASSERT_TRUE(options.Start());
    const auto send = [&](const char* command, const char* params) {
        manager->SendCommandByName("options", command, params);
        options.Update();
    };
    send("button", "bind1");
    EXPECT_FALSE(input.assignMode) << "not shown: the buttons do nothing";
    send("add_object", "0");
    send("button", "bind2");
    EXPECT_TRUE(input.assignMode);
    send("key_assign", "W,false");
    EXPECT_EQ(TempGameRoot::ReadFile("Actions.cfg"), "up;Accelerate;Up;false\r\ndown;Reverse;W;false\r\n");
    EXPECT_EQ(input.keyBindings[static_cast<std::size_t>(FindKeyName("W"))].text, "down");
    send("button", "snd_plus");
    EXPECT_FLOAT_EQ(g_SoundVolume, 0.6f);
    send("button", "snd_minus");
    send("button", "snd_minus");
    EXPECT_FLOAT_EQ(g_SoundVolume, 0.4f);
    EXPECT_FALSE(options.IsFinished());
    EXPECT_EQ(LogBesidesPages(), "");
    g_SoundVolume = 0.5f;
}

// The page objects the renderer's main block holds for this frame.
std::vector<const CPInterface*> SubmittedPages(CPRender& render) {
    std::vector<const CPInterface*> pages;
    for (const auto& batch : render.GetRenderBlock()->frameBatches)
        for (const auto* object : batch.second->objects)
            if (const auto* mesh = dynamic_cast<const CPRenderObject*>(object))
                if (const auto* page = dynamic_cast<const CPInterface*>(mesh->owner))
                    pages.push_back(page);
    return pages;
}

// With an intro video and its page the main script plays the video first
// and draws the page, which has no script of its own, each frame; a key
// skips it, stops the player and takes the page off the screen.
TEST_F(DemoScriptsTest, MainPlaysTheIntroWhenTheGameHasOneAndAKeySkipsIt) {
    RenderTestScene scene(PlatGraphicsBackendKind::Recording, 64, 48);
    ASSERT_TRUE(scene.started);
    TempGameRoot::WriteFile("Data/Video/intro.avi", "not decodable here");
    PageFileWriter intro("none", "video", 512, 256, "_,off,0,0,0,0,0,0");
    intro.Window({"screen", {0, 0, 1024, 768, 0, 0, 320, 240}, {}});
    TempGameRoot::WriteFile("Data/Interface/intro1024.int", intro.Contents());
    CPAVIPlayer player;
    CPTaskManager kernel;
    g_AVIPlayer = &player;
    CPLuaScript& main = Script("main");
    ASSERT_TRUE(main.Start());
    for (int frame = 0; frame < 3; ++frame) {
        main.Update();
        const std::vector<const CPInterface*> pages = SubmittedPages(*scene.render);
        ASSERT_EQ(pages.size(), 1u) << "frame " << frame;
        EXPECT_EQ(pages[0]->GetName(), "intro");
        scene.render->Update();
    }
    EXPECT_TRUE(kernel.IsActive(&player));
    EXPECT_TRUE(player.scriptFlag);
    EXPECT_TRUE(player.running);
    manager->SendCommandByName("main", "any_key", "");
    main.Update();
    EXPECT_FALSE(player.running) << "skipped";
    EXPECT_TRUE(SubmittedPages(*scene.render).empty());
    EXPECT_FALSE(main.IsFinished());
    g_AVIPlayer = nullptr;
    // The pages go with the scripts, while the renderer still stands.
    manager.reset();
}

// The race messages' page: the countdown steps stay until the next one,
// "GO!" (in a text of its own, centred for it) replaces them and leaves
// after a second, and a message after two, each on its own clock.
TEST_F(DemoScriptsTest, RaceMessagesClearGoAndMessagesOnTheirOwnClocks) {
    TextPage messagePage("game_interface", "racemsg", {"message", "countdown", "go", "bonus"});
    CPInterface& page = messagePage.page;
    CPLuaScript& messages = Script("game_interface");
    ASSERT_TRUE(messages.Start());
    const float savedFrameTime = g_FrameTime;
    const auto frame = [&](float seconds) {
        g_FrameTime = seconds;
        messages.Update();
    };
    const auto text = [&](const char* name) { return messagePage.Text(name); };
    manager->SendCommandByName("game_interface", "add_object", PointerToString(&page));
    manager->SendCommandByName("game_interface", "countdown", "1");
    frame(0.9f);
    frame(0.9f);
    EXPECT_EQ(text("countdown"), "1") << "a step waits for the next";
    manager->SendCommandByName("game_interface", "countdown", "go");
    manager->SendCommandByName("game_interface", "place", "2nd");
    frame(0.6f);
    EXPECT_EQ(text("countdown"), "");
    EXPECT_EQ(text("go"), "GO!");
    EXPECT_EQ(text("message"), "2nd");
    frame(0.6f);
    EXPECT_EQ(text("go"), "") << "GO! stayed past its second";
    EXPECT_EQ(text("message"), "2nd");
    frame(0.9f);
    EXPECT_EQ(text("message"), "");
    EXPECT_FALSE(messages.IsFinished());
    EXPECT_EQ(LogBesidesPages(), "");
    g_FrameTime = savedFrameTime;
}

// The race display: the place the main script sends and the life the car's
// script sends keep their labels, the life survives the engine's rewrite
// after a shot, and a new race starts at full life with no place.
TEST_F(DemoScriptsTest, DisplayShowsThePlaceAndTheLifeItIsSent) {
    TextPage hud("gamemenu", "hud", {"place", "life", "lap", "laptime"});
    CPGameData data;
    data.roundCount = 2;
    data.lapTimes[0] = 75.5f;
    CPLuaScript& display = Script("gamemenu");
    ASSERT_TRUE(display.Start());
    const auto send = [&](const char* command, const char* params) {
        manager->SendCommandByName("gamemenu", command, params);
        display.Update();
    };
    const auto text = [&](const char* name) { return hud.Text(name); };
    send("add_object", PointerToString(&hud.page).c_str());
    send("init_game_interface", "");
    EXPECT_EQ(text("life"), "100%");
    EXPECT_EQ(text("lap"), "Lap 1/2");
    EXPECT_EQ(text("laptime"), "Lap time 01:15:50");
    send("hud_place", "3/4");
    send("hud_life", "51");
    send("update_game_interface", "");
    EXPECT_EQ(text("place"), "Place 3/4");
    EXPECT_EQ(text("life"), "51%");
    send("init_game_interface", "");
    EXPECT_EQ(text("place"), "");
    EXPECT_EQ(text("life"), "100%");
    EXPECT_FALSE(display.IsFinished());
    EXPECT_EQ(LogBesidesPages(), "");
}

// The place on the display: the first of a race shows at once; later ones
// show only once they have held for half a second, so that two cars side by
// side swapping places frame by frame leave the display steady.
TEST_F(DemoScriptsTest, DisplayShowsANewPlaceOnceItHolds) {
    TextPage hud("gamemenu", "hud", {"place"});
    CPGameData data;
    CPLuaScript& display = Script("gamemenu");
    ASSERT_TRUE(display.Start());
    const float savedFrameTime = g_FrameTime;
    const auto frame = [&](float seconds, const char* place = nullptr) {
        if (place)
            manager->SendCommandByName("gamemenu", "hud_place", place);
        g_FrameTime = seconds;
        display.Update();
        return hud.Text("place");
    };
    manager->SendCommandByName("gamemenu", "add_object", PointerToString(&hud.page));
    manager->SendCommandByName("gamemenu", "init_game_interface", "");
    EXPECT_EQ(frame(0.1f, "2/4"), "Place 2/4");
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(frame(0.1f, i % 2 == 0 ? "1/4" : "2/4"), "Place 2/4") << "flickering, frame " << i;
    EXPECT_EQ(frame(0.2f, "1/4"), "Place 2/4");
    EXPECT_EQ(frame(0.2f), "Place 2/4");
    EXPECT_EQ(frame(0.2f), "Place 1/4") << "held for 0.6 s";
    manager->SendCommandByName("gamemenu", "init_game_interface", "");
    EXPECT_EQ(frame(0.1f, "4/4"), "Place 4/4") << "a new race shows its first place at once";
    EXPECT_FALSE(display.IsFinished());
    EXPECT_EQ(log, "");
    g_FrameTime = savedFrameTime;
}

} // namespace
