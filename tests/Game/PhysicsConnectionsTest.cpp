#include "MeshManagerSupport.h"

#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Game/PGameObject.h"
#include "Game/PhysicsConnections.h"
#include "Physics/PPhysics.h"
#include "Physics/PhysicsServices.h"
#include "Physics/Simulator/RbCollisionInfo.h"
#include "Physics/Simulator/RbRigidBody.h"
#include "Platform/Random.h"
#include "Render/PRenderObject.h"
#include "Render/ShadowDecal.h"
#include "Support/GameTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The physics task with a world over a terrain mesh, and the game's
// connections in place while it lives.
class PhysicsConnections : public ::testing::Test {
protected:
    void SetUp() override {
        savedServices = g_PhysicsServices;
        savedSource = g_DecalTerrainSource;
        ConnectPhysicsToGameObjects();
        ConnectShadowDecalsToTerrain();
        g_WeightDiv = 1;
    }
    void TearDown() override {
        physics.DestroyWorld();
        g_PhysicsServices = savedServices;
        g_DecalTerrainSource = savedSource;
        g_WeightDiv = 0;
        g_FrameTime = 0.0f;
        g_FrameParticleCount = 0;
    }

    void CreateWorld(const TerrainMesh& terrain) {
        ASSERT_TRUE(physics.BuildTerrainGrid(terrain));
        ASSERT_TRUE(physics.CreateWorld());
    }
    // Loads the object into the world as the level loader loads a car.
    void LoadCar(CPGameObject& car) {
        physics.AddSyncObject(&car);
        physics.RegisterObject(&car, true, 1);
        physics.CreateCar(&car, false);
    }

    PhysicsServices savedServices;
    std::function<std::vector<DecalTriangle>(const CPObject*)> savedSource;
    CPPhysics physics;
};

// A car body from a mesh file: the unit quad with a door (the quad moved 3
// along x) and a wheel below it, its parts built as the level loader builds
// them.
class CarBodies : public PhysicsConnections {
protected:
    static MeshShape Box(float size1, float size2, float size3) {
        MeshShape box;
        box.size1 = size1;
        box.size2 = size2;
        box.size3 = size3;
        box.mass = 1200;
        return box;
    }

    void SetUp() override {
        PhysicsConnections::SetUp();
        MeshFileNode body = MakeQuadNode("Body");
        body.body = Box(1, 1, 0.5f);
        body.shapes = {Box(1, 0.5f, 1)};
        MeshFileNode door = MakeQuadNode("door");
        for (MeshVertex& vertex : door.vertices)
            vertex.x += 3;
        body.children = {door, MakeQuadNode("w0")};
        MeshFile file;
        file.format = EMeshFileFormat::Physics;
        file.roots = {body};
        MeshManagerScene::WriteMesh("car.p3d", file);
        MeshManagerScene::WriteDescription("car.rdf", "obj=car.p3d\n");
        TerrainMesh ground;
        ground.positions = {{-100, -100, 0}, {100, -100, 0}, {100, 100, 0}, {-100, 100, 0}};
        ground.indices = {0, 1, 2, 0, 2, 3};
        CreateWorld(ground);
    }

    // A body at the pose whose part boxes have followed it, as after a frame.
    CPRefPtr<CPGameObject> PlacedBody(const D3DXVECTOR3& position) {
        CPRefPtr<CPGameObject> car = scene.Load("car.rdf");
        EXPECT_TRUE(car && car->GetRenderObject());
        if (!car || !car->GetRenderObject())
            return nullptr;
        CPRenderObject& mesh = *car->GetRenderObject();
        mesh.SetStatic(false);
        mesh.BuildDeformParts();
        car->SetPosition(position);
        car->SetOrientation({0, 0, 0, 1});
        car->UpdateHierarchy();
        std::vector<MeshVertex> drawn(mesh.sourceVertices.size());
        std::vector<uint16_t> drawnIndices(mesh.indices.size());
        mesh.Fill(drawn.data(), drawnIndices.data(), 0, 0);
        return car;
    }

    static std::vector<MeshVertex> TreeVertices(const CPRefPtr<CPGameObject>& car) {
        std::vector<CPRefPtr<CPGameObject>> tree;
        car->CollectTree(tree);
        std::vector<MeshVertex> vertices;
        for (const CPRefPtr<CPGameObject>& object : tree) {
            if (const CPRenderObject* mesh = object->GetRenderObject())
                vertices.insert(vertices.end(), mesh->sourceVertices.begin(), mesh->sourceVertices.end());
        }
        return vertices;
    }

