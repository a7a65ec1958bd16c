#include "Core/PSettings.h"
#include "Game/PLevelBranch.h"
#include "Game/RayQuery.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/RenderTestScene.h"
#include "Support/GameTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <vector>

namespace {

// Game objects owning a one-triangle mesh of the given material, with a unit
// part box, on the recording renderer.
class LevelBranchTest : public ::testing::Test {
protected:
    LevelBranchTest() : scene(PlatGraphicsBackendKind::Recording, 64, 64) {}

    CPRefPtr<CPMaterial> NewMaterial() {
        const std::string texture = "t" + std::to_string(materialCount++) + ".tga";
        RenderTestScene::WritePicture("Data/Textures/" + texture, Image(2, 2, 0xff808080));
        return scene.Material(20, "simple.fx", {texture});
    }
    CPGameObject& Add(const D3DXVECTOR3& position, const CPRefPtr<CPMaterial>& material,
                      bool isStatic = true) {
        CPGameObject& object = tree.Add("object");
        std::unique_ptr<CPRenderObject> mesh = MakeMesh(material, 3);
        mesh->owner = &object;
        object.SetVisual(mesh.release(), VISUAL_MESH);
        const BoundingBox box(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0.5f, 0.5f, 0.5f));
        object.boundingBox = box;
        object.partBoxes = {box};
        object.castsShadow = false;
        object.isStatic = isStatic;
        object.SetPosition(position);
        object.UpdateHierarchy();
        list.emplace_back(&object);
        return object;
    }
    // The materials of the frame's batches.
    std::set<CPMaterial*> Submitted() const {
        std::set<CPMaterial*> drawn;
        for (const auto& [material, batch] : scene.render->GetRenderBlock()->frameBatches)
            drawn.insert(material);
        return drawn;
    }
    void TearDown() override { scene.render->GetRenderBlock()->Reset(); }

    RenderTestScene scene;
    ObjectTree tree;
    CPLevelBranch::ObjectList list;
    int materialCount = 0;
};

int Depth(const CPLevelBranch& node) {
    return node.left ? 1 + std::max(Depth(*node.left), Depth(*node.right)) : 0;
}

void CollectLeaves(const CPLevelBranch& node, std::vector<const CPLevelBranch*>& leaves) {
    if (!node.left) {
        leaves.push_back(&node);
        return;
    }
    CollectLeaves(*node.left, leaves);
    CollectLeaves(*node.right, leaves);
}

TEST_F(LevelBranchTest, OneObjectIsOneLeafAndEqualCentresStayTogether) {
    const auto material = NewMaterial();
    Add({1, 2, 3}, material);
    CPLevelBranch single;
    single.SetObjects(list);
    single.Build();
    EXPECT_FALSE(single.left);
    EXPECT_EQ(single.materials.size(), 1u);

    Add({1, 2, 3}, NewMaterial(), false);
    Add({9, 2, 3}, material);
    CPLevelBranch root;
    root.SetObjects(list);
    root.Build();
    ASSERT_TRUE(root.left);
    EXPECT_EQ(root.left->objects.size(), 2u);
    EXPECT_FALSE(root.left->left);
    EXPECT_EQ(root.right->objects.size(), 1u);
    EXPECT_EQ(root.staticObjects.size(), 2u);
    EXPECT_EQ(root.dynamicObjects.size(), 1u);
    // Only static meshes count.
    EXPECT_EQ(root.materials.size(), 1u);
    ExpectNear(root.box.min, {0.5f, 1.5f, 2.5f});
    ExpectNear(root.box.max, {9.5f, 2.5f, 3.5f});
}

