#include "Core/ObjectHandle.h"
#include "Core/PGlobalTimer.h"
#include "Core/PTaskManager.h"
#include "Game/GameObjectServices.h"
#include "Physics/PPhysicData.h"
#include "Render/PPartAnimation.h"
#include "Render/PRenderObject.h"

#include "Support/GameTestSupport.h"
#include "Support/TempGameRoot.h"
#include "Support/TestScripts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace {

// A task that is no script and cannot be cloned.
class PlainTask : public CPTask {
public:
    void Update() override {}
    int GetCategory() const override { return TASK_LEVEL; }
    size_t GetSize() const override { return sizeof(PlainTask); }
    std::string GetClassName() const override { return "PlainTask"; }
};

// A particle-system task that can be cloned.
class FakeParticles : public PlainTask {
public:
    CPRefPtr<CPTask> Clone() const override {
        clones.push_back(std::make_unique<FakeParticles>());
        return clones.back().get();
    }

    static std::vector<std::unique_ptr<FakeParticles>> clones;
};
std::vector<std::unique_ptr<FakeParticles>> FakeParticles::clones;

class GameObjectLife : public testing::Test {
protected:
    // Objects first (they release their tasks), then the kernel's lists,
    // then the tasks.
    void TearDown() override {
        tree.Clear();
        kernel.KillAllTasks();
        kernel.Run();
        tasks.clear();
        FakeParticles::clones.clear();
    }

    template <class T, class... Args>
    T& MakeTask(Args&&... args) {
        tasks.push_back(std::make_unique<T>(std::forward<Args>(args)...));
        return static_cast<T&>(*tasks.back());
    }

    int ListedCount(const CPTask* task) const {
        int count = 0;
        for (const auto& listed : kernel.GetActiveTasks())
            count += listed.Get() == task;
        return count;
    }
    std::string Handle(const CPGameObject& object) const { return PointerToString(&object); }

    CPTaskManager kernel;
    std::vector<std::unique_ptr<CPTask>> tasks;
    TestScripts scripts{{"crate_script", "other"}};
    CPLuaScript& script = scripts["crate_script"];
    ObjectTree tree;
};

TEST_F(GameObjectLife, ActivationAnnouncesTheObjectOnceAndDeactivationOnlyWhenActive) {
    CPGameObject& crate = tree.Add("crate");
    crate.SetScript(&script);

    script.Start(); // running, so it would queue a command sent now
    crate.Deactivate();
    EXPECT_TRUE(scripts.Received(script).empty()) << "never activated: no delete_object";
    script.Stop();

    crate.Activate(PRIORITY_OBJECTS);
    crate.Activate(PRIORITY_OBJECTS);
    EXPECT_EQ(scripts.Received(script), (std::vector<std::string>{"add_object(" + Handle(crate) + ")"}));
    EXPECT_EQ(ListedCount(&script), 1);
    EXPECT_EQ(script.priority, PRIORITY_OBJECTS);

    crate.Deactivate();
    crate.Deactivate();
    EXPECT_EQ(scripts.Received(script).back(), "delete_object(" + Handle(crate) + ")");
    EXPECT_EQ(scripts.Received(script).size(), 2u);
    EXPECT_EQ(ListedCount(&script), 1) << "the script task stays in the kernel";
}

TEST_F(GameObjectLife, ActivationReachesTheChildrenAndTheIdleAnimation) {
    CPGameObject& root = tree.Add("root");
    CPGameObject& door = tree.Add("door", &root);
    auto& idle = MakeTask<CPPartAnimation>();
    door.AddAnimation("idle", &idle);

    root.Activate(PRIORITY_INTERFACE);
    EXPECT_TRUE(door.active);
    EXPECT_EQ(ListedCount(&idle), 1);
    EXPECT_EQ(idle.priority, PRIORITY_INTERFACE);

    root.Deactivate();
    EXPECT_FALSE(door.active);
    EXPECT_TRUE(idle.killFlag);
}

TEST_F(GameObjectLife, ANodeTrackPlacesItsObjectUnderTheParent) {
    CPGameObject& root = tree.Add("root");
    CPGameObject& door = tree.Add("door", &root);
    CPGameObject& handle = tree.Add("handle", &door);
    handle.SetPosition(D3DXVECTOR3(0, 1, 0));
    root.SetPosition(D3DXVECTOR3(100, 0, 0));
    root.UpdateHierarchy();
    auto& track = MakeTask<CPPartAnimation>(&door);
    std::vector<D3DXMATRIX> keys(3);
    for (int k = 0; k < 3; ++k)
        D3DXMatrixTranslation(&keys[k], 0, 0, static_cast<float>(2 * k));
    track.SetKeys(keys, {1, 1, 1});
    door.AddAnimation("open", &track);

    g_FrameTime = 0.25f;
    track.Update();
    g_FrameTime = 0;
    // The blended key is the door's transform under the root; the handle
    // follows.
    EXPECT_FLOAT_EQ(door.worldMatrix._43, 0.5f);
    EXPECT_FLOAT_EQ(door.worldMatrix._41, 100.0f);
    EXPECT_FLOAT_EQ(handle.worldMatrix._42, 1.0f);
    EXPECT_FLOAT_EQ(handle.worldMatrix._43, 0.5f);
}

