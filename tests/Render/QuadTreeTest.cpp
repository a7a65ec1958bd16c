#include "RenderTestScene.h"

#include "Render/PPerspectiveCamera.h"
#include "Render/PQuadTree.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <set>
#include <vector>

namespace {

// A level object at a position with a world box of the given half size
// around it. It carries a light whose range names it, so that the lights
// queued with the renderer tell which objects were submitted.
class LevelObject : public TestSceneObject {
public:
    LevelObject(int id, D3DXVECTOR3 at, float half = 1.0f) {
        position = at;
        worldBox.min = at - D3DXVECTOR3(half, half, half);
        worldBox.max = at + D3DXVECTOR3(half, half, half);
        worldBox.UpdateCenter();
        visualKind = VISUAL_LIGHT;
        light = D3DLIGHT9();
        light.Range = static_cast<float>(id);
    }
};

class QuadTreeTest : public ::testing::Test {
protected:
    QuadTreeTest() : scene(PlatGraphicsBackendKind::Recording, 64, 48) {}

    // A level object that outlives the tree.
    LevelObject* Add(int id, D3DXVECTOR3 at, float half = 1.0f) {
        objects.push_back(std::make_unique<LevelObject>(id, at, half));
        return objects.back().get();
    }
    // A root of 200 x 200 around the origin, built from every object added.
    void BuildRoot() {
        std::vector<CPRefPtr<CPSceneObject>> list;
        for (const auto& object : objects)
            list.emplace_back(object.get());
        root.SetBounds(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(100, 100, 100));
        root.Build(list, 0);
    }
    // The ids of the objects submitted by one SubmitVisible.
    std::set<int> Submitted(const D3DXVECTOR3& eye, const D3DXVECTOR3& target) {
        camera->eye = eye;
        camera->target = target;
        camera->up = D3DXVECTOR3(0, 0, 1);
        camera->fov = 1.0995574f;
        camera->nearPlane = 0.1f;
        camera->farPlane = 1000.0f;
        camera->viewDirty = camera->projectionDirty = true;
        camera->UpdateMatrices();
        scene.render->lightCount = 0;
        scene.render->visibleObjectCount = 0;
        root.SubmitVisible(camera.get());
        std::set<int> ids;
        for (int i = 0; i < scene.render->lightCount; ++i)
            ids.insert(static_cast<int>(scene.render->lights[i].Range));
        EXPECT_EQ(scene.render->visibleObjectCount, static_cast<int>(ids.size()));
        return ids;
    }