// Four objects on the corners of a square in x and y: x splits first, and y
// replaces it only when its halves share fewer materials.
TEST_F(LevelBranchTest, ALaterAxisWinsOnlyWithFewerMaterials) {
    struct Case {
        const char* name;
        // Material of the objects at (0,0), (10,0), (0,10), (10,10).
        int materials[4];
        int splitAxis;
    };
    const Case cases[] = {
        {"rows share materials: y", {0, 0, 1, 1}, 1},
        {"columns share materials: x", {0, 1, 0, 1}, 0},
        {"one material: x stays", {0, 0, 0, 0}, 0},
        {"four materials: x stays", {0, 1, 2, 3}, 0},
    };
    const CPRefPtr<CPMaterial> pool[4] = {NewMaterial(), NewMaterial(), NewMaterial(), NewMaterial()};
    const D3DXVECTOR3 corners[4] = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {10, 10, 0}};
    for (const Case& c : cases) {
        list.clear();
        for (int i = 0; i < 4; ++i)
            Add(corners[i], pool[c.materials[i]]);
        CPLevelBranch root;
        root.SetObjects(list);
        root.Build();
        ASSERT_TRUE(root.left) << c.name;
        for (const CPRefPtr<CPGameObject>& object : root.left->objects)
            EXPECT_FLOAT_EQ(object->position[c.splitAxis], 0.0f) << c.name;
        for (const CPRefPtr<CPGameObject>& object : root.right->objects)
            EXPECT_FLOAT_EQ(object->position[c.splitAxis], 10.0f) << c.name;
        std::vector<const CPLevelBranch*> leaves;
        CollectLeaves(root, leaves);
        EXPECT_EQ(leaves.size(), 4u) << c.name;
    }
}

TEST_F(LevelBranchTest, DetailLevelsFollowTheDistanceFromTheMainCamera) {
    const auto full = NewMaterial();
    const auto near = NewMaterial();
    const auto far = NewMaterial();
    // The models first: the tree deletes the object, which holds them, before them.
    CPGameObject& nearModel = Add({0, 0, 0}, near);
    CPGameObject& farModel = Add({0, 0, 0}, far);
    CPGameObject& object = Add({0, 0, 0}, full);
    list = {&object};
    object.AddLod(&object, 0);
    object.AddLod(&nearModel, 50);
    object.AddLod(&farModel, 100);
    CPLevelBranch leaf;
    leaf.SetObjects(list);

    CPPerspectiveCamera eye;
    CPPerspectiveCamera* savedCamera = g_MainCamera;
    g_MainCamera = &eye;
    const ScopedSetting<int> viewDistance(g_Distance, 200);
    struct Case {
        float distance;
        CPMaterial* drawn;
    };
    const Case cases[] = {
        {150, far.Get()}, {75, near.Get()}, {30, full.Get()}, {250, nullptr}, {100, near.Get()}};
    for (const Case& c : cases) {
        eye.eye = D3DXVECTOR3(0, c.distance, 0);
        leaf.DrawLeaf();
        const std::set<CPMaterial*> expected =
            c.drawn ? std::set<CPMaterial*>{c.drawn} : std::set<CPMaterial*>{};
        EXPECT_EQ(Submitted(), expected) << c.distance;
        scene.render->GetRenderBlock()->Reset();
    }
    // A detail level without a model draws nothing in its band.
    object.detailLevels[1].first = nullptr;
    eye.eye = D3DXVECTOR3(75, 0, 0);
    leaf.DrawLeaf();
    EXPECT_TRUE(Submitted().empty());
    // A view distance whose square overflows an int still draws.
    scene.render->GetRenderBlock()->Reset();
    g_Distance = 50000;
    eye.eye = D3DXVECTOR3(30, 0, 0);
    leaf.DrawLeaf();
    EXPECT_EQ(Submitted(), std::set<CPMaterial*>{full.Get()});
    g_MainCamera = savedCamera;
}