TEST_F(GameObjectLife, ATrackEndingInALongFrameRestsOnItsLastKeyAndThenLetsThePositionBack) {
    CPGameObject& door = tree.Add("door");
    auto& track = MakeTask<CPPartAnimation>(&door);
    std::vector<D3DXMATRIX> keys(3);
    for (int k = 0; k < 3; ++k)
        D3DXMatrixTranslation(&keys[k], static_cast<float>(k), 0, 0);
    track.SetKeys(keys, {1, 1, 1});
    door.AddAnimation("open", &track);
    ASSERT_TRUE(track.Start());

    g_FrameTime = 0.5f;
    track.Update();
    EXPECT_FLOAT_EQ(door.worldMatrix._41, 0.5f);
    door.SetPosition({50, 0, 0});
    door.UpdateHierarchy();
    EXPECT_FLOAT_EQ(door.worldMatrix._41, 0.5f) << "a running track holds the node";

    g_FrameTime = 5;
    track.Update();
    g_FrameTime = 0;
    EXPECT_FALSE(track.running);
    EXPECT_FLOAT_EQ(door.worldMatrix._41, 2.0f) << "the pose stops at the last key";

    door.SetPosition({100, 0, 0});
    door.UpdateHierarchy();
    EXPECT_FLOAT_EQ(door.worldMatrix._41, 100.0f);
    door.SetOrientation({0, 0, 1, 0});
    door.UpdateHierarchy();
    EXPECT_FLOAT_EQ(door.worldMatrix._11, -1.0f);
}

TEST_F(GameObjectLife, DeactivateThenActivateInOnePassListsEachTaskOnce) {
    CPGameObject& crate = tree.Add("crate");
    auto& idle = MakeTask<CPPartAnimation>();
    crate.AddAnimation("idle", &idle);
    crate.SetScript(&script);
    auto* particles = &MakeTask<FakeParticles>();
    crate.SetVisual(particles, VISUAL_PARTICLES);
    CPLuaScript& other = scripts["other"];
    other.priority = PRIORITY_MAIN_SCRIPT;
    kernel.AddTask(&other);

    crate.Activate(PRIORITY_OBJECTS);
    crate.Deactivate();
    crate.Activate(PRIORITY_INTERFACE);
    EXPECT_EQ(ListedCount(&idle), 1);
    EXPECT_EQ(ListedCount(particles), 1);
    EXPECT_EQ(ListedCount(&script), 1);
    EXPECT_FALSE(idle.killFlag || particles->killFlag);
    EXPECT_EQ(idle.priority, PRIORITY_OBJECTS) << "a listed task keeps the priority its place was chosen by";

    // A script already running under another object keeps its priority.
    CPGameObject& second = tree.Add("second");
    second.SetScript(&other);
    second.Activate(PRIORITY_INTERFACE);
    EXPECT_EQ(other.priority, PRIORITY_MAIN_SCRIPT);
    EXPECT_EQ(ListedCount(&other), 1);
}

TEST_F(GameObjectLife, AnInvisibleParticleVisualStaysOutOfTheKernelButIsStopped) {
    CPGameObject& smoke = tree.Add("smoke");
    auto& particles = MakeTask<FakeParticles>();
    particles.running = true; // left running from an earlier use
    smoke.SetVisual(&particles, VISUAL_PARTICLES);
    smoke.SetVisible(false);
    smoke.Activate(PRIORITY_OBJECTS);
    EXPECT_EQ(ListedCount(&particles), 0);
    smoke.Deactivate();
    EXPECT_FALSE(particles.running);
    EXPECT_TRUE(particles.killFlag);
}

TEST_F(GameObjectLife, EventsReachTheScriptAsCommands) {
    script.Start(); // a running script queues the commands sent to it
    CPGameObject& crate = tree.Add("crate");
    crate.TakeDamage({0, 0, 0}, {1, 0, 0}, 3, 0, false);
    crate.OnAnimationEnd();
    EXPECT_TRUE(scripts.Received(script).empty()) << "no script: nothing is sent";

    crate.SetScript(&script);
    crate.TakeDamage({0, 0, 0}, {1, 0, 0}, 3, 0, false);
    crate.TakeDamage({0, 0, 0}, {1, 0, 0}, 12.5f, 0, false);
    crate.TakeDamage({0, 0, 0}, {1, 0, 0}, 7, 0, true);
    crate.OnAnimationEnd();
    EXPECT_EQ(scripts.Received(script), (std::vector<std::string>{"damage(3.00)", "damage(12.50)",
                                                                  "animation_end(" + Handle(crate) + ")"}));
}

