#include "Platform/Random.h"
#include "RenderTestScene.h"
#include "meshtool/MeshWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

MeshVertex VertexAt(float x, float y, float z) {
    MeshVertex vertex{};
    vertex.x = x;
    vertex.y = y;
    vertex.z = z;
    vertex.nz = 1;
    vertex.diffuse = 0xff000000;
    return vertex;
}

// A body (a unit quad) with a wheel and a door: the door's vertices lie
// within 0.3 of each other and span more than 0.4, one of them doubled
// within 0.1.
struct BodyFixture {
    BodyFixture() {
        body.name = "body";
        bodyMesh = std::make_unique<CPRenderObject>(&body);
        MakeQuad(bodyMesh->sourceVertices, bodyMesh->indices);
        for (MeshVertex& vertex : bodyMesh->sourceVertices)
            vertex.diffuse = 0xff000000;
        bodyMesh->vertices = bodyMesh->sourceVertices;
        body.visual = bodyMesh.get();
        AddPart(wheel, wheelMesh, "w0", {VertexAt(0.5f, 0.5f, 0)});
        AddPart(door, doorMesh, "door",
                {VertexAt(5, 0, 0), VertexAt(5.29f, 0, 0), VertexAt(5, 0.29f, 0), VertexAt(5, 0, 0.29f),
                 VertexAt(5.05f, 0, 0)});
        bodyMesh->BuildDeformParts();
    }

    void AddPart(TestSceneObject& object, std::unique_ptr<CPRenderObject>& mesh, const std::string& name,
                 const std::vector<MeshVertex>& vertices) {
        object.name = name;
        object.parent = &body;
        mesh = std::make_unique<CPRenderObject>(&object);
        mesh->sourceVertices = vertices;
        mesh->vertices = vertices;
        object.visual = mesh.get();
        body.children.push_back(&object);
    }

    TestSceneObject body, wheel, door;
    std::unique_ptr<CPRenderObject> bodyMesh, wheelMesh, doorMesh;
};

TEST(DeformParts, ClustersTheBodyAndItsPartsWithoutTheWheels) {
    BodyFixture fixture;
    const auto& parts = fixture.bodyMesh->parts;
    EXPECT_TRUE(fixture.bodyMesh->hasParts);
    // The four corners of the body, then the door.
    ASSERT_EQ(parts.size(), 5u);
    for (int k = 0; k < 4; ++k) {
        const DeformPart& corner = parts[k];
        ASSERT_EQ(corner.groups.size(), 1u);
        // The body mesh is listed for itself and for its owner.
        ASSERT_EQ(corner.groups[0].size(), 2u);
        EXPECT_EQ(corner.groups[0][0], &fixture.bodyMesh->sourceVertices[k]);
        EXPECT_EQ(corner.groups[0][1], &fixture.bodyMesh->sourceVertices[k]);
        // A small part gets a cube at its minimum.
        EXPECT_EQ(corner.box.center, D3DXVECTOR3(fixture.bodyMesh->sourceVertices[k].x,
                                                 fixture.bodyMesh->sourceVertices[k].y, 0));
        EXPECT_EQ(corner.box.halfSize, D3DXVECTOR3(0.3f, 0.3f, 0.3f));
        EXPECT_EQ(corner.damage, 0.0f);
    }
    const DeformPart& door = parts[4];
    ASSERT_EQ(door.groups.size(), 4u);
    EXPECT_EQ(door.groups[0].size(), 2u);
    EXPECT_NEAR(door.box.center.x, 5.145f, 1e-5f);
    EXPECT_NEAR(door.box.center.z, 0.145f, 1e-5f);
    EXPECT_NEAR(door.box.halfSize.y, 0.145f, 1e-5f);
    for (const auto* mesh : {fixture.bodyMesh.get(), fixture.doorMesh.get()})
        for (const MeshVertex& vertex : mesh->sourceVertices)
            EXPECT_EQ(vertex.diffuse, 0xffffffffu);
    EXPECT_EQ(fixture.wheelMesh->sourceVertices[0].diffuse, 0xff000000u);
}