TEST_F(LevelBranchTest, CullingDrawsTheLeavesInFrontOfTheCameraAndCountsTheirObjects) {
    const auto ahead = NewMaterial();
    const auto behind = NewMaterial();
    for (float x : {20.0f, 40.0f})
        Add({x, 0, 0}, ahead, false);
    Add({-30, 0, 0}, behind);
    CPLevelBranch root;
    root.SetObjects(list);
    root.Build();
    const ScopedSetting<int> width(g_ScreenWidth, 64);
    CPPerspectiveCamera camera;
    camera.eye = D3DXVECTOR3(0, 0, 0);
    camera.target = D3DXVECTOR3(1, 0, 0);
    camera.fov = 1.0f;
    camera.nearPlane = 1;
    camera.farPlane = 200;
    camera.viewDirty = camera.projectionDirty = true;
    camera.UpdateMatrices();
    scene.render->visibleObjectCount = 0;
    root.CullVisible(&camera);
    EXPECT_EQ(Submitted(), std::set<CPMaterial*>{ahead.Get()});
    EXPECT_EQ(scene.render->visibleObjectCount, 2);
}

TEST_F(LevelBranchTest, RaysAndSpheresReachOnlyTheObjectsTheirBoxesMeet) {
    const auto material = NewMaterial();
    for (float x : {0.0f, 10.0f, 20.0f, 30.0f})
        Add({x, 0, 0}, material);
    // A part box far above its own bounds: only reachable when the node's box
    // test lets the ray through.
    CPGameObject& tall = *list[3];
    tall.partBoxes = {BoundingBox(D3DXVECTOR3(0, 0, 50), D3DXVECTOR3(0.5f, 0.5f, 0.5f))};
    tall.dirty = true;
    tall.UpdateHierarchy();
    CPLevelBranch root;
    root.SetObjects(list);
    root.Build();

    RayQuery along;
    along.origin = D3DXVECTOR3(-5, 0, 0);
    along.direction = D3DXVECTOR3(1, 0, 0);
    along.length = 50;
    EXPECT_TRUE(root.RayTest(along));
    EXPECT_EQ(along.hitObject.Get(), list[0].Get());
    EXPECT_FLOAT_EQ(along.length, 4.5f);

    RayQuery missing;
    missing.origin = D3DXVECTOR3(30, -5, 50);
    missing.direction = D3DXVECTOR3(0, 1, 0);
    missing.length = 10;
    EXPECT_FALSE(root.RayTest(missing));
    EXPECT_FALSE(missing.hitObject);
    EXPECT_TRUE(tall.RayTest(missing));

    CPLevelBranch::ObjectList found;
    root.QuerySphere({15, 0, 0}, 5, found);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].Get(), list[1].Get());
    EXPECT_EQ(found[1].Get(), list[2].Get());
    found.clear();
    root.QuerySphere({15, 20, 0}, 5, found);
    EXPECT_TRUE(found.empty());
}

TEST_F(LevelBranchTest, DeactivationLeavesStaticObjectsActive) {
    const auto material = NewMaterial();
    CPGameObject& moving = Add({0, 0, 0}, material, false);
    CPGameObject& still = Add({10, 0, 0}, material, true);
    moving.active = still.active = true;
    CPLevelBranch root;
    root.SetObjects(list);
    root.Build();
    root.DeactivateObjects();
    EXPECT_FALSE(moving.active);
    EXPECT_TRUE(still.active);
}

TEST_F(LevelBranchTest, StaticObjectsGoToTheStaticBlockWhenTheSettingIsOn) {
    const auto material = NewMaterial();
    for (float x : {0.0f, 10.0f, 20.0f})
        Add({x, 0, 0}, material);
    Add({30, 0, 0}, material, false);
    CPRenderBlock staticBlock;
    ASSERT_TRUE(staticBlock.Create(true, 1, 1000, 1000));
    scene.render->staticBlock = &staticBlock;
    const ScopedSetting<int> setting(g_StaticSetting, 1);
    staticBlock.Lock();
    CPLevelBranch root;
    root.SetObjects(list);
    root.Build();
    staticBlock.Unlock();
    EXPECT_EQ(staticBlock.vertexBuffer->staticVertexTotal, 9);
    scene.render->staticBlock = nullptr;
}

