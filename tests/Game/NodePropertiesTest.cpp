#include "MeshManagerSupport.h"

#include "Render/PFadeVertexEffect.h"
#include "Render/PMovingTexVertexEffect.h"
#include "Support/GameTestSupport.h"
#include "Support/TestScripts.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string EffectOf(const CPRefPtr<CPMaterial>& material) {
    return material && material->effect ? material->effect->name : "";
}

std::vector<std::string> TexturesOf(const CPRefPtr<CPMaterial>& material) {
    std::vector<std::string> names;
    for (const auto& texture : material->textures->textures)
        names.push_back(texture->name);
    return names;
}

// A node animation file: int32 track count, then per track a counted name,
// int32 key count and keys of a duration and a 4x3 matrix by columns.
std::string AnimationFile(const std::vector<std::pair<std::string, int>>& tracks) {
    std::string bytes;
    const auto put = [&](const void* data, std::size_t size) {
        bytes.append(static_cast<const char*>(data), size);
    };
    const auto putInt = [&](int32_t value) { put(&value, 4); };
    putInt(static_cast<int32_t>(tracks.size()));
    for (const auto& [name, keys] : tracks) {
        putInt(static_cast<int32_t>(name.size()));
        put(name.data(), name.size());
        putInt(keys);
        for (int k = 0; k < keys; ++k) {
            const float key[13] = {1, 1, 0, 0, static_cast<float>(k), 0, 1, 0, 0, 0, 0, 1, 0};
            put(key, sizeof(key));
        }
    }
    return bytes;
}

class NodePropertiesTest : public ::testing::Test {
protected:
    // Loads a static mesh file of the named quads under a description with
    // the given lines after the model line.
    CPRefPtr<CPGameObject> Load(const std::vector<std::string>& nodes, const std::string& lines) {
        MeshFile file;
        for (const std::string& name : nodes)
            file.roots.push_back(MakeQuadNode(name));
        scene.WriteMesh("model.msh", file);
        scene.WriteDescription("model.rdf", "obj=model.msh\n" + lines);
        return scene.Load("model.rdf", 30);
    }

    // Outlives the models, which hold their scripts.
    TestScripts scripts{{"door"}};
    MeshManagerScene scene;
};

TEST_F(NodePropertiesTest, MaterialsFromShadowTexturesFireTexturesAndHoleyEffects) {
    RenderTestScene::WritePicture("Data/Textures/lm/house_lm.dds", Image(2, 2, 0xff808080));
    TempGameRoot::WriteFile("Data/Effects/terrain_lm.fx", TempGameRoot::ReadFile("Data/Effects/simple.fx"));
    RenderTestScene::WritePicture("Data/Textures/wall_fire.tga", Image(2, 2, 0xffff0000));
    const CPRefPtr<CPGameObject> root = Load({"house", "shed", "fence", "tiny"},
                                             "shadowtextures=lm,_lm.dds,_lm.fx\n"
                                             "[house]\neffectfile=terrain.fx\n"
                                             "[shed]\neffectfile=terrain.fx\n"
                                             "[fence]\neffectfile=holey.fx\ntexturefile1=wall.dds\nshadow=0\n"
                                             "[tiny]\neffectfile=fx\n");
    ASSERT_TRUE(root);
    EXPECT_FALSE(scene.meshes.shadowTexturesOn) << "only while the description loads";
    EXPECT_EQ(scene.meshes.shadowTextureDir, "lm");

    const CPRefPtr<CPMaterial> house = root->FindChild("house")->GetRenderObject()->material;
    EXPECT_EQ(EffectOf(house), "terrain_lm.fx");
    EXPECT_EQ(TexturesOf(house), (std::vector<std::string>{"error.tga", "lm\\house_lm.dds"}));
    EXPECT_EQ(EffectOf(root->FindChild("shed")->GetRenderObject()->material), "terrain.fx")
        << "no lm\\shed_lm.dds";
    // A name shorter than its extension is taken whole.
    EXPECT_EQ(EffectOf(root->FindChild("tiny")->GetRenderObject()->material), "fx");

    const CPRefPtr<CPGameObject> fence = root->FindChild("fence");
    ASSERT_TRUE(fence->GetShadowMaterial()) << "chosen before the shadow key";
    EXPECT_FALSE(fence->castsShadow);
    EXPECT_EQ(EffectOf(fence->GetShadowMaterial()), "holey_shadow.fx");
    EXPECT_EQ(fence->GetShadowMaterial()->priority, 16);
    ASSERT_TRUE(fence->material) << "wall_fire.tga is on disk";
    EXPECT_EQ(fence->material->priority, 20);
    EXPECT_EQ(EffectOf(fence->material), "holey.fx");
    EXPECT_EQ(TexturesOf(fence->material), std::vector<std::string>{"wall_fire.tga"});
    EXPECT_FALSE(root->FindChild("house")->material);
    EXPECT_EQ(root->FindChild("house")->GetShadowMaterial(), scene.scene.render->GetShadowMaterial());
}

