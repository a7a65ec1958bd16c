#include "MeshManagerSupport.h"

#include "Core/Log.h"

#include "Support/GameTestSupport.h"

#include "Core/PSettings.h"
#include "Render/PAnimatedObject.h"
#include "Render/PLight.h"
#include "Render/PSprite.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

MeshFile FileOf(EMeshFileFormat format, std::vector<MeshFileNode> roots) {
    MeshFile file;
    file.format = format;
    file.roots = std::move(roots);
    return file;
}

std::vector<std::string> Names(const CPRefPtr<CPGameObject>& root) {
    std::vector<CPRefPtr<CPGameObject>> tree;
    root->CollectTree(tree);
    std::vector<std::string> names;
    for (const auto& object : tree)
        names.push_back(object->GetName());
    return names;
}

std::string EffectOf(const CPRefPtr<CPMaterial>& material) {
    return material && material->effect ? material->effect->name : "";
}

std::vector<std::string> TexturesOf(const CPRefPtr<CPMaterial>& material) {
    std::vector<std::string> names;
    for (const auto& texture : material->textures->textures)
        names.push_back(texture ? texture->name : "");
    return names;
}

TEST(ObjectDescription, KeysValuesAndSectionsFollowTheTextRules) {
    const std::string text = "Model = ANIM;Walk,a.msh\n"
                             "effectfile = before.fx\n"
                             "sprite = s1,0,0,1\n"
                             "[Door]\n"
                             "Effectfile = Holey.FX = dropped\n"
                             "lod = null,50\n"
                             "[other]\n"
                             "type = 1\n"
                             "[door]\n"
                             "type = 2\n"
                             "type = 3\n"
                             "description = First\n"
                             "description = Second\n";
    ObjectDescription description;
    ParseObjectDescription(text.data(), text.size(), description);
    EXPECT_EQ(description.modelSpec, "ANIM;Walk,a.msh") << "the model line keeps its case";
    EXPECT_EQ(description.sections.size(), 2u) << "no section before the first section line";
    const DescriptionSection expectedDoor = {{"effectfile", "holey.fx"}, {"type", "3"}};
    EXPECT_EQ(description.Section("door"), expectedDoor);
    EXPECT_EQ(description.sprites, std::vector<std::string>{"s1,0,0,1"}) << "global before any section";
    EXPECT_EQ(description.lods, std::vector<std::string>{"null,50"}) << "global inside a section";
    EXPECT_EQ(description.description, "second");
    EXPECT_TRUE(description.Section("missing").empty());

    ObjectDescription bare;
    ParseObjectDescription("no equals sign\n", 15, bare);
    EXPECT_EQ(bare.modelSpec, "");

    EXPECT_EQ(TextToFloat(" 2.5x"), 2.5f);
    EXPECT_EQ(TextToFloat("+1e1"), 10.0f);
    EXPECT_EQ(TextToFloat(""), 0.0f);
    EXPECT_EQ(TextToInt("-7,"), -7);
    EXPECT_EQ(TextToInt("abc"), 0);
}

class MeshManagerTest : public ::testing::Test {
protected:
    MeshManagerScene scene;
};

