#include "Support/GameTestSupport.h"
#include "Support/TestScripts.h"

#include "Core/AxisAlignedBox.h"
#include "Core/PGlobalTimer.h"
#include "Physics/PPhysicData.h"
#include "Render/PAnimatedObject.h"
#include "Render/PRenderObject.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

D3DXVECTOR3 WorldPosition(const CPGameObject& object) {
    return {object.worldMatrix._41, object.worldMatrix._42, object.worldMatrix._43};
}

// A part box of half size h centred on the object's origin.
void AddPartBox(CPGameObject& object, float h) {
    object.partBoxes.emplace_back(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(h, h, h));
}

RayQuery RayAlongX(float length) {
    RayQuery query;
    query.origin = {-10, 0, 0};
    query.direction = {1, 0, 0};
    query.length = length;
    return query;
}

TEST(GameObject, NewObjectDefaults) {
    CPGameObject object("crate");
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_EQ(object.parentMatrix, identity);
    EXPECT_EQ(object.localMatrix, identity);
    EXPECT_EQ(object.worldMatrix, identity);
    EXPECT_EQ(object.position, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(object.orientation, D3DXQUATERNION(0, 0, 0, 1));
    EXPECT_TRUE(object.visible && object.isStatic && object.collision && object.castsShadow && object.dirty);
    EXPECT_TRUE(object.transformChanged);
    EXPECT_FALSE(object.active || object.hasAnimations);
    EXPECT_EQ(object.flameType, -1);
    EXPECT_EQ(object.lineColor, 0xff4e4e4eu);
    EXPECT_EQ(object.visualKind, VISUAL_NONE);
    EXPECT_EQ(object.GetClassName(), "CPGameObject - crate");
}

TEST(GameObject, ChildrenFollowTheirParentsTransform) {
    ObjectTree tree;
    CPGameObject& parent = tree.Add("parent");
    CPGameObject& child = tree.Add("child", &parent);
    CPGameObject& grandchild = tree.Add("grandchild", &child);
    child.SetPosition({1, 0, 0});
    grandchild.SetPosition({0, 0, 2});

    parent.SetPosition({10, 0, 0});
    parent.UpdateHierarchy();
    ExpectNear(WorldPosition(child), {11, 0, 0});
    ExpectNear(WorldPosition(grandchild), {11, 0, 2});
    EXPECT_TRUE(child.transformChanged);
    EXPECT_FALSE(child.dirty);

    // 90 degrees about Z carries local +X to world +Y (row vectors).
    const float s = std::sqrt(0.5f);
    parent.SetPosition({0, 0, 0});
    parent.SetOrientation({0, 0, s, s});
    parent.UpdateHierarchy();
    ExpectNear(WorldPosition(child), {0, 1, 0});
}

TEST(GameObject, UpdateRecomputesOnlyDirtyObjectsAndMovedChildrenLeaveParentBoundsStale) {
    ObjectTree tree;
    CPGameObject& parent = tree.Add("parent");
    CPGameObject& child = tree.Add("child", &parent);
    AddPartBox(child, 1);
    child.SetPosition({5, 0, 0});
    parent.UpdateHierarchy();
    EXPECT_NEAR(parent.partsBounds.max.x, 6, kEps);

    child.SetPosition({20, 0, 0});
    child.UpdateHierarchy();
    EXPECT_NEAR(child.partsBounds.max.x, 21, kEps);
    EXPECT_NEAR(parent.partsBounds.max.x, 6, kEps) << "the parent is refreshed only by its own update";
    parent.UpdateHierarchy();
    EXPECT_NEAR(parent.partsBounds.max.x, 6, kEps) << "a clean parent does nothing";
    parent.dirty = true;
    parent.UpdateHierarchy();
    EXPECT_NEAR(parent.partsBounds.max.x, 21, kEps);
}

TEST(GameObject, BoundsHoldTheSubtreeAndGrowByTheShadow) {
    const D3DXMATRIX savedShadow = g_ShadowMatrix;
    const D3DXVECTOR4 light(0.5f, 0, -1, 0);
    const D3DXPLANE ground(0, 0, -1, 0.5f);
    D3DXMatrixShadow(&g_ShadowMatrix, &light, &ground);

    ObjectTree tree;
    CPGameObject& root = tree.Add("root");
    CPGameObject& part = tree.Add("part", &root);
    root.SetBounds(BoundingBox({0, 0, 0}, {1, 1, 1}));
    part.SetBounds(BoundingBox({0, 0, 0}, {1, 1, 1}));
    part.castsShadow = false;
    part.SetPosition({0, 0, 10});
    root.UpdateHierarchy();

    EXPECT_NEAR(part.bounds.min.z, 9, kEps);
    EXPECT_NEAR(part.bounds.max.z, 11, kEps);
    // The root holds its own box, the part's box and their shadows on z = 0.5.
    EXPECT_NEAR(root.bounds.min.z, -1, kEps);
    EXPECT_NEAR(root.bounds.max.z, 11, kEps);
    EXPECT_GT(root.bounds.max.x, 1.0f) << "the shadow of the high part falls beside it";
    EXPECT_NEAR(root.bounds.center.z, 5, kEps);
    // No part boxes anywhere: the inverted empty box.
    EXPECT_EQ(root.partsBounds.min, D3DXVECTOR3(1000000, 1000000, 1000000));
    g_ShadowMatrix = savedShadow;
}

TEST(GameObject, FindChildSearchesTheIndexThenEachSubtreeAndGetPartOnlyTheIndex) {
    ObjectTree tree;
    CPGameObject& root = tree.Add("root");
    CPGameObject& a = tree.Add("a", &root);
    CPGameObject& b = tree.Add("b", &root);
    CPGameObject& deepInA = tree.Add("wheel", &a);
    tree.Add("wheel", &b);

    EXPECT_EQ(root.FindChild("wheel").Get(), &deepInA);
    EXPECT_FALSE(root.GetPart("wheel"));
    // A miss of GetPart leaves no entry behind that would hide the grandchild.
    EXPECT_EQ(root.FindChild("wheel").Get(), &deepInA);
    EXPECT_FALSE(root.FindChild("root")) << "never the object itself";
    EXPECT_FALSE(root.FindChild("missing"));
    EXPECT_EQ(root.GetPart("b").Get(), &b);
    EXPECT_EQ(b.GetParent().Get(), &root);
}

TEST(GameObject, TwoChildrenOfOneNameAndDeletingEitherOfThem) {
    ObjectTree tree;
    CPGameObject& root = tree.Add("root");
    CPGameObject& first = tree.Add("door", &root);
    CPGameObject& second = tree.Add("door", &root);
    EXPECT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.FindChild("door").Get(), &second);

    tree.Delete(first);
    EXPECT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.FindChild("door").Get(), &second)
        << "deleting the earlier one keeps the later one indexed";

    tree.Delete(second);
    EXPECT_TRUE(root.children.empty());
    EXPECT_FALSE(root.FindChild("door"));
}

