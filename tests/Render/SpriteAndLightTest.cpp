#include "Render/PLight.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PSprite.h"
#include "RenderTestScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// The main camera at `eye` looking at the origin.
class MainCameraAt {
public:
    explicit MainCameraAt(const D3DXVECTOR3& eye) {
        camera.eye = eye;
        camera.target = D3DXVECTOR3(0, 0, 0);
        camera.fov = 1.0f;
        camera.nearPlane = 0.1f;
        camera.farPlane = 1000;
        camera.viewDirty = camera.projectionDirty = true;
        camera.UpdateMatrices();
        g_MainCamera = &camera;
    }
    ~MainCameraAt() { g_MainCamera = nullptr; }
    MainCameraAt(const MainCameraAt&) = delete;
    MainCameraAt& operator=(const MainCameraAt&) = delete;

    CPPerspectiveCamera camera;
};

D3DXVECTOR3 AtAngle(float angle) {
    return D3DXVECTOR3(10 * std::cos(angle), 10 * std::sin(angle), 3);
}

TEST(Sprite, FadeByAngle) {
    struct Case {
        float fadeAngle;
        float viewAngle;
        bool visible;
        DWORD colour;
    };
    const Case cases[] = {
        {-0.05f, 0, false, 0},
        {-1.0f, 0, true, 0xFFFFFFFF},
        {-0.5f, 0, true, 0x7F7F7F7F},
        // Brighter than white stays white.
        {-3.0f, 0, true, 0xFFFFFFFF},
        {0.0f, 2.0f, true, 0xFF123456},
        {0.5f, 0, true, 0xFFFFFFFF},
        {0.5f, 0.4999f, true, 0x4C4C4C4C},
        {0.5f, 0.6f, false, 0},
        {0.5f, -0.4f, true, 0x70707070},
    };
    TestSceneObject owner;
    for (const Case& c : cases) {
        MainCameraAt camera(AtAngle(c.viewAngle));
        CPSprite sprite(1.0f);
        sprite.SetOwner(&owner);
        sprite.axis = D3DXVECTOR3(1, 0, 0);
        sprite.fadeAngle = c.fadeAngle;
        sprite.colour = 0xFF123456;
        SCOPED_TRACE(std::to_string(c.fadeAngle) + " at " + std::to_string(c.viewAngle));
        EXPECT_EQ(sprite.GetVertexCount(), c.visible ? 4 : 0);
        EXPECT_EQ(sprite.GetIndexCount(), c.visible ? 6 : 0);
        std::vector<MeshVertex> vertices(4, MeshVertex{});
        std::vector<uint16_t> indices(6, 0);
        sprite.Fill(vertices.data(), indices.data(), 0, 0);
        if (c.visible) {
            for (const MeshVertex& vertex : vertices)
                EXPECT_EQ(vertex.diffuse, c.colour);
        } else {
            EXPECT_EQ(vertices[0].diffuse, 0u) << "nothing written";
        }
    }
}

TEST(Sprite, TheAxisTurnsWithTheRootObject) {
    TestSceneObject root, child;
    child.parent = &root;
    D3DXVECTOR3 up(0, 0, 1);
    D3DXQuaternionRotationAxis(&root.orientation, &up, D3DX_PI / 2);
    CPSprite sprite(1.0f);
    sprite.SetOwner(&child);
    sprite.axis = D3DXVECTOR3(1, 0, 0);
    sprite.fadeAngle = 0.5f;
    {
        MainCameraAt camera(AtAngle(D3DX_PI / 2));
        EXPECT_TRUE(sprite.UpdateQuad());
        EXPECT_EQ(sprite.colour, 0xFFFFFFFFu);
    }
    MainCameraAt camera(AtAngle(0));
    EXPECT_FALSE(sprite.UpdateQuad());
}

TEST(Sprite, TheQuadFacesTheCamera) {
    MainCameraAt camera(D3DXVECTOR3(0, -10, 0));
    TestSceneObject owner;
    D3DXMatrixTranslation(&owner.world, 5, 0, 2);
    CPSprite sprite(0.5f);
    sprite.SetOwner(&owner);
    sprite.uvStart = D3DXVECTOR2(0.25f, 0.5f);
    sprite.uvEnd = D3DXVECTOR2(0.75f, 1.0f);
    for (float rotation : {0.0f, 0.7f}) {
        sprite.rotation = rotation;
        std::vector<MeshVertex> v(4);
        std::vector<uint16_t> indices(6);
        sprite.Fill(v.data(), indices.data(), 40, 0);
        EXPECT_EQ(indices, (std::vector<uint16_t>{40, 42, 41, 40, 43, 42}));
        // Around the owner, square, edge 1, across the view direction (y).
        for (int k = 0; k < 4; ++k) {
            const MeshVertex& a = v[k];
            const MeshVertex& b = v[(k + 1) % 4];
            EXPECT_NEAR(a.y, 0, 1e-5f);
            EXPECT_NEAR(std::hypot(a.x - b.x, a.z - b.z), 1.0f, 1e-5f);
            EXPECT_NEAR(std::hypot(a.x - 5, a.z - 2), std::sqrt(0.5f), 1e-5f);
        }
        EXPECT_NEAR(v[0].x + v[2].x, 10, 1e-5f);
        const float uv[4][2] = {{0.25f, 0.5f}, {0.75f, 0.5f}, {0.75f, 1.0f}, {0.25f, 1.0f}};
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(v[k].u0, uv[k][0]);
            EXPECT_EQ(v[k].v0, uv[k][1]);
        }
    }
    // Unturned, the first corner is at the camera's lower left; looking along
    // +y with +z up, its right is -x.
    sprite.rotation = 0;
    std::vector<MeshVertex> v(4);
    std::vector<uint16_t> indices(6);
    sprite.Fill(v.data(), indices.data(), 0, 0);
    EXPECT_NEAR(v[0].x, 5.5f, 1e-5f);
    EXPECT_NEAR(v[0].z, 1.5f, 1e-5f);
}

TEST(Light, FollowsItsObjectsPositionOnly) {
    TestSceneObject owner;
    CPLight light(&owner);
    light.light.Type = D3DLIGHT_POINT;
    light.light.Direction = D3DXVECTOR3(0, 0, -1);
    light.light.Range = 7;
    D3DXMatrixRotationZ(&owner.world, 1.0f);
    owner.world._41 = 3;
    owner.world._42 = 4;
    owner.world._43 = 5;
    const D3DLIGHT9* placed = light.GetLight();
    ASSERT_EQ(placed, &light.light);
    EXPECT_EQ(placed->Position, D3DXVECTOR3(3, 4, 5));
    EXPECT_EQ(placed->Direction, D3DXVECTOR3(0, 0, -1));
    EXPECT_EQ(placed->Range, 7.0f);
    owner.world._41 = -1;
    EXPECT_EQ(light.GetLight()->Position.x, -1.0f);
}

} // namespace
