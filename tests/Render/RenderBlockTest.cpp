#include "RenderTestScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

namespace {

class RenderBlockTest : public ::testing::Test {
protected:
    RenderBlockTest() : scene(PlatGraphicsBackendKind::Recording, 64, 48) {}

    CPRenderObject* AddMesh(const CPRefPtr<CPMaterial>& material, int vertexCount) {
        meshes.push_back(MakeMesh(material, vertexCount));
        return meshes.back().get();
    }
    std::vector<const PlatRecordedCall*> Frame() {
        for (const auto& mesh : meshes)
            scene.render->GetRenderBlock()->AddRenderObject(mesh.get());
        scene.Recording().ClearCalls();
        scene.render->Update();
        return scene.Recording().GetDraws();
    }
    static int DrawnVertices(const std::vector<const PlatRecordedCall*>& draws) {
        int total = 0;
        for (const PlatRecordedCall* draw : draws)
            total += static_cast<int>(draw->call.numVertices);
        return total;
    }

    // The post passes draw too: these tests count the draws of the batches.
    ScopedSetting<int> noPostPasses{g_Bloom, 0};
    RenderTestScene scene;
    std::vector<std::unique_ptr<CPRenderObject>> meshes;
};

TEST_F(RenderBlockTest, ABatchLargerThanAPairIsDrawnFromEachPairItFills) {
    const auto material = scene.Material(20, "simple.fx");
    for (int i = 0; i < 3; ++i)
        AddMesh(material, 30000);
    const auto draws = Frame();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_NE(draws[0]->vertexBuffer, draws[1]->vertexBuffer);
    EXPECT_EQ(draws[0]->call.minIndex, 0u);
    EXPECT_EQ(draws[0]->call.numVertices, 60000u);
    // The third mesh starts at vertex 0 of the next pair.
    EXPECT_EQ(draws[1]->call.minIndex, 0u);
    EXPECT_EQ(draws[1]->call.numVertices, 30000u);
    EXPECT_EQ(draws[1]->indices.front(), 0u);
    EXPECT_EQ(draws[1]->indices.back(), 29999u);
}

TEST_F(RenderBlockTest, AFrameNeedingMorePairsThanTheRingGetsAnExtraPair) {
    // Five batches that each fill most of a pair; the ring has four.
    for (int level = 20; level < 25; ++level)
        AddMesh(scene.Material(level, "simple.fx"), 40000);
    // One object larger than a pair is never written.
    AddMesh(scene.Material(30, "simple.fx"), 0x10000);
    const auto draws = Frame();
    ASSERT_EQ(draws.size(), 5u);
    std::set<uint32_t> buffers;
    for (const PlatRecordedCall* draw : draws) {
        buffers.insert(draw->vertexBuffer);
        EXPECT_EQ(draw->call.numVertices, 40000u);
    }
    EXPECT_EQ(buffers.size(), 5u);
    EXPECT_EQ(scene.render->GetRenderBlock()->vertexBuffer->pairCount, 5);
    // The next frame fits in the ring as it now is.
    EXPECT_EQ(DrawnVertices(Frame()), 200000);
    EXPECT_EQ(scene.render->GetRenderBlock()->vertexBuffer->pairCount, 5);
}

TEST_F(RenderBlockTest, AnExtraPairThatCannotBeCreatedLeavesTheRingAsItWas) {
    CPIVertexBuffer& ring = *scene.render->GetRenderBlock()->vertexBuffer;
    // Index buffers of this capacity are larger than the device allows.
    const int indexCapacity = ring.indexCapacity;
    for (int level = 20; level < 25; ++level)
        AddMesh(scene.Material(level, "simple.fx"), 40000);
    ring.indexCapacity = 0x10000000;
    Frame();
    ring.indexCapacity = indexCapacity;
    EXPECT_EQ(ring.pairCount, 4);
    EXPECT_EQ(ring.vertexBuffers.size(), 4u);
    EXPECT_TRUE(std::all_of(ring.indexBuffers.begin(), ring.indexBuffers.end(), [](auto* b) { return b; }));

    // The next frames draw again, within the ring.
    meshes.pop_back();
    for (int frame = 0; frame < 2; ++frame)
        EXPECT_EQ(DrawnVertices(Frame()), 160000) << "frame " << frame;
}

TEST_F(RenderBlockTest, SceneObjectsSubmitTheirVisualsAndChildren) {
    const auto material = scene.Material(20, "simple.fx");
    CPRenderObject* parentMesh = AddMesh(material, 3);
    CPRenderObject* childMesh = AddMesh(material, 4);
    TestSceneObject parent, child, lamp;
    parent.visual = parentMesh;
    child.visual = childMesh;
    lamp.visualKind = VISUAL_LIGHT;
    parent.children = {&child, &lamp};
    CPRenderBlock& block = *scene.render->GetRenderBlock();

    struct Case {
        const char* name;
        bool parentVisible;
        bool blockStatic;
        bool parentStatic;
        int vertices;
        int lights;
    };
    const Case cases[] = {
        {"visible tree", true, false, false, 7, 1},
        {"invisible parent hides its children", false, false, false, 0, 0},
        {"static block skips dynamic objects", true, true, false, 0, 0},
        {"static block takes static objects", true, true, true, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        parent.visible = c.parentVisible;
        parent.isStatic = c.parentStatic;
        block.isStatic = c.blockStatic;
        block.AddObject(&parent);
        int vertices = 0;
        for (const auto& [key, batch] : block.frameBatches)
            vertices += batch->vertexCount;
        EXPECT_EQ(vertices, c.vertices);
        EXPECT_EQ(scene.render->lightCount, c.lights);
        block.Reset();
        scene.render->lightCount = 0;
    }
    block.isStatic = false;
}

// Each batch holds the objects of its material in the order they came,
// the batches are listed in the order their materials first came, and a
// material keeps its batch in each block over the frames; objects without a
// material are left out.
TEST_F(RenderBlockTest, BatchesHoldTheirMaterialsObjectsInOrderOfFirstArrival) {
    std::vector<CPRefPtr<CPMaterial>> materials = {scene.Material(20, "simple.fx"),
                                                   scene.Material(21, "simple.fx")};
    CPRenderBlock other;
    ASSERT_TRUE(other.Create(false, 1, 0, 0));
    std::unordered_map<const CPMaterial*, const CPIVBlock*> mainBatches, otherBatches;

    using Batches = std::vector<std::pair<CPMaterial*, std::vector<CPBaseRenderObject*>>>;
    struct Case {
        const char* name;
        std::vector<int> materialOf; // -1: no material
    };
    const Case cases[] = {
        {"nothing", {}},
        {"one material", {0, 0, 0}},
        {"interleaved", {1, 0, 1, 1, 0}},
        {"a material made after the block's first batches", {2, 0, 2}},
        {"without a material", {-1, 1, -1}},
        {"the same materials again", {1, 0, 1, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (materials.size() < 3 &&
            std::find(c.materialOf.begin(), c.materialOf.end(), 2) != c.materialOf.end())
            materials.push_back(scene.Material(22, "simple.fx"));
        Batches expected;
        meshes.clear();
        for (int index : c.materialOf) {
            CPRenderObject* mesh = AddMesh(index < 0 ? nullptr : materials[index], 3);
            if (index < 0)
                continue;
            auto batch = std::find_if(expected.begin(), expected.end(), [&](const auto& entry) {
                return entry.first == mesh->GetMaterial().Get();
            });
            if (batch == expected.end())
                batch = expected.insert(expected.end(), {mesh->GetMaterial().Get(), {}});
            batch->second.push_back(mesh);
        }
        for (auto [block, kept] : {std::pair{scene.render->GetRenderBlock().Get(), &mainBatches},
                                   std::pair{&other, &otherBatches}}) {
            for (const auto& mesh : meshes)
                block->AddRenderObject(mesh.get());
            Batches listed;
            for (const auto& [material, batch] : block->frameBatches) {
                listed.emplace_back(material, batch->objects);
                EXPECT_EQ(batch->vertexCount, 3 * static_cast<int>(batch->objects.size()));
                const auto [entry, first] = kept->emplace(material, batch);
                EXPECT_EQ(entry->second, batch) << "a material keeps its batch";
            }
            EXPECT_EQ(listed, expected);
            block->Reset();
        }
    }
    for (const auto& [material, batch] : mainBatches)
        EXPECT_NE(otherBatches.at(material), batch) << "each block has its own batches";
}

TEST_F(RenderBlockTest, MeshesFollowTheirOwnersAndOffsetTheirIndices) {
    TestSceneObject owner;
    CPRenderObject* mesh = AddMesh(scene.Material(20, "simple.fx"), 3);
    mesh->owner = &owner;
    mesh->indices = {0, 2, 0xFFFF};
    D3DXMatrixTranslation(&owner.world, 10, 0, 0);
    MeshVertex vertices[3];
    uint16_t indices[3];

    mesh->Fill(vertices, indices, 1, 0);
    // The owner did not report a move: the vertices stay where they were.
    EXPECT_EQ(vertices[1].x, 1.0f);
    EXPECT_EQ(indices[0], 1u);
    EXPECT_EQ(indices[2], 0u) << "16-bit index addition wraps";

    owner.worldChanged = true;
    mesh->Fill(vertices, indices, 0, 0);
    EXPECT_EQ(vertices[1].x, 11.0f);
    EXPECT_FALSE(owner.worldChanged);
    mesh->sourceVertices[1].x = 5;
    mesh->Fill(vertices, indices, 0, 0);
    EXPECT_EQ(vertices[1].x, 11.0f) << "unmoved owner, unchanged copy";

    // Static meshes write nothing; an empty mesh cannot become static.
    mesh->SetStatic(true);
    vertices[0].x = -1;
    mesh->Fill(vertices, indices, 0, 0);
    EXPECT_EQ(vertices[0].x, -1.0f);
    CPRenderObject empty(nullptr);
    empty.SetStatic(true);
    EXPECT_FALSE(empty.IsStatic());
    EXPECT_EQ(scene.render->GetStaticBuffers("empty", nullptr, nullptr, 0, 0), nullptr);
}

TEST_F(RenderBlockTest, CopiesOfAStaticMeshShareItsBuffers) {
    CPRenderObject* source = AddMesh(scene.Material(17, "simple.fx"), 4);
    source->SetStatic(true);
    source->name = "Rock";
    auto first = std::make_unique<CPRenderObject>(nullptr);
    auto second = std::make_unique<CPRenderObject>(nullptr);
    first->CopyFrom(source);
    second->CopyFrom(source);
    ASSERT_NE(first->staticBuffers, nullptr);
    EXPECT_EQ(first->staticBuffers, second->staticBuffers);
    EXPECT_EQ(first->staticBuffers, scene.render->GetStaticBuffers("rock", nullptr, nullptr, 0, 0));
    EXPECT_EQ(first->staticBuffers->triangleCount, 2);

    // A frame draws both from the shared buffers, each with its own world.
    D3DXMatrixTranslation(&second->staticWorld, 0, 5, 0);
    meshes.clear();
    meshes.push_back(std::move(first));
    meshes.push_back(std::move(second));
    const auto draws = Frame();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0]->vertexBuffer, draws[1]->vertexBuffer);
    EXPECT_EQ(draws[1]->state.Transform(D3DTS_WORLD)._42, 5.0f);
}

TEST_F(RenderBlockTest, WhatWasDrawnBeforeAStopIsDrawnAgainAfterTheRestart) {
    AddMesh(scene.Material(17, "simple.fx"), 4);
    CPRenderObject* source = AddMesh(scene.Material(18, "simple.fx"), 3);
    source->SetStatic(true);
    source->name = "rock";
    meshes.push_back(std::make_unique<CPRenderObject>(nullptr));
    meshes.back()->CopyFrom(source);
    meshes.erase(meshes.begin() + 1);
    ASSERT_EQ(Frame().size(), 2u);

    scene.render->Stop();
    PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::Recording);
    ASSERT_TRUE(scene.render->Start());
    PlatSetGraphicsBackendKind(PlatGraphicsBackendKind::OpenGL);
    const auto draws = Frame();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0]->call.numVertices, 4u);
    EXPECT_EQ(draws[1]->call.numVertices, 3u) << "the static mesh, from buffers made anew";
}