TEST_F(MeshManagerTest, StaticMeshFileGivesATreeOfStaticMeshesWithTheirSections) {
    MeshFile file = FileOf(EMeshFileFormat::Static, {MakeQuadNode("Quad")});
    file.roots[0].children.push_back(MakeQuadNode("Handle"));
    file.roots[0].children[0].partBoxes.push_back({{1, 2, 3}, {0.5f, 1, 1.5f}});
    file.roots[0].vertices[0].diffuse = 0xff123456;
    file.hasTrailingBlock = true;
    file.trailing.push_back({"marker", {}});
    scene.WriteMesh("Quad.msh", file);
    scene.WriteDescription("quad.rdf", "obj=Quad.msh\n"
                                       "[quad]\n"
                                       "effectfile=Simple.FX\n"
                                       "texturefile1=wall.tga\n"
                                       "texturefile3=third.tga\n"
                                       "type=3\n"
                                       "linekeypoint=1,2,3\n"
                                       "linecolor=ff00ff00\n");
    scene.meshes.vertexColour = 0xff808080;
    RenderTestScene::WritePicture("Data/Textures/wall.tga", Image(2, 2, 0xff0000ff));
    RenderTestScene::WritePicture("Data/Textures/third.tga", Image(2, 2, 0xff00ff00));

    const CPRefPtr<CPGameObject> root = scene.Load("quad.rdf", 20);
    ASSERT_TRUE(root);
    EXPECT_EQ(Names(root), (std::vector<std::string>{"quad", "handle"}));
    EXPECT_EQ(root->modelName, "quad.rdf");
    EXPECT_EQ(root->lineKeyPoints, std::vector<D3DXVECTOR3>{D3DXVECTOR3(1, 2, 3)});
    EXPECT_EQ(root->lineColor, 0xff00ff00u);
    ASSERT_EQ(root->GetVisualKind(), VISUAL_MESH);
    EXPECT_FALSE(root->physicData) << "no physics in this layout";

    CPRenderObject* mesh = root->GetRenderObject();
    ASSERT_EQ(mesh->GetVertexCount(), 4);
    for (const MeshVertex& vertex : mesh->sourceVertices)
        EXPECT_EQ(vertex.diffuse, 0xff808080u);
    EXPECT_EQ(mesh->material->priority, 23);
    EXPECT_EQ(EffectOf(mesh->material), "simple.fx");
    EXPECT_EQ(TexturesOf(mesh->material), (std::vector<std::string>{"wall.tga", "third.tga"}));
    EXPECT_EQ(root->GetShadowMaterial(), scene.scene.render->GetShadowMaterial());
    EXPECT_TRUE(mesh->IsStatic());
    EXPECT_EQ(mesh->name, "quad.msh"
                          "quad");
    EXPECT_EQ(mesh->staticBuffers, scene.scene.render->GetStaticBuffers("quad.msh"
                                                                        "quad",
                                                                        nullptr, nullptr, 0, 0));

    // A node without a section: base priority, empty effect, one empty texture.
    const CPRefPtr<CPGameObject> handle = root->FindChild("handle");
    CPRenderObject* handleMesh = handle->GetRenderObject();
    EXPECT_EQ(handleMesh->material->priority, 20);
    EXPECT_EQ(handleMesh->material->textures->textures.size(), 1u);
    EXPECT_EQ(handleMesh->name, "quad.msh"
                                "handle");
    ASSERT_EQ(handle->partBoxes.size(), 1u);
    ExpectNear(handle->partBoxes[0].center, {1, 2, 3});
    ExpectNear(handle->partBoxes[0].halfSize, {0.5f, 1, 1.5f});
    // The trailing block updated the hierarchy: the part box is placed.
    ExpectNear(handle->partBoxes[0].worldMax, {1.5f, 3, 4.5f});

    // The model is its own nearest level of detail.
    ASSERT_EQ(root->detailLevels.size(), 1u);
    EXPECT_EQ(root->detailLevels[0].first.Get(), root.Get());
}