TEST(GameObject, DeletingAParentLeavesItsChildrenWithoutParent) {
    ObjectTree tree;
    CPGameObject& root = tree.Add("root");
    CPGameObject& child = tree.Add("child", &root);
    tree.Delete(root);
    EXPECT_EQ(child.parent, nullptr);
}

TEST(GameObject, CollectTreeIsPreOrder) {
    ObjectTree tree;
    CPGameObject& root = tree.Add("root");
    CPGameObject& a = tree.Add("a", &root);
    tree.Add("a1", &a);
    tree.Add("b", &root);
    std::vector<CPRefPtr<CPGameObject>> list;
    root.CollectTree(list);
    std::vector<std::string> names;
    for (const auto& object : list)
        names.push_back(object->GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"root", "a", "a1", "b"}));
}

TEST(GameObject, ScriptMakesTheSubtreeDynamicStaticTouchesOnlyTheObjectAndItsLevels) {
    TestScripts scripts({"boss"}); // outlives the objects, which hold it
    ObjectTree tree;
    CPGameObject& coarse = tree.Add("coarse");
    CPGameObject& root = tree.Add("root");
    CPGameObject& child = tree.Add("child", &root);
    root.AddLod(&root, 0);
    root.AddLod(nullptr, 50);
    root.AddLod(&coarse, 100);

    root.SetStatic(false);
    EXPECT_FALSE(root.isStatic);
    EXPECT_FALSE(coarse.isStatic);
    EXPECT_TRUE(child.isStatic);

    root.SetStatic(true);
    root.SetScript(nullptr);
    EXPECT_TRUE(root.isStatic && child.isStatic);
    EXPECT_EQ(root.GetScript(), nullptr);

    CPLuaScript& script = scripts["boss"];
    root.SetScript(&script);
    EXPECT_FALSE(root.isStatic);
    EXPECT_FALSE(child.isStatic);
    EXPECT_EQ(root.GetScript(), &script);
    EXPECT_EQ(child.GetTopOwner().Get(), &root);
}