TEST_F(GameObjectLife, TheHandleTextIsTheFullAddressAndReadsBack) {
    // An address above 4 GiB keeps all its digits.
    const auto high = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(0x7f12345678abULL));
    EXPECT_EQ(PointerToString(high), "139716164221099");
    EXPECT_EQ(StringToAddress(PointerToString(high)), high);
    CPGameObject* crate = &tree.Add("crate");
    EXPECT_EQ(ResolveHandle(StringToAddress(Handle(*crate))), crate) << "a live object";
    const std::string text = Handle(*crate);
    tree.Delete(*crate);
    EXPECT_EQ(ResolveHandle(StringToAddress(text)), nullptr) << "a deleted object is refused";
}

TEST_F(GameObjectLife, TheIdleAnimationIsTheLastOneAddedUnderThatName) {
    CPGameObject& door = tree.Add("door");
    auto& first = MakeTask<CPPartAnimation>();
    auto& second = MakeTask<CPPartAnimation>();
    auto& open = MakeTask<CPPartAnimation>();
    door.AddAnimation("idle", &first);
    door.AddAnimation("idle", &second);
    door.AddAnimation("open", &open);
    EXPECT_EQ(door.idleAnimation.Get(), &second);
    EXPECT_TRUE(second.loop);
    EXPECT_FALSE(open.loop);
    EXPECT_EQ(first.GetRefCount(), 0) << "released";
    EXPECT_TRUE(door.HasAnimations());
    EXPECT_FALSE(door.isStatic);
    EXPECT_EQ(door.animations.Find("open")->Get(), &open);
}

TEST_F(GameObjectLife, AFlameIsAttachedOnceAndAMissingTemplateIsSkipped) {
    GameObjectServices saved = g_GameObjectServices;
    auto& flameTemplate = MakeTask<FakeParticles>();
    std::vector<int> asked;
    g_GameObjectServices.cloneFlame = [&](int index) {
        asked.push_back(index);
        return index == 2 ? flameTemplate.Clone() : CPRefPtr<CPTask>();
    };
    CPGameObject& car = tree.Add("car");
    CPGameObject& exhaust = tree.Add("exhaust", &car);
    car.flameType = 2;
    exhaust.flameType = 9;
    car.SetPosition({1, 2, 3});

    car.AttachFlame();
    car.AttachFlame();
    EXPECT_EQ(asked, (std::vector<int>{2, 9}));
    EXPECT_EQ(car.flameType, -1);
    EXPECT_EQ(exhaust.flameType, -1);
    ASSERT_EQ(car.children.size(), 2u);
    CPRefPtr<CPGameObject> flame = car.GetPart("flame");
    ASSERT_TRUE(flame);
    EXPECT_EQ(flame->visualKind, VISUAL_PARTICLES);
    EXPECT_EQ(ListedCount(flame->GetParticleTask()), 1);
    EXPECT_EQ(flame->GetParticleTask()->priority, PRIORITY_OBJECTS);
    EXPECT_FALSE(car.dirty);
    tree.Adopt(flame.Get());
    g_GameObjectServices = saved;
}