TEST_F(MeshManagerTest, PhysicsMeshFileSetsTransformBodyShapesAndBounds) {
    MeshFileNode body = MakeQuadNode("Body");
    body.position = {1, 2, 3};
    body.rotation = {0, 0, 0.7071f, 0.7071f};
    body.body.size1 = 4;
    body.body.size2 = 5;
    body.body.size3 = 6;
    body.body.mass = 1500;
    MeshShape box;
    box.size1 = 2;
    box.size2 = 2;
    box.size3 = 4;
    box.mass = 10;
    MeshShape cylinder;
    cylinder.kind = 1;
    cylinder.size2 = 3;
    cylinder.diameter = 0.5f;
    cylinder.position = {1, 0, 0};
    cylinder.rotation = {0, 0.6f, 0, 0.8f};
    MeshShape unknown;
    unknown.kind = 7;
    body.shapes = {box, cylinder, unknown};
    MeshFileNode helper;
    helper.name = "Helper";
    body.children.push_back(helper);
    scene.WriteMesh("car.p3d", FileOf(EMeshFileFormat::Physics, {body}));
    scene.WriteDescription("car.rdf", "obj=car.p3d\n");

    const CPRefPtr<CPGameObject> root = scene.Load("car.rdf");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->GetPosition(), D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(root->GetOrientation(), D3DXQUATERNION(0, 0, -0.7071f, 0.7071f));
    ASSERT_TRUE(root->physicData);
    EXPECT_EQ(root->physicData->mass, 1500);
    EXPECT_EQ(root->physicData->sizes[1], 4) << "box body (size 1, size 2, size 3)";
    ASSERT_EQ(root->physicData->shapes.size(), 2u) << "unknown kinds are skipped";
    const CPPhysicData::CollisionShape& boxShape = root->physicData->shapes[0];
    ExpectNear(boxShape.position, {0, 0, 1});
    EXPECT_EQ(boxShape.rotation, D3DXQUATERNION(0, 0, 0, 1));
    const CPPhysicData::CollisionShape& cylinderShape = root->physicData->shapes[1];
    EXPECT_EQ(cylinderShape.type, 1);
    EXPECT_EQ(cylinderShape.rotation, D3DXQUATERNION(0, -0.6f, 0, 0.8f)) << "cylinders turn conjugated";
    EXPECT_EQ(cylinderShape.diameter, 0.5f);
    EXPECT_EQ(cylinderShape.size2, 3);

    ASSERT_EQ(root->partBoxes.size(), 1u) << "only box shapes give part boxes";
    ExpectNear(root->partBoxes[0].halfSize, {1, 2, 1});
    EXPECT_NEAR(root->partBoxes[0].localMatrix._43, 1, kEps);
    // The quad spans (0, 0, 0)-(1, 1, 0).
    ExpectNear(root->boundingBox.center, {0.5f, 0.5f, 0});
    ExpectNear(root->boundingBox.halfSize, {0.5f, 0.5f, 0});

    // A node without vertices: an empty box at its origin, never static.
    const CPRefPtr<CPGameObject> empty = root->FindChild("helper");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->boundingBox.center, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(empty->boundingBox.halfSize, D3DXVECTOR3(0, 0, 0));
    EXPECT_FALSE(empty->GetRenderObject()->IsStatic());
}

TEST_F(MeshManagerTest, SeveralRootNodesHangBelowARootNamedLikeTheDescription) {
    scene.WriteMesh("pair.msh", FileOf(EMeshFileFormat::Static, {MakeQuadNode("a"), MakeQuadNode("b")}));
    scene.WriteDescription("pair.rdf", "obj=pair.msh\n");
    const CPRefPtr<CPGameObject> root = scene.Load("pair.rdf");
    ASSERT_TRUE(root);
    EXPECT_EQ(Names(root), (std::vector<std::string>{"pair.rdf", "a", "b"}));
    EXPECT_EQ(root->GetVisualKind(), VISUAL_NONE);
    EXPECT_EQ(root->modelName, "pair.rdf");
}