// The objects a camera keeps by the eight-corner rule applied at every node
// on the way down, in the order the tree's leaves come depth first.
void LeavesByEveryCorner(const CPLevelBranch& node, const CPPerspectiveCamera& camera,
                         std::vector<const CPBaseRenderObject*>& drawn) {
    if (node.objects.empty())
        return;
    for (const D3DXPLANE& plane : camera.planes) {
        bool anyInside = false;
        for (int corner = 0; corner < 8; ++corner) {
            const D3DXVECTOR3 p((corner & 1) ? node.box.max.x : node.box.min.x,
                                (corner & 2) ? node.box.max.y : node.box.min.y,
                                (corner & 4) ? node.box.max.z : node.box.min.z);
            anyInside = anyInside || D3DXPlaneDotCoord(&plane, &p) > 0;
        }
        if (!anyInside)
            return;
    }
    if (node.left) {
        LeavesByEveryCorner(*node.left, camera, drawn);
        LeavesByEveryCorner(*node.right, camera, drawn);
        return;
    }
    for (const CPRefPtr<CPGameObject>& object : node.objects)
        drawn.push_back(object->GetVisual());
}

// The batches a frame should hold for objects submitted in this order: one per
// material in order of first arrival, each with its objects in order.
using Batches = std::vector<std::pair<CPMaterial*, std::vector<const CPBaseRenderObject*>>>;
Batches BatchesOf(const std::vector<const CPBaseRenderObject*>& objects) {
    Batches batches;
    for (const CPBaseRenderObject* object : objects) {
        CPMaterial* material = object->GetMaterial().Get();
        auto batch = std::find_if(batches.begin(), batches.end(),
                                  [material](const auto& entry) { return entry.first == material; });
        if (batch == batches.end())
            batch = batches.insert(batches.end(), {material, {}});
        batch->second.push_back(object);
    }
    return batches;
}

// Centres spaced geometrically along x split off a few objects per level:
// the depth limit keeps the build bounded and the results whole.
TEST_F(LevelBranchTest, TwentyThousandGeometricallySpacedObjectsBuildWithinTheDepthLimitAndAnswerQueries) {
    const auto material = NewMaterial();
    constexpr int kCount = 20000;
    float x = 1;
    for (int i = 0; i < kCount; ++i, x *= 1.001f) {
        CPGameObject& object = tree.Add("spaced");
        object.boundingBox = BoundingBox(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0.25f, 0.25f, 0.25f));
        object.partBoxes = {object.boundingBox};
        object.castsShadow = false;
        object.SetPosition({x, 0, 0});
        object.UpdateHierarchy();
        list.emplace_back(&object);
    }
    CPLevelBranch root;
    root.SetObjects(list);
    root.Build();
    EXPECT_LE(Depth(root), CPLevelBranch::kMaxDepth);
    std::vector<const CPLevelBranch*> leaves;
    CollectLeaves(root, leaves);
    std::size_t total = 0;
    for (const CPLevelBranch* leaf : leaves)
        total += leaf->objects.size();
    EXPECT_EQ(total, static_cast<std::size_t>(kCount));

    const D3DXVECTOR3 centre = list[kCount / 2]->position;
    CPLevelBranch::ObjectList found;
    root.QuerySphere(centre, 40, found);
    std::size_t expected = 0;
    for (const CPRefPtr<CPGameObject>& object : list)
        expected += object->partsBounds.IntersectsSphere(centre, 40) ? 1 : 0;
    EXPECT_EQ(found.size(), expected);
    EXPECT_GT(expected, 1u);

    // Culling marks the leaves in a bitmap of over 300 words.
    const ScopedSetting<int> width(g_ScreenWidth, 64);
    CPPerspectiveCamera camera;
    camera.eye = centre + D3DXVECTOR3(0, 0, 1);
    camera.target = camera.eye + D3DXVECTOR3(1, 0, 0);
    camera.fov = 1.0f;
    camera.nearPlane = 1;
    camera.farPlane = 3000;
    camera.viewDirty = camera.projectionDirty = true;
    camera.UpdateMatrices();
    std::vector<const CPBaseRenderObject*> inView;
    LeavesByEveryCorner(root, camera, inView);
    scene.render->visibleObjectCount = 0;
    root.CullVisible(&camera);
    EXPECT_EQ(scene.render->visibleObjectCount, static_cast<int>(inView.size()));
    EXPECT_GT(inView.size(), 64u);
}

