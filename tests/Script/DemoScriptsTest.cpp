#include "ScriptFixture.h"

#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Game/PMeshManager.h"
#include "Platform/Win32Messages.h"
#include "Render/RenderTestScene.h"

#include <algorithm>
#include <filesystem>
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
    EXPECT_EQ(log, "");

    PassLimit guard(10);
    ASSERT_TRUE(kernel.AddTask(main));
    ASSERT_TRUE(kernel.AddTask(&guard));
    manager->SendCommandByCategory("action_listener", "standart_action", "escape,0");
    kernel.Run();
    EXPECT_EQ(guard.passes, 0) << "killed in the pass in which main read the command";
    EXPECT_FALSE(main->running);
    EXPECT_EQ(log, "");
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
    EXPECT_EQ(log, "");

    // The body, four wheels and the two unlit lights, and the torch's handle
    // (its flame needs the particle manager, which this test leaves out).
    std::vector<std::string> parts;
    const CPGameObject* body = nullptr;
    for (const auto& batch : scene.render->GetRenderBlock()->frameBatches)
        for (const auto& object : batch.second->objects) {
            const auto* mesh = dynamic_cast<const CPRenderObject*>(object.Get());
            ASSERT_NE(mesh, nullptr);
            const auto* part = dynamic_cast<const CPGameObject*>(mesh->owner);
            ASSERT_NE(part, nullptr);
            parts.push_back(part->GetName());
            if (part->GetName() == "body")
                body = part;
        }
    std::sort(parts.begin(), parts.end());
    EXPECT_EQ(parts, (std::vector<std::string>{"backlights", "body", "stoplights", "torch", "w0", "w1", "w2",
                                               "w3"}));
    ASSERT_NE(body, nullptr);
    EXPECT_FLOAT_EQ(body->worldMatrix._43, 2.4f) << "pushed into the screen";
    ASSERT_NE(body->description.RootElement(), nullptr) << "the car description is loaded";
    EXPECT_STREQ(body->description.RootElement()->Value(), "car");

    scene.Recording().ClearCalls();
    scene.render->Update();
    EXPECT_EQ(scene.Recording().GetDraws().size(), emptyFrameDraws + parts.size());
    // The car goes with the scripts, while the renderer still stands.
    manager.reset();
    g_WeightDiv = 0;
}

} // namespace