TEST_F(MeshManagerTest, EmptyFormHoldsSpritesAttachedByParent) {
    scene.WriteDescription("glow.rdf", "obj=empty\n"
                                       "sprite=s1,0,0,1,0.5,,0,0,1,0.5\n"
                                       "sprite=s2,1,2,3,2,nowhere\n"
                                       "sprite=s3,0,0,0,1,s1\n"
                                       "[s1]\n"
                                       "effectfile=glow.fx\n");
    const CPRefPtr<CPGameObject> root = scene.Load("glow.rdf");
    ASSERT_TRUE(root);
    EXPECT_EQ(Names(root), (std::vector<std::string>{"empty", "s1", "s3", "s2"}));
    EXPECT_EQ(root->GetVisualKind(), VISUAL_NONE);
    EXPECT_TRUE(root->detailLevels.empty());

    const CPRefPtr<CPGameObject> s1 = root->FindChild("s1");
    ASSERT_EQ(s1->GetVisualKind(), VISUAL_SPRITE);
    auto* sprite = static_cast<CPSprite*>(s1->visual.Get());
    EXPECT_EQ(sprite->owner, s1.Get());
    EXPECT_EQ(sprite->halfSize, 0.5f);
    EXPECT_EQ(sprite->axis, D3DXVECTOR3(0, 0, 1));
    EXPECT_EQ(sprite->fadeAngle, 0.5f);
    EXPECT_EQ(EffectOf(sprite->material), "glow.fx");
    EXPECT_FALSE(s1->castsShadow);
    EXPECT_FALSE(s1->GetShadowMaterial()) << "sprites cast no shadow";
    EXPECT_TRUE(s1->isStatic) << "the empty form leaves sprites static";
    EXPECT_EQ(s1->GetPosition(), D3DXVECTOR3(0, 0, 1));
    EXPECT_EQ(s1->boundingBox.halfSize, D3DXVECTOR3(0.5f, 0.5f, 0.5f));
    EXPECT_EQ(root->FindChild("s2")->GetParent().Get(), root.Get()) << "an unknown parent gives the root";
}

MeshFileNode AnimatedNode(const std::string& name, float z) {
    MeshFileNode node;
    node.name = name;
    node.frameTime = 240;
    MeshFrame frame;
    MakeQuad(frame.vertices, frame.indices);
    for (MeshVertex& vertex : frame.vertices)
        vertex.z = z;
    node.frames = {frame, frame};
    return node;
}

TEST_F(MeshManagerTest, AnimationFormGivesEachNodeOneAnimationPerFile) {
    MeshFileNode first = AnimatedNode("Man", 0);
    first.children.push_back(AnimatedNode("Arm", 1));
    first.children[0].bounds.size1 = 2;
    first.children[0].bounds.size2 = 4;
    first.children[0].bounds.size3 = 6;
    first.children[0].bounds.mass = 1;
    first.body.mass = 0;
    MeshFileNode second = AnimatedNode("Man", 5);
    // Child names of further files may differ in case; an unknown one is passed over.
    second.children = {AnimatedNode("Ghost", 7), AnimatedNode("ARM", 9)};
    scene.WriteMesh("walk.msh", FileOf(EMeshFileFormat::Animation, {first}));
    scene.WriteMesh("run.msh", FileOf(EMeshFileFormat::Animation, {second}));
    scene.WriteDescription("man.rdf", "obj=anim;walk,walk.msh;gone,missing.msh;run,run.msh\n"
                                      "sprite=s1,0,0,0,1,man\n"
                                      "sprite=s2,0,0,0,1,arm\n"
                                      "sprite=s3,0,0,0,1,nobody\n"
                                      "lod=null,50\n");

    const CPRefPtr<CPGameObject> root = scene.Load("man.rdf");
    ASSERT_TRUE(root);
    EXPECT_EQ(Names(root), (std::vector<std::string>{"man", "arm", "s2", "s1"})) << "s3 has no parent";
    EXPECT_EQ(root->modelName, "man.rdf");
    EXPECT_FALSE(root->physicData) << "body mass 0";
    EXPECT_EQ(g_AnimMeshFile, "run.msh");
    ASSERT_EQ(root->GetVisualKind(), VISUAL_ANIMATED);
    const auto* animated = static_cast<CPAnimatedObject*>(root->visual.Get());
    EXPECT_EQ(animated->animations.Size(), 2u);
    EXPECT_FALSE(animated->stopped);
    ASSERT_TRUE(animated->current);
    EXPECT_EQ(animated->current.Get(), animated->animations.Find("walk")->Get());
    // The root's box comes from its frames (flat: the box keeps a sliver of depth).
    EXPECT_EQ(root->boundingBox.halfSize.x, 0.5f);
    EXPECT_EQ(root->boundingBox.halfSize.y, 0.5f);

    const CPRefPtr<CPGameObject> arm = root->FindChild("arm");
    const auto* armAnimated = static_cast<CPAnimatedObject*>(arm->visual.Get());
    ASSERT_TRUE(armAnimated->animations.Find("run"));
    EXPECT_EQ((*armAnimated->animations.Find("run"))->frames[0].vertices[0].z, 9);
    EXPECT_EQ(armAnimated->current->frames[0].vertices[0].z, 1) << "the cache key holds the file name";
    // The bounds record: (size 1, size 3, size 2) / 2.
    ExpectNear(arm->boundingBox.halfSize, {1, 3, 2});

    const CPRefPtr<CPGameObject> sprite = root->FindChild("s1");
    EXPECT_FALSE(sprite->isStatic);
    EXPECT_EQ(sprite->boundingBox.halfSize, D3DXVECTOR3(1, 1, 1));
    ASSERT_EQ(root->detailLevels.size(), 2u);
    EXPECT_FALSE(root->detailLevels[1].first);
    EXPECT_EQ(root->detailLevels[1].second, 50);
}