TEST(GameObject, LevelsOfDetailMoveWithTheObjectAndNullLevelsAreSkipped) {
    ObjectTree tree;
    CPGameObject& coarse = tree.Add("coarse");
    CPGameObject& root = tree.Add("root");
    root.AddLod(&root, 0);
    root.AddLod(nullptr, 50);
    root.AddLod(&coarse, 100);
    root.SetPosition({3, 4, 5});
    root.SetOrientation({0, 0, 1, 0});
    root.UpdateHierarchy();
    EXPECT_EQ(coarse.position, D3DXVECTOR3(3, 4, 5));
    EXPECT_EQ(coarse.orientation, D3DXQUATERNION(0, 0, 1, 0));
    EXPECT_FALSE(coarse.dirty);
    ExpectNear(WorldPosition(coarse), {3, 4, 5});
}

TEST(GameObject, SettersClearTheWorldChangedFlagUntilTheNextUpdate) {
    CPGameObject object("car");
    object.physicData = new CPPhysicData(&object);
    object.UpdateHierarchy();
    EXPECT_TRUE(object.transformChanged);
    object.SetPosition({1, 2, 3});
    EXPECT_FALSE(object.transformChanged);
    EXPECT_TRUE(object.dirty);
    object.UpdateHierarchy();
    object.SetOrientation({0, 0, 0, 1});
    EXPECT_FALSE(object.transformChanged);
}

TEST(GameObject, RayTestFindsTheNearestPartBox) {
    TestScripts scripts({"owner"}); // outlives the objects, which hold it
    ObjectTree tree;
    CPGameObject& root = tree.Add("root");
    CPGameObject& near = tree.Add("near", &root);
    CPGameObject& far = tree.Add("far", &root);
    AddPartBox(near, 1);
    AddPartBox(far, 1);
    near.SetPosition({0, 0, 0});
    far.SetPosition({5, 0, 0});
    root.SetScript(&scripts["owner"]);
    root.UpdateHierarchy();

    // Tested in order far-last and far-first: the nearer box wins either way.
    for (bool farFirst : {false, true}) {
        if (farFirst)
            std::swap(root.children[0], root.children[1]);
        RayQuery query = RayAlongX(100);
        EXPECT_TRUE(root.RayTest(query));
        EXPECT_EQ(query.hitObject.Get(), &near);
        EXPECT_EQ(query.hitOwner.Get(), &root);
        EXPECT_NEAR(query.length, 9, kEps);
        EXPECT_LT(query.hitPlane.a, 0.0f) << "the -x face";
    }

    RayQuery tooShort = RayAlongX(8);
    EXPECT_FALSE(root.RayTest(tooShort));
    EXPECT_FALSE(tooShort.hitObject);

    RayQuery ignoring = RayAlongX(100);
    ignoring.ignore = &near;
    EXPECT_TRUE(root.RayTest(ignoring));
    EXPECT_EQ(ignoring.hitObject.Get(), &far);
}