TEST_F(RenderBlockTest, StaticPlacementPutsObjectsOneAfterAnotherAndMovesOnWhenAPairIsFull) {
    // Two pairs of 16 vertices each. The tree: a root with children (one not
    // static but with a static child, one invisible, one a sprite, one
    // sharing a placed mesh) and a second detail level.
    CPRenderBlock block;
    ASSERT_TRUE(block.Create(false, 2, 16, 64));
    const auto material = scene.Material(20, "simple.fx");
    TestSceneObject root, shared, dynamic, nested, hidden, hiddenChild, sprite, detail, first;
    for (TestSceneObject* object : {&root, &first, &shared, &nested, &hidden, &hiddenChild, &sprite, &detail})
        object->isStatic = true;
    root.visual = meshes.emplace_back(MakeMesh(material, 6, 1)).get();
    first.visual = meshes.emplace_back(MakeMesh(material, 4, 2)).get();
    shared.visual = first.visual;
    dynamic.visual = meshes.emplace_back(MakeMesh(material, 3, 9)).get();
    nested.visual = meshes.emplace_back(MakeMesh(material, 5, 3)).get();
    hidden.visible = false;
    hidden.visual = hiddenChild.visual = meshes.emplace_back(MakeMesh(material, 3, 9)).get();
    sprite.visualKind = VISUAL_SPRITE;
    sprite.visual = dynamic.visual;
    detail.visual = meshes.emplace_back(MakeMesh(material, 6, 4)).get();
    dynamic.children = {&nested};
    hidden.children = {&hiddenChild};
    root.children = {&first, &shared, &dynamic, &hidden, &sprite};
    root.lods = {&detail};

    block.Lock();
    block.AddStaticObjects(&root);
    block.Unlock();
    const CPIVertexBuffer& ring = *block.vertexBuffer;
    const std::unordered_map<CPBaseRenderObject*, int> expected = {
        {root.visual, 0}, {first.visual, 6}, {nested.visual, 10}, {detail.visual, 0}};
    EXPECT_EQ(ring.placements, expected);
    EXPECT_EQ(ring.staticVertexTotal, 21);

    // The first pair holds root, first and nested, each with its base vertex
    // in its indices; the detail level did not fit and starts the second.
    const auto vertexZ = [&](int pair, int vertex) {
        return reinterpret_cast<const MeshVertex*>(ring.vertexBuffers[pair]->GetBytes())[vertex].z;
    };
    const auto index = [&](int pair, int position) {
        return reinterpret_cast<const uint16_t*>(ring.indexBuffers[pair]->GetBytes())[position];
    };
    EXPECT_EQ(vertexZ(0, 0), 1.0f);
    EXPECT_EQ(vertexZ(0, 6), 2.0f);
    EXPECT_EQ(vertexZ(0, 10), 3.0f);
    EXPECT_EQ(vertexZ(1, 0), 4.0f);
    EXPECT_EQ((std::vector<uint16_t>{index(0, 0), index(0, 12), index(0, 17), index(0, 18), index(0, 26)}),
              (std::vector<uint16_t>{0, 6, 9, 10, 14}));
    EXPECT_EQ((std::vector<uint16_t>{index(1, 0), index(1, 11)}), (std::vector<uint16_t>{0, 5}));

    // Placed objects are not placed again; nothing is placed without a lock.
    block.Lock();
    ASSERT_TRUE(ring.locked);
    EXPECT_FALSE(block.vertexBuffer->AddStatic(root.visual));
    block.Unlock();
    TestSceneObject late;
    late.isStatic = true;
    late.visual = meshes.emplace_back(MakeMesh(material, 3)).get();
    block.AddStaticObjects(&late);
    EXPECT_EQ(ring.staticVertexTotal, 21);
}

} // namespace