TEST_F(MeshManagerTest, LightsLevelsAndParticleSystemsOfAMeshModel) {
    MeshFileNode body = MakeQuadNode("Body");
    body.children.push_back(MakeQuadNode("Lamp"));
    scene.WriteMesh("box.msh", FileOf(EMeshFileFormat::Static, {body}));
    scene.WriteMesh("small.msh", FileOf(EMeshFileFormat::Static, {MakeQuadNode("small")}));
    scene.WriteDescription("small.rdf", "obj=small.msh\n");
    scene.WriteDescription("box.rdf", "obj=box.msh\n"
                                      "light=l1,lamp,x,1,2,3,0.5,0.25,1,0.1,7\n"
                                      "light=l2,,x,0,0,0,1,1,1,0,1\n"
                                      "light=l3,body,x,0,0,0,1,1,1,0,1\n"
                                      "lod=small.rdf,100\n"
                                      "lod=null,50\n"
                                      "psystem=smoke,lamp,0,0,1,0.25,fire,soot\n"
                                      "psystem=steam,nowhere,0,0,0,1,vapour\n"
                                      "psystem=snow,body,0,0,0,1,flakes\n"
                                      "psystem=deep,body,0,0,0,1,x\n");
    const int weather = g_Weather;
    g_Weather = 0;
    const CPRefPtr<CPGameObject> root = scene.Load("box.rdf");
    g_Weather = weather;
    ASSERT_TRUE(root);
    EXPECT_EQ(Names(root), (std::vector<std::string>{"body", "lamp", "l1", "smoke", "l3", "deep"}));

    const CPRefPtr<CPGameObject> lamp = root->FindChild("l1");
    ASSERT_EQ(lamp->GetVisualKind(), VISUAL_LIGHT);
    const D3DLIGHT9& light = static_cast<CPLight*>(lamp->visual.Get())->light;
    EXPECT_EQ(light.Type, D3DLIGHT_POINT);
    EXPECT_EQ(light.Diffuse, (D3DCOLORVALUE{0.5f, 0.25f, 1, 0}));
    EXPECT_EQ(light.Ambient, light.Diffuse);
    EXPECT_EQ(light.Specular, light.Diffuse);
    EXPECT_EQ(light.Range, 7);
    EXPECT_FLOAT_EQ(light.Attenuation1, 0.1f);
    EXPECT_EQ(light.Attenuation0 + light.Attenuation2, 0);
    EXPECT_EQ(lamp->GetPosition(), D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(lamp->boundingBox.halfSize, D3DXVECTOR3(7, 7, 7));
    EXPECT_FALSE(lamp->castsShadow);
    root->UpdateHierarchy();
    EXPECT_EQ(lamp->GetLight()->Position, D3DXVECTOR3(1, 2, 3));

    ASSERT_EQ(root->detailLevels.size(), 3u);
    ASSERT_TRUE(root->detailLevels[1].first);
    EXPECT_EQ(root->detailLevels[1].first->GetName(), "small");
    EXPECT_EQ(root->detailLevels[1].second, 100);
    EXPECT_FALSE(root->detailLevels[2].first);
    EXPECT_EQ(root->detailLevels[2].second, 50);

    // "steam" found no parent and "snow" waits for the weather; neither stays.
    EXPECT_EQ(scene.particlesMade, 3);
    EXPECT_EQ(scene.particlesDeleted, 0) << "the dropped steam's emitter stays with its maker";
    const CPRefPtr<CPGameObject> smoke = root->FindChild("smoke");
    ASSERT_EQ(smoke->GetVisualKind(), VISUAL_PARTICLES);
    const auto* system = static_cast<MeshManagerScene::ParticleTask*>(smoke->GetParticleTask());
    EXPECT_EQ(system->owner, smoke.Get());
    EXPECT_EQ(system->definitions, (std::vector<std::string>{"fire", "soot"}));
    EXPECT_EQ(system->period, 0.25f);
    EXPECT_EQ(smoke->GetPosition(), D3DXVECTOR3(0, 0, 1));
    EXPECT_EQ(smoke->boundingBox.halfSize, D3DXVECTOR3(0.5f, 0.5f, 0.5f));
}

TEST_F(MeshManagerTest, MissingDescriptionsFallBackOnceAndNestingEnds) {
    scene.WriteMesh("wrong.msh", FileOf(EMeshFileFormat::Static, {MakeQuadNode("wrong")}));
    scene.WriteDescription("wrong.rdf", "obj=wrong.msh\n[wrong]\ntype=1\n");
    const CPRefPtr<CPGameObject> fallback = scene.Load("nothere.rdf", 40);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->GetName(), "wrong");
    EXPECT_EQ(fallback->GetRenderObject()->material->priority, 41);

    // A chain of descriptions, each the level of detail of the one before,
    // stops after a few levels.
    for (int k = 0; k < 12; ++k)
        scene.WriteDescription("chain" + std::to_string(k) + ".rdf",
                               "obj=wrong.msh\nlod=chain" + std::to_string(k + 1) + ".rdf,10\n");
    const CPRefPtr<CPGameObject> chain = scene.Load("chain0.rdf");
    ASSERT_TRUE(chain);
    int depth = 0;
    for (CPGameObject* level = chain.Get(); level && level->detailLevels.size() > 1;
         level = level->detailLevels[1].first.Get())
        ++depth;
    EXPECT_EQ(depth, CPMeshManager::kMaxNesting);

    // Without the fallback file nothing is built, and the load ends.
    std::filesystem::remove("Data/Meshes/wrong.rdf");
    EXPECT_FALSE(scene.Load("nothere.rdf"));
    // A mesh file that is missing or malformed gives no model either.
    scene.WriteDescription("broken.rdf", "obj=broken.msh\n");
    EXPECT_FALSE(scene.Load("broken.rdf"));
    TempGameRoot::WriteFile("Data/Meshes/broken.msh", std::string("\x01\x00\x00\x00\x05\x00\x00\x00", 8));
    EXPECT_FALSE(scene.Load("broken.rdf"));
}