TEST_F(GameObjectLife, ACopyHasItsOwnTreeWithSharedMaterialsAndPhysicsWithoutBodies) {
    CPGameObject& model = tree.Add("model");
    model.SetScript(&script);
    auto* physics = new CPPhysicData(&model);
    physics->SetBoxBody(1, 2, 3, 100);
    physics->AddBoxShape({0, 0, 1}, {0, 0, 0, 1}, 1, 2, 3, 50);
    model.physicData = physics;
    model.SetPosition({10, 0, 0});
    model.flameType = 1;
    model.modelName = "model.rdf";
    CPMaterial shadow(16, nullptr, nullptr);
    model.SetShadowMaterial(&shadow);
    auto* mesh = new CPRenderObject(&model);
    mesh->sourceVertices.resize(3);
    mesh->indices = {0, 1, 2};
    model.SetVisual(mesh, VISUAL_MESH);
    model.partBoxes.emplace_back(D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(1, 1, 1));
    D3DXMatrixTranslation(&model.partBoxes.back().localMatrix, 0, 0, 5);
    auto& idle = MakeTask<CPPartAnimation>();
    idle.durations = {1, 2};
    model.AddAnimation("idle", &idle);
    for (const char* name : {"a", "b", "c"}) {
        CPGameObject& part = tree.Add(name, &model);
        part.SetPosition({0, 1, 0});
    }
    model.UpdateHierarchy();

    CPGameObject& copy = tree.Add("model");
    copy.CopyFrom(&model);
    std::vector<CPRefPtr<CPGameObject>> copied;
    copy.CollectTree(copied);
    for (std::size_t k = 1; k < copied.size(); ++k)
        tree.Adopt(copied[k].Get());

    ASSERT_EQ(copy.children.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_NE(copy.children[k].Get(), model.children[k].Get());
        EXPECT_EQ(copy.children[k]->GetName(), model.children[k]->GetName());
        EXPECT_EQ(copy.children[k]->GetParent().Get(), &copy);
        EXPECT_EQ(copy.children[k]->worldMatrix, model.children[k]->worldMatrix);
    }
    EXPECT_EQ(copy.GetPart("b").Get(), copy.children[1].Get());
    EXPECT_EQ(copy.worldMatrix, model.worldMatrix);
    EXPECT_EQ(copy.GetShadowMaterial().Get(), &shadow);
    ASSERT_NE(copy.GetRenderObject(), nullptr);
    EXPECT_NE(copy.GetRenderObject(), mesh);
    EXPECT_EQ(copy.GetRenderObject()->owner, &copy);
    EXPECT_EQ(copy.GetRenderObject()->indices, mesh->indices);
    EXPECT_EQ(copy.GetRenderObject()->staticWorld, copy.worldMatrix);
    EXPECT_EQ(copy.flameType, 1);
    EXPECT_EQ(copy.GetScript(), &script);
    EXPECT_EQ(copy.modelName, "model.rdf");
    EXPECT_FALSE(copy.active);
    ASSERT_EQ(copy.partBoxes.size(), 1u);
    EXPECT_EQ(copy.partBoxes[0].worldMin, model.partBoxes[0].worldMin) << "the part box stays in place";
    ASSERT_TRUE(copy.idleAnimation);
    EXPECT_NE(copy.idleAnimation.Get(), &idle);
    EXPECT_EQ(copy.idleAnimation->durations, idle.durations);
    EXPECT_EQ(copy.idleAnimation->owner, &copy);
    EXPECT_TRUE(copy.idleAnimation->loop);
    ASSERT_TRUE(copy.physicData);
    EXPECT_NE(copy.physicData.Get(), physics);
    EXPECT_EQ(copy.physicData->shapes.size(), 1u);
    EXPECT_EQ(copy.physicData->mass, 100);
    EXPECT_EQ(copy.physicData->rigidBody, nullptr);

    copy.SetPosition({0, 50, 0});
    copy.UpdateHierarchy();
    EXPECT_EQ(model.worldMatrix._42, 0) << "moving the copy leaves the source";
    tasks.emplace_back(copy.idleAnimation.Get());
    copied.clear();
    tree.Clear(); // before the shadow material goes
}

TEST_F(GameObjectLife, ACopyOfAParticleVisualThatCannotBeClonedHasNoVisual) {
    CPGameObject& source = tree.Add("smoke");
    CPTask* plain = &MakeTask<PlainTask>();
    source.SetVisual(plain, VISUAL_PARTICLES);
    CPGameObject& copy = tree.Add("smoke");
    copy.CopyFrom(&source);
    EXPECT_EQ(copy.visualKind, VISUAL_NONE);
    copy.Activate(PRIORITY_OBJECTS);
    copy.Deactivate();
}

TEST_F(GameObjectLife, DescriptionsLoadFromTheDescriptionsFolder) {
    TempGameRoot root;
    root.WriteFile("Data/Descriptions/jeep.xml", "<car><camera distance=\"7\"/></car>");
    root.WriteFile("Data/Descriptions/broken.xml", "<car><camera></car>");
    CPGameObject& jeep = tree.Add("jeep");
    jeep.SetTypeName("jeep.xml");
    ASSERT_TRUE(jeep.LoadDescription());
    ASSERT_NE(jeep.description.FirstChildElement("car"), nullptr);
    EXPECT_STREQ(
        jeep.description.FirstChildElement("car")->FirstChildElement("camera")->Attribute("distance"), "7");

    for (const char* name : {"broken.xml", "missing.xml"}) {
        CPGameObject& other = tree.Add("other");
        other.SetDescriptionName(name);
        EXPECT_FALSE(other.LoadDescription()) << name;
        EXPECT_EQ(other.description.FirstChildElement(), nullptr) << name;
        EXPECT_TRUE(other.description.Error()) << name;
    }
}

} // namespace
