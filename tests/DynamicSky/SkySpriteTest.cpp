#include "DynamicSky/SkySprite.h"
#include "DynamicSky/SkyFixture.h"

namespace {

// Places a sprite without a device and returns where it went.
D3DXVECTOR3 Place(const D3DXVECTOR3& direction, float baseDegrees, float angleDegrees) {
    SkySprite sprite;
    sprite.direction = direction;
    sprite.distance = 400;
    sprite.baseAngle = Radians(baseDegrees);
    sprite.Setup(20);
    sprite.angle = Radians(angleDegrees);
    sprite.Update(0);
    return sprite.position;
}

TEST(SkySpriteTest, SpritesCircleTheirAxisAtTheirDistance) {
    TempGameRoot root;
    SkyLogCapture log;
    const float sin50 = 400 * std::sin(Radians(50));
    const float cos50 = 400 * std::cos(Radians(50));
    struct Case {
        D3DXVECTOR3 direction;
        float base;
        float angle;
        D3DXVECTOR3 position;
    };
    for (const Case& test : {
             Case{{1, 0, 0}, 0, 0, {0, 0, 400}},
             Case{{1, 0, 0}, 0, 90, {0, 400, 0}},
             Case{{1, 0, 0}, -40, 0, {0, cos50, sin50}},
             Case{{1, 0, 0}, 0, 40, {0, cos50, sin50}},
             Case{{0, 0, 1}, 0, 0, {-400, 0, 0}},
             Case{{0, 0, 1}, 90, 0, {0, -400, 0}},
         }) {
        const D3DXVECTOR3 position = Place(test.direction, test.base, test.angle);
        EXPECT_NEAR(position.x, test.position.x, 0.01) << test.base << " " << test.angle;
        EXPECT_NEAR(position.y, test.position.y, 0.01) << test.base << " " << test.angle;
        EXPECT_NEAR(position.z, test.position.z, 0.01) << test.base << " " << test.angle;
    }
}

TEST(SkySpriteTest, TheSquareFacesTheCentreAtItsScale) {
    TempGameRoot root;
    SkyLogCapture log;
    SkySprite sprite;
    sprite.direction = D3DXVECTOR3(1, 0, 0);
    sprite.distance = 400;
    sprite.baseAngle = Radians(-40.0f);
    sprite.Setup(20);
    sprite.scale = 2;
    sprite.Update(0);
    D3DXVECTOR3 centre(0, 0, 0);
    for (const MeshVertex& vertex : sprite.workVertices) {
        const D3DXVECTOR3 corner(vertex.x, vertex.y, vertex.z);
        const D3DXVECTOR3 offset = corner - sprite.position;
        centre += corner * 0.25f;
        EXPECT_NEAR(D3DXVec3Length(&offset), 40 * std::sqrt(2.0f), 1e-3);
        EXPECT_NEAR(D3DXVec3Dot(&offset, &sprite.position), 0, 0.5);
    }
    EXPECT_NEAR(centre.x, sprite.position.x, 1e-3);
    EXPECT_NEAR(centre.y, sprite.position.y, 1e-3);
    EXPECT_NEAR(centre.z, sprite.position.z, 1e-3);
}

TEST(SkySpriteTest, ASpriteWithoutTexturesHasNone) {
    TempGameRoot root;
    SkyLogCapture log;
    SkySprite sprite;
    sprite.Setup(20);
    sprite.NextFrame();
    EXPECT_EQ(sprite.texture, nullptr);
    EXPECT_EQ(sprite.textureIndex, 0);
}

} // namespace