// Every model of the tree of levels of detail below a root, the root too.
int ModelCount(const CPGameObject* root) {
    int count = 1;
    for (std::size_t k = 1; k < root->detailLevels.size(); ++k) {
        if (const CPGameObject* level = root->detailLevels[k].first.Get())
            count += ModelCount(level);
    }
    return count;
}

TEST_F(MeshManagerTest, DescriptionsThatLoadThemselvesOrFanOutAreCut) {
    std::string log;
    GetLog().SetSink([&](std::string_view text) { log += text; });
    scene.WriteMesh("wrong.msh", FileOf(EMeshFileFormat::Static, {MakeQuadNode("wrong")}));
    scene.WriteDescription("self.rdf", "obj=wrong.msh\nlod=self.rdf,10\nlod=SELF.rdf,20\nlod=self.rdf,30\n");
    const CPRefPtr<CPGameObject> self = scene.Load("self.rdf");
    ASSERT_TRUE(self);
    EXPECT_EQ(ModelCount(self.Get()), 1);
    ASSERT_EQ(self->detailLevels.size(), 4u) << "each refused level stays a null level";
    EXPECT_EQ(self->detailLevels[3].second, 30);
    EXPECT_NE(log.find("self.rdf"), std::string::npos) << log;

    // Four generations of three levels each below the first: 121 models.
    for (int k = 0; k < 4; ++k) {
        const std::string next = "fan" + std::to_string(k + 1) + ".rdf,10\n";
        scene.WriteDescription("fan" + std::to_string(k) + ".rdf",
                               "obj=wrong.msh\nlod=" + next + "lod=" + next + "lod=" + next);
    }
    scene.WriteDescription("fan4.rdf", "obj=wrong.msh\n");
    const CPRefPtr<CPGameObject> fan = scene.Load("fan0.rdf");
    ASSERT_TRUE(fan);
    EXPECT_EQ(ModelCount(fan.Get()), 1 + CPMeshManager::kMaxNestedLoads);
    // The cap belongs to one top-level load: the next starts afresh.
    const CPRefPtr<CPGameObject> again = scene.Load("fan2.rdf");
    EXPECT_EQ(ModelCount(again.Get()), 1 + 3 + 9);
    GetLog().SetSink({});
}

} // namespace