// Culling tests the leaves four at a time, grouped by place when every node
// holds its children's boxes and along the tree otherwise. A 20 x 20 grid of
// mixed materials splits into long thin columns first; with bounds left
// inverted, reaching past their node or without end, nodes no longer hold
// their children. From cameras inside, above and beside the grid, both draw
// the same objects in the same order as the rule applied to every node.
TEST_F(LevelBranchTest, CullingDrawsWhatTheEightCornerRuleAtEveryNodeKeepsInTheTreesOrder) {
    const CPRefPtr<CPMaterial> materials[] = {NewMaterial(), NewMaterial(), NewMaterial()};
    for (int i = 0; i < 400; ++i)
        Add({static_cast<float>(i % 20) * 7, static_cast<float>(i / 20) * 7, static_cast<float>(i % 3)},
            materials[i % 3]);
    CPLevelBranch grid;
    grid.SetObjects(list);
    grid.Build();

    // Bounds left inverted, as the union of no boxes gives.
    CPGameObject& empty = Add({70, 70, 0}, materials[0]);
    empty.bounds.min = D3DXVECTOR3(1e6f, 1e6f, 1e6f);
    empty.bounds.max = D3DXVECTOR3(-1e6f, -1e6f, -1e6f);
    // Inverted bounds around points of the grid: each object's box reaches
    // past the node above it, which culling must still test.
    for (float at : {10.0f, 60.0f, 100.0f, 130.0f}) {
        CPGameObject& inverted = Add({at, at, 0}, materials[1]);
        inverted.bounds.min = D3DXVECTOR3(at + 40, at + 40, 1);
        inverted.bounds.max = D3DXVECTOR3(at - 40, at - 40, 0);
    }
    // Bounds without end above one object.
    CPGameObject& endless = Add({35, 35, 0}, materials[2]);
    endless.bounds.max.z = std::numeric_limits<float>::infinity();
    CPLevelBranch odd;
    odd.SetObjects(list);
    odd.Build();

    const ScopedSetting<int> width(g_ScreenWidth, 64);
    struct View {
        D3DXVECTOR3 eye;
        D3DXVECTOR3 target;
        float farPlane;
    };
    const View views[] = {{{70, 70, 2}, {90, 75, 1}, 60},    {{-20, -20, 10}, {60, 70, 0}, 200},
                          {{70, 70, 300}, {70, 71, 0}, 400}, {{200, 70, 2}, {300, 70, 2}, 200},
                          {{0, 0, 1}, {1, 0, 1}, 2000},      {{140, 140, 5}, {0, 130, 0}, 90},
                          {{100, 60, 2}, {100, 100, 2}, 60}, {{50, 0, 2}, {50, 40, 2}, 45}};
    for (CPLevelBranch* root : {&grid, &odd}) {
        for (const View& view : views) {
            SCOPED_TRACE(testing::Message() << (root == &grid ? "grid " : "odd bounds ") << view.farPlane);
            CPPerspectiveCamera camera;
            camera.eye = view.eye;
            camera.target = view.target;
            camera.fov = 1.0f;
            camera.nearPlane = 1;
            camera.farPlane = view.farPlane;
            camera.viewDirty = camera.projectionDirty = true;
            camera.UpdateMatrices();
            std::vector<const CPBaseRenderObject*> expected;
            LeavesByEveryCorner(*root, camera, expected);

            root->CullVisible(&camera);
            Batches drawn;
            for (const auto& [batchMaterial, batch] : scene.render->GetRenderBlock()->frameBatches)
                drawn.emplace_back(batchMaterial, std::vector<const CPBaseRenderObject*>(
                                                      batch->objects.begin(), batch->objects.end()));
            EXPECT_EQ(drawn, BatchesOf(expected));
            scene.render->GetRenderBlock()->Reset();
        }
    }
}

} // namespace