    MeshManagerScene scene;
};

TEST_F(CarBodies, AGroundContactDentsTheStruckCarsMeshLikeItsOwnDeformation) {
    const D3DXVECTOR3 place(10, 20, 1);
    CPRefPtr<CPGameObject> car = PlacedBody(place);
    CPRefPtr<CPGameObject> reference = PlacedBody(place);
    ASSERT_TRUE(car && reference);
    LoadCar(*car);
    ASSERT_NE(car->physicData->rigidBody, nullptr);
    const std::vector<MeshVertex> before = TreeVertices(car);

    // Half a unit below the body's first corner at 50 units a second: the
    // dent goes up toward the car's origin with 0.008 x 50.
    RbCollisionInfo contact;
    contact.bodyA = car->physicData->rigidBody;
    contact.materialIdA = 1;
    contact.materialIdB = 0;
    contact.worldContactPointA = {10, 20, 0.5f};
    contact.relativeVelocity = {0, 0, -50};
    PlatSRand(11);
    CPPhysics::OnCollision(&contact);
    PlatSRand(11);
    reference->GetRenderObject()->DeformParts({10, 20, 0.5f}, {0, 0, 1}, 0.4f);

    const std::vector<MeshVertex> dented = TreeVertices(car);
    const std::vector<MeshVertex> expected = TreeVertices(reference);
    ASSERT_EQ(dented.size(), expected.size());
    int turned = 0;
    for (std::size_t k = 0; k < dented.size(); ++k) {
        EXPECT_EQ(dented[k].nx, expected[k].nx) << k;
        EXPECT_EQ(dented[k].ny, expected[k].ny) << k;
        EXPECT_EQ(dented[k].nz, expected[k].nz) << k;
        EXPECT_EQ(dented[k].diffuse, expected[k].diffuse) << k;
        EXPECT_EQ(dented[k].x, before[k].x) << "positions stay";
        turned += dented[k].nz != before[k].nz;
    }
    // Only the corner the ray reaches.
    EXPECT_EQ(turned, 1);
    EXPECT_FLOAT_EQ(car->GetRenderObject()->parts[0].damage, 0.4f);

    // Contacts on an object without a mesh, and too soft for a dent, change
    // nothing.
    ObjectTree plain;
    CPGameObject& bare = plain.Add("bare");
    bare.physicData = new CPPhysicData(&bare);
    bare.physicData->SetBoxBody(1, 1, 1, 100);
    bare.physicData->AddBoxShape({}, {0, 0, 0, 1}, 1, 1, 1, 100);
    LoadCar(bare);
    contact.bodyA = bare.physicData->rigidBody;
    CPPhysics::OnCollision(&contact);
    contact.bodyA = car->physicData->rigidBody;
    contact.relativeVelocity = {0, 0, -1};
    CPPhysics::OnCollision(&contact);
    const std::vector<MeshVertex> after = TreeVertices(car);
    for (std::size_t k = 0; k < after.size(); ++k)
        EXPECT_EQ(after[k].nz, dented[k].nz) << k;
}

TEST_F(CarBodies, ACarAgainstCarContactDentsBothBodies) {
    CPRefPtr<CPGameObject> first = PlacedBody({0, 0, 1});
    CPRefPtr<CPGameObject> second = PlacedBody({0, 5, 1});
    ASSERT_TRUE(first && second);
    LoadCar(*first);
    LoadCar(*second);
    // Each contact point lies half a unit under its body's first corner.
    RbCollisionInfo contact;
    contact.bodyA = first->physicData->rigidBody;
    contact.bodyB = second->physicData->rigidBody;
    contact.materialIdA = contact.materialIdB = 1;
    contact.worldContactPointA = {0, 0, 0.5f};
    contact.worldContactPointB = {0, 5, 0.5f};
    contact.relativeVelocity = {0, 5, 0};
    CPPhysics::OnCollision(&contact);
    for (const CPRefPtr<CPGameObject>& car : {first, second})
        EXPECT_FLOAT_EQ(car->GetRenderObject()->parts[0].damage, 0.4f) << car->GetName();
}