TEST(GameObject, CollisionOffHidesTheWholeSubtreeFromRays) {
    ObjectTree tree;
    CPGameObject& root = tree.Add("root");
    CPGameObject& group = tree.Add("group", &root);
    CPGameObject& part = tree.Add("part", &group);
    AddPartBox(part, 1);
    group.collision = false;
    root.UpdateHierarchy();
    RayQuery query = RayAlongX(100);
    EXPECT_FALSE(root.RayTest(query));
    EXPECT_NEAR(query.length, 100, kEps);
}

TEST(GameObject, ARayStartingInsideAPartBoxPassesThroughIt) {
    ObjectTree tree;
    CPGameObject& root = tree.Add("root");
    CPGameObject& around = tree.Add("around", &root);
    CPGameObject& ahead = tree.Add("ahead", &root);
    AddPartBox(around, 2);
    AddPartBox(ahead, 1);
    ahead.SetPosition({5, 0, 0});
    root.UpdateHierarchy();
    RayQuery query = RayAlongX(100);
    query.origin = {0, 0, 0};
    EXPECT_TRUE(root.RayTest(query));
    EXPECT_EQ(query.hitObject.Get(), &ahead) << "the box the ray starts in is not hit at distance 0";
    EXPECT_NEAR(query.length, 4, kEps);
}

// A tree of a mesh, an animated part below it and a light below that.
struct VisualTree {
    VisualTree() {
        root.SetVisual(new CPRenderObject(&root), VISUAL_MESH);
        arm.SetVisual(animated, VISUAL_ANIMATED);
        animated->AddAnimation("wave", &wave);
        animated->AddAnimation("spin", &spin);
    }
    // Declared first: the visuals let go of them when the tree goes.
    CPAnimation wave{"wave"}, spin{"spin"};
    ObjectTree tree;
    CPGameObject& root = tree.Add("root");
    CPGameObject& arm = tree.Add("arm", &root);
    CPGameObject& lamp = tree.Add("lamp", &arm);
    CPAnimatedObject* animated = new CPAnimatedObject(&arm);
};

TEST(GameObject, ApplyMaterialGivesEachPartItsOwnFireMaterial) {
    CPMaterial rootFire(20, nullptr, nullptr), armFire(21, nullptr, nullptr), lampFire(22, nullptr, nullptr);
    VisualTree model;
    model.root.ApplyMaterial();
    EXPECT_FALSE(model.root.GetVisual()->GetMaterial()) << "no fire material: nothing changes";

    model.root.SetFireMaterial(&rootFire);
    model.arm.SetFireMaterial(&armFire);
    model.lamp.SetFireMaterial(&lampFire);
    model.root.ApplyMaterial();
    EXPECT_EQ(model.root.GetVisual()->GetMaterial().Get(), &rootFire);
    EXPECT_EQ(model.animated->GetMaterial().Get(), &armFire);
    EXPECT_EQ(model.lamp.GetVisual(), nullptr);
}

TEST(GameObject, StartAnimationReachesEveryAnimatedPartAndRestartDecides) {
    VisualTree model;
    const double savedTime = g_GameTime;
    g_GameTime = 10;
    AnimationRequest request;
    request.name = "wave";
    request.startOffset = 0.5f;
    model.root.StartAnimation(request, false);
    EXPECT_EQ(model.animated->animationName, "wave");
    EXPECT_FLOAT_EQ(model.animated->startTime, 10.5f);

    g_GameTime = 20;
    model.root.StartAnimation(request, false);
    EXPECT_FLOAT_EQ(model.animated->startTime, 10.5f) << "restart false keeps the running play";
    model.root.StartAnimation(request, true);
    EXPECT_FLOAT_EQ(model.animated->startTime, 20.5f);

    request.name = "missing";
    model.root.StartAnimation(request, true);
    EXPECT_EQ(model.animated->animationName, "wave");
    g_GameTime = savedTime;
}

} // namespace