TEST(DeformParts, AnImpactTurnsTheNormalsOfThePartsItReaches) {
    BodyFixture fixture;
    PlatSRand(7);
    // Straight down onto the door from 1.21 above its top.
    fixture.bodyMesh->DeformParts(D3DXVECTOR3(5.1f, 0.1f, 1.5f), D3DXVECTOR3(0, 0, -1), 0.4f);
    const int next = PlatRand();

    EXPECT_FLOAT_EQ(fixture.bodyMesh->parts[4].damage, 0.4f);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(fixture.bodyMesh->parts[k].damage, 0.0f);
    for (const MeshVertex& vertex : fixture.doorMesh->sourceVertices) {
        EXPECT_EQ(vertex.diffuse, 0x96FFFFFFu);
        const D3DXVECTOR3 normal(vertex.nx, vertex.ny, vertex.nz);
        EXPECT_NEAR(D3DXVec3Length(&normal), 1.0f, 1e-5f);
        EXPECT_NE(vertex.nz, 1.0f);
        // Three turns of at most 0.05 rad each.
        EXPECT_GT(vertex.nz, std::cos(0.15f));
    }
    for (const MeshVertex& vertex : fixture.bodyMesh->sourceVertices)
        EXPECT_EQ(vertex.nz, 1.0f);
    // Three draws for each of the five door vertices, in order.
    PlatSRand(7);
    for (int k = 0; k < 15; ++k)
        PlatRand();
    EXPECT_EQ(PlatRand(), next);

    // The same seed dents the same way.
    BodyFixture again;
    PlatSRand(7);
    again.bodyMesh->DeformParts(D3DXVECTOR3(5.1f, 0.1f, 1.5f), D3DXVECTOR3(0, 0, -1), 0.4f);
    for (std::size_t k = 0; k < again.doorMesh->sourceVertices.size(); ++k)
        EXPECT_EQ(again.doorMesh->sourceVertices[k].nx, fixture.doorMesh->sourceVertices[k].nx);
}

TEST(DeformParts, DamageRules) {
    struct Case {
        float damageBefore;
        D3DXVECTOR3 from;
        float amount;
        float damageAfter;
    };
    const D3DXVECTOR3 above(5.1f, 0.1f, 1.5f), tooHigh(5.1f, 0.1f, 2.1f);
    const Case cases[] = {
        {0.0f, above, 0.01f, 0.0f},
        {0.99f, above, 0.02f, 1.01f},
        // Fully damaged parts take no more.
        {1.0f, above, 0.5f, 1.0f},
        // The box is 1.81 away: beyond the reach of 1.7.
        {0.0f, tooHigh, 0.5f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        BodyFixture fixture;
        fixture.bodyMesh->parts[4].damage = c.damageBefore;
        fixture.bodyMesh->DeformParts(c.from, D3DXVECTOR3(0, 0, -1), c.amount);
        EXPECT_FLOAT_EQ(fixture.bodyMesh->parts[4].damage, c.damageAfter)
            << c.damageBefore << " " << c.amount;
        EXPECT_EQ(fixture.doorMesh->sourceVertices[0].nz == 1.0f, c.damageAfter == c.damageBefore);
    }
    // A mesh without parts ignores impacts.
    auto plain = std::make_unique<CPRenderObject>(nullptr);
    plain->sourceVertices = {VertexAt(0, 0, 0)};
    plain->DeformParts(D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 0, -1), 1.0f);
    EXPECT_EQ(plain->sourceVertices[0].nz, 1.0f);
    EXPECT_EQ(plain->sourceVertices[0].diffuse, 0xff000000u);
}

TEST(DeformParts, BoxesFollowTheOwnerUntilFullyDamaged) {
    BodyFixture fixture;
    fixture.bodyMesh->parts[0].damage = 1.0f;
    D3DXMatrixTranslation(&fixture.body.world, 10, 0, 0);
    fixture.body.worldChanged = true;
    std::vector<MeshVertex> vertices(4);
    std::vector<uint16_t> indices(6);
    fixture.bodyMesh->Fill(vertices.data(), indices.data(), 0, 0);
    EXPECT_FLOAT_EQ(fixture.bodyMesh->parts[0].box.worldMin.x, -0.3f);
    EXPECT_FLOAT_EQ(fixture.bodyMesh->parts[1].box.worldMin.x, 10.7f);
    EXPECT_NEAR(fixture.bodyMesh->parts[4].box.worldMin.x, 15.0f, 1e-5f);
}

} // namespace