    ScopedSetting<int> levels{g_QuadLevels, 1};
    ScopedSetting<int> distance{g_Distance, 1000};
    RenderTestScene scene;
    std::unique_ptr<CPPerspectiveCamera> camera = std::make_unique<CPPerspectiveCamera>();
    std::vector<std::unique_ptr<LevelObject>> objects;
    CPQuadTree root;
};

TEST_F(QuadTreeTest, ObjectsGoToTheFirstQuadrantHoldingThemStrictly) {
    Add(1, {-50, -50, 0});
    Add(2, {50, 50, 0});
    Add(3, {60, -40, 0});
    Add(4, {-10, 90, 0});
    Add(5, {-1, -1, 0});
    // On the quadrants' borders or outside the root: in no leaf.
    Add(6, {0, 0, 0});
    Add(7, {0, 50, 0});
    Add(8, {150, 50, 0});
    Add(9, {50, 50, 100});
    BuildRoot();

    const std::array<std::set<int>, 4> expected = {{{1, 5}, {2}, {3}, {4}}};
    for (int slot = 0; slot < CPQuadTree::kSlots; ++slot) {
        ASSERT_NE(root.children[slot], nullptr);
        const CPQuadTree& leaf = *root.children[slot];
        EXPECT_EQ(leaf.children[0], nullptr);
        std::set<int> ids;
        for (const auto& object : leaf.objects)
            ids.insert(static_cast<int>(static_cast<const LevelObject&>(*object).light.Range));
        EXPECT_EQ(ids, expected[slot]) << slot;
    }
    EXPECT_TRUE(root.objects.empty());
}

TEST_F(QuadTreeTest, LeafBoxesAreTheirObjectsUnionOrTheirQuadrant) {
    // Slot 0 holds two objects, one of them reaching over the quadrant's edge.
    Add(1, {-50, -50, 0});
    Add(2, {-20, -70, 5}, 30);
    BuildRoot();

    const AxisAlignedBox& filled = *root.children[0]->box;
    EXPECT_EQ(filled.min, D3DXVECTOR3(-51, -100, -25));
    EXPECT_EQ(filled.max, D3DXVECTOR3(10, -40, 35));
    EXPECT_EQ(filled.center, D3DXVECTOR3(-20.5f, -70, 5));
    // Empty leaves keep their quadrants: half size (50, 50, 100) around the slot's centre.
    const D3DXVECTOR3 centres[4] = {{-50, -50, 0}, {50, 50, 0}, {50, -50, 0}, {-50, 50, 0}};
    for (int slot = 1; slot < 4; ++slot) {
        EXPECT_EQ(root.children[slot]->box->center, centres[slot]) << slot;
        EXPECT_EQ(root.children[slot]->box->half, D3DXVECTOR3(50, 50, 100)) << slot;
    }
    // The root's box is the union of its children's.
    EXPECT_EQ(root.box->min, D3DXVECTOR3(-100, -100, -100));
    EXPECT_EQ(root.box->max, D3DXVECTOR3(100, 100, 100));
}

TEST_F(QuadTreeTest, DepthFollowsTheSettingWithinItsLimits) {
    LevelObject* object = Add(1, {-30, -30, 0});
    const auto depth = [](const CPQuadTree& node) {
        int levels = 0;
        for (const CPQuadTree* at = &node; at->children[0]; at = at->children[0].get())
            ++levels;
        return levels;
    };
    struct Case {
        int setting, depth;
    };
    for (const Case c : {Case{0, 0}, Case{-3, 0}, Case{2, 2}, Case{1000, CPQuadTree::kMaxLevels}}) {
        g_QuadLevels = c.setting;
        CPQuadTree tree;
        tree.SetBounds(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(100, 100, 100));
        tree.Build({object}, 0);
        EXPECT_EQ(depth(tree), c.depth) << c.setting;
    }
}

TEST_F(QuadTreeTest, OnlyNearLeavesInsideTheFrustumSubmit) {
    Add(1, {-50, -20, 0});
    Add(2, {50, -30, 0});
    Add(3, {-98, 3, 0});
    Add(4, {0, 0, 0});
    BuildRoot();

    // Looking along +x from x = -95: the leaf of slot 3 lies wholly behind.
    EXPECT_EQ(Submitted({-95, -5, 0}, {0, -5, 0}), (std::set<int>{1, 2}));
    // Looking along -x from x = -60, only that leaf is in view.
    EXPECT_EQ(Submitted({-60, -5, 0}, {-200, -5, 0}), (std::set<int>{3}));

    // A leaf exactly at the draw distance is too far; just inside it is near.
    g_Distance = 20;
    EXPECT_EQ(Submitted({-70, -20, 0}, {0, -20, 0}), (std::set<int>{}));
    EXPECT_EQ(Submitted({-69.9f, -20, 0}, {0, -20, 0}), (std::set<int>{1}));
}

TEST_F(QuadTreeTest, ARootWithoutLevelsIsOneLeafSubmittedUntested) {
    g_QuadLevels = 0;
    Add(1, {-50, -50, 0});
    Add(2, {50, 50, 0});
    BuildRoot();
    EXPECT_EQ(root.objects.size(), 2u);
    // The root is not tested against the frustum, only against the distance.
    EXPECT_EQ(Submitted({0, 0, 10}, {0, 0, 20}), (std::set<int>{1, 2}));
}

} // namespace