// Two triangles of terrain, placed 10 along x and 20 along y.
TerrainMesh TwoTriangles() {
    TerrainMesh terrain;
    terrain.positions = {{-4, -4, 0.5f}, {4, -4, 0.5f}, {4, 4, 1}, {-4, 4, 0.5f}};
    terrain.indices = {0, 1, 2, 0, 2, 3};
    D3DXMatrixTranslation(&terrain.world, 10, 20, 0);
    return terrain;
}

class ShadowDecals : public PhysicsConnections {
protected:
    void SetUp() override {
        PhysicsConnections::SetUp();
        CreateWorld(TwoTriangles());
        car.physicData = new CPPhysicData(&car);
        car.physicData->SetBoxBody(2, 4.5f, 1, 1200);
        car.physicData->AddBoxShape({0, 0, 0.6f}, {0, 0, 0, 1}, 2, 1, 4.5f, 1200);
        car.SetPosition({11, 21, 1.5f});
        shadowMesh = new CPRenderObject(&shadow);
        shadow.SetVisual(shadowMesh, VISUAL_MESH);
        shadow.boundingBox.halfSize = D3DXVECTOR3(1, 2, 0.5f);
        D3DXMatrixTranslation(&world, 11, 21, 1.5f);
    }

    void Build() { BuildShadowDecal(&shadow, world, car.physicData.Get()); }

    CPGameObject car{"car"};
    CPGameObject shadow{"shadow"};
    CPRenderObject* shadowMesh = nullptr;
    D3DXMATRIX world;
};

TEST_F(ShadowDecals, TheDecalLiesOverTheTerrainTrianglesTheCarsBodyFound) {
    LoadCar(car);
    g_FrameTime = 0.05f;
    physics.Update();
    // The terrain query lists both triangles once for each cell around the car.
    ASSERT_GT(car.physicData->candidateCount, 2);
    Build();

    // Each triangle once, in the physics' order, lifted by 0.03; the texture
    // spans the car's footprint grown by 0.1: from (9.9, 18.9), 2.2 by 4.2.
    const D3DXVECTOR3 corners[] = {{6, 16, 0.5f}, {14, 16, 0.5f}, {14, 24, 1}, {6, 24, 0.5f}};
    const int order[] = {0, 1, 2, 0, 2, 3};
    const std::vector<MeshVertex>& vertices = shadowMesh->sourceVertices;
    ASSERT_EQ(vertices.size(), 6u);
    for (int k = 0; k < 6; ++k) {
        const D3DXVECTOR3& p = corners[order[k]];
        ExpectNear({vertices[k].x, vertices[k].y, vertices[k].z}, {p.x, p.y, p.z + 0.03f});
        EXPECT_NEAR(vertices[k].u0, (p.x - 9.9f) / 2.2f, 1e-4f) << k;
        EXPECT_NEAR(vertices[k].v0, (p.y - 18.9f) / 4.2f, 1e-4f) << k;
        EXPECT_EQ(shadowMesh->indices[k], k);
    }
    EXPECT_EQ(shadowMesh->vertices.size(), 6u);
}

TEST_F(ShadowDecals, CandidatesTheGridDoesNotHoldAreLeftOut) {
    struct Case {
        std::vector<int> candidates;
        int count;
        std::vector<float> firstHeights; // z of each taken triangle's third corner
    } cases[] = {
        {{1, 0}, 2, {0.53f, 1.03f}},
        // Left from a larger grid of an earlier level.
        {{7, 1, -1, 0}, 4, {0.53f, 1.03f}},
        {{0}, 0, {}},
        {{0}, -5, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        std::copy(c.candidates.begin(), c.candidates.end(), car.physicData->candidateTriangles);
        car.physicData->candidateCount = c.count;
        Build();
        const std::vector<MeshVertex>& vertices = shadowMesh->sourceVertices;
        ASSERT_EQ(vertices.size(), 3 * c.firstHeights.size()) << c.count;
        for (std::size_t k = 0; k < c.firstHeights.size(); ++k)
            EXPECT_NEAR(vertices[3 * k + 2].z, c.firstHeights[k], 1e-5f);
    }

    // Once the level's grid is freed, its old candidates name nothing.
    car.physicData->candidateTriangles[0] = 0;
    car.physicData->candidateCount = 1;
    physics.DestroyWorld();
    Build();
    EXPECT_TRUE(shadowMesh->sourceVertices.empty());
}

} // namespace
