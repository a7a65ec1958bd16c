#include "Application/SkyConnections.h"
#include "DynamicSky/SkyServices.h"
#include "Game/PLevel.h"
#include "Render/PRender.h"

#include <gtest/gtest.h>

namespace {

// The sky's sun shines as the level's sun light while a level is loaded,
// and as a light of the sky's own otherwise.
TEST(SkyConnectionsTest, TheSunBecomesTheLevelsSunLight) {
    const SkyServices saved = g_SkyServices;
    ConnectRenderToSky();
    CPRender render;
    const D3DXVECTOR3 down(0.0f, 0.6f, -0.8f);
    const D3DCOLORVALUE warm{0.9f, 0.8f, 0.5f, 0.0f};

    g_SkyServices.addSunLight(down, warm);
    ASSERT_EQ(render.lightCount, 1);
    EXPECT_EQ(render.lights[0].Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_FLOAT_EQ(render.lights[0].Diffuse.g, 0.8f);
    {
        CPLevel level;
        g_SkyServices.addSunLight(down, warm);
        EXPECT_FLOAT_EQ(level.sunLight.Direction.y, 0.6f);
        EXPECT_FLOAT_EQ(level.sunLight.Specular.b, 0.5f);
        ASSERT_EQ(render.lightCount, 2);
        EXPECT_FLOAT_EQ(render.lights[1].Direction.z, -0.8f);
        EXPECT_FLOAT_EQ(render.lights[1].Diffuse.r, 0.9f);
    }
    g_SkyServices = saved;
}

} // namespace
