// Scenery placed with a scale: the level bakes it into the vertices, and the
// part boxes, the bounds and the children of the model go with them.
#include "Game/LevelTestSupport.h"
#include "Game/PLevelBranch.h"
#include "Game/RayQuery.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/RenderTestScene.h"
#include "meshtool/MeshWriter.h"

#include <gtest/gtest.h>

namespace {

// One node of the static mesh format: the box of the half width and the
// height standing on the ground, as eight corners with its top face, and a
// part box around it.
MeshFileNode StandingBoxNode(const std::string& name, float half, float height) {
    MeshFileNode node;
    node.name = name;
    for (float z : {0.0f, height})
        for (const auto& [x, y] : {std::pair{-half, -half}, {half, -half}, {half, half}, {-half, half}})
            node.vertices.push_back({x, y, z, 0, 0, 1, 0xffffffff, 0, 0, 0, 0, 0});
    node.indices = {4, 5, 6, 4, 6, 7};
    node.partBoxes = {{D3DXVECTOR3(0, 0, height / 2), D3DXVECTOR3(half, half, height / 2)}};
    return node;
}

void WriteModel(const std::string& mesh, const MeshFileNode& node, const std::string& description) {
    MeshFile file;
    file.roots = {node};
    const std::vector<uint8_t> bytes = WriteMeshFile(file);
    TempGameRoot::WriteFile("Data/Meshes/" + mesh, std::string(bytes.begin(), bytes.end()));
    TempGameRoot::WriteFile("Data/Meshes/" + mesh.substr(0, mesh.find('.')) + ".rdf",
                            "model=" + mesh + "\n" + description);
}

// The ring race with a crate of 1 m scaled to 4 m at the origin and a torch
// of 0.3 m with a flame at 0.27 m scaled five times behind it, both read
// from their files; the renderer records.
class ScaledScenery : public LevelScene {
protected:
    void SetUp() override {
        LevelScene::SetUp();
        WriteModel("crate.msh", StandingBoxNode("crate", 0.5f, 1), "");
        WriteModel("brazier.msh", StandingBoxNode("torch", 0.03f, 0.3f),
                   "psystem=flame,torch,0,0,0.27,0.05,fire,smoke\n");
        meshes.fromFiles = {"crate.rdf", "brazier.rdf"};
        WriteLevel("yard", {Record("player", {97, 0, 0}), Record("crate", {0, 0, 0}, {0, 0, 0, 1}, {4, 4, 4}),
                            Record("brazier", {-30, -30, 0}, {0, 0, 0, 1}, {5, 5, 5})});
        ASSERT_TRUE(Load("yard"));
    }

    RenderTestScene scene{PlatGraphicsBackendKind::Recording, 64, 64};
};

TEST_F(ScaledScenery, TheCrateIsHitAcrossItsScaledSize) {
    const struct {
        D3DXVECTOR3 origin;
        D3DXVECTOR3 direction;
        bool hit;
    } rays[] = {
        {{-20, 1.5f, 2}, {1, 0, 0}, true},    {{-20, 0, 3.5f}, {1, 0, 0}, true},
        {{1.5f, -20, 0.5f}, {0, 1, 0}, true}, {{-20, 2.5f, 2}, {1, 0, 0}, false},
        {{-20, 0, 4.5f}, {1, 0, 0}, false},
    };
    for (const auto& ray : rays) {
        SCOPED_TRACE(testing::Message() << ray.origin.x << " " << ray.origin.y << " " << ray.origin.z);
        RayQuery query;
        query.origin = ray.origin;
        query.direction = ray.direction;
        query.length = 40;
        EXPECT_EQ(level->CrossRay(query), ray.hit);
        if (ray.hit) {
            EXPECT_NEAR(query.length, 18, 1e-3f);
            ASSERT_TRUE(query.hitObject);
            EXPECT_EQ(query.hitObject->GetName(), "crate");
        }
    }
}

TEST_F(ScaledScenery, TheFlameBurnsAtTheScaledTorchsTop) {
    const CPRefPtr<CPGameObject> flame = level->looseObjects.back()->FindChild("flame");
    ASSERT_TRUE(flame);
    const D3DXVECTOR3 at(flame->worldMatrix._41, flame->worldMatrix._42, flame->worldMatrix._43);
    EXPECT_NEAR(at.x, -30, 1e-4f);
    EXPECT_NEAR(at.y, -30, 1e-4f);
    EXPECT_NEAR(at.z, 0.27f * 5, 1e-4f);
}

// The view's edge runs through the crate at y = 1: its centre is out of
// view, its far half in.
TEST_F(ScaledScenery, CullingKeepsACrateHalfInView) {
    const ScopedSetting<int> width(g_ScreenWidth, 64);
    CPPerspectiveCamera camera;
    camera.eye = D3DXVECTOR3(-10, 6.5f, 2);
    camera.target = D3DXVECTOR3(0, 6.5f, 2);
    camera.fov = 1.0f;
    camera.nearPlane = 1;
    camera.farPlane = 200;
    camera.viewDirty = camera.projectionDirty = true;
    camera.UpdateMatrices();
    ASSERT_TRUE(level->spatialTree);
    scene.render->visibleObjectCount = 0;
    level->spatialTree->CullVisible(&camera);
    EXPECT_EQ(scene.render->visibleObjectCount, 1);
    scene.render->GetRenderBlock()->Reset();
}

} // namespace