// The repair crate the build converts into the demo Data tree: one node
// named as the pickup test knows it, a textured mesh and the part box round
// the unit cube.
TEST_F(MeshManagerTest, TheBuiltRepairCrateHasItsNodeMeshAndPartBox) {
    for (const char* file : {"Meshes/bonus_remont.rdf", "Meshes/bonus_remont.msh", "Textures/crate.tga"}) {
        const std::filesystem::path target = std::filesystem::path("Data") / file;
        std::filesystem::create_directories(target.parent_path());
        std::filesystem::copy_file(std::filesystem::path(KV_BUILD_DATA) / file, target);
    }
    const CPRefPtr<CPGameObject> crate = scene.Load("bonus_remont.rdf");
    ASSERT_TRUE(crate);
    EXPECT_EQ(Names(crate), std::vector<std::string>{"bonus_remont"});
    ASSERT_EQ(crate->GetVisualKind(), VISUAL_MESH);
    CPRenderObject* mesh = crate->GetRenderObject();
    EXPECT_EQ(mesh->GetVertexCount(), 24) << "four corners for each of six faces";
    EXPECT_EQ(EffectOf(mesh->material), "simple.fx");
    EXPECT_EQ(TexturesOf(mesh->material), std::vector<std::string>{"crate.tga"});
    ASSERT_EQ(crate->partBoxes.size(), 1u);
    ExpectNear(crate->partBoxes[0].center, {0, 0, 0});
    ExpectNear(crate->partBoxes[0].halfSize, {0.5f, 0.5f, 0.5f});
    crate->SetPosition({10, 20, 1});
    crate->UpdateHierarchy();
    ExpectNear(crate->partsBounds.min, {9.5f, 19.5f, 0.5f});
    ExpectNear(crate->partsBounds.max, {10.5f, 20.5f, 1.5f});
}