TEST_F(NodePropertiesTest, FlagsScriptsAndVertexEffects) {
    const CPRefPtr<CPGameObject> root =
        Load({"door", "frame"}, "[door]\nvisible=0\ncollision=0\nparam=Left Wing\nflametype=2\n"
                                "script=door\n"
                                "[frame]\nscript=none\nvertexeffect=fade 100;movingtex 1,2\n");
    ASSERT_TRUE(root);
    const CPRefPtr<CPGameObject> door = root->GetPart("door");
    EXPECT_FALSE(door->visible);
    EXPECT_FALSE(door->collision);
    EXPECT_EQ(door->param, "left wing");
    EXPECT_EQ(door->flameType, 2);
    EXPECT_EQ(door->GetScript(), &scripts["door"]);
    EXPECT_FALSE(door->isStatic);

    const CPRefPtr<CPGameObject> frame = root->FindChild("frame");
    EXPECT_EQ(frame->GetScript(), nullptr);
    EXPECT_FALSE(frame->GetRenderObject()->IsStatic()) << "a vertexeffect key keeps the mesh dynamic";
    // Both effects are made from their keywords and attached in order.
    const CPRenderObject* mesh = frame->GetRenderObject();
    EXPECT_TRUE(mesh->hasVertexEffects);
    ASSERT_EQ(mesh->vertexEffects.size(), 2u);
    EXPECT_TRUE(dynamic_cast<const CPFadeVertexEffect*>(mesh->vertexEffects[0]));
    EXPECT_TRUE(dynamic_cast<const CPMovingTexVertexEffect*>(mesh->vertexEffects[1]));
}

TEST_F(NodePropertiesTest, AnimationTracksGoToEveryNodeOfTheSubtreeBearingTheirName) {
    TempGameRoot::WriteFile("Data/Animations/open.anm", AnimationFile({{"Door", 4}, {"nobody", 1}}));
    TempGameRoot::WriteFile("Data/Animations/bad.anm", AnimationFile({{"door", 2}}).substr(0, 40));
    MeshFile file;
    MeshFileNode house = MakeQuadNode("house");
    const MeshFileNode door = MakeQuadNode("Door");
    house.children = {door, door};
    file.roots = {house};
    scene.WriteMesh("house.msh", file);
    scene.WriteDescription("house.rdf", "obj=house.msh\n"
                                        "[house]\nanimation=open,open.anm;broken,bad.anm;gone,missing.anm\n");
    const CPRefPtr<CPGameObject> root = scene.Load("house.rdf");
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 2u);
    const CPRefPtr<CPGameObject> first = root->children[0];
    const CPRefPtr<CPGameObject> second = root->children[1];
    ASSERT_TRUE(first->animations.Find("open"));
    const CPRefPtr<CPPartAnimation> track = *first->animations.Find("open");
    EXPECT_EQ(*second->animations.Find("open"), track) << "one track for both";
    EXPECT_EQ(track->owner, second.Get()) << "the later object owns it";
    ASSERT_EQ(track->durations.size(), 4u);
    EXPECT_EQ(track->keys[2]._41, 2) << "the translation row's x is the fourth float";
    EXPECT_EQ(track->keys[2]._11, 1);
    EXPECT_FALSE(first->animations.Find("broken")) << "a truncated file gives no tracks";
    EXPECT_FALSE(first->animations.Find("gone"));
    EXPECT_FALSE(root->HasAnimations());
    EXPECT_FALSE(first->isStatic);
}

} // namespace
