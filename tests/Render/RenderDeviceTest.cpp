#include "Core/Log.h"
#include "Render/RenderPriority.h"
#include "RenderTestScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

DWORD RenderState(const CPRender& render, D3DRENDERSTATETYPE state) {
    DWORD value = 0;
    render.GetDevice()->GetRenderState(state, &value);
    return value;
}

DWORD StageState(const CPRender& render, DWORD stage, D3DTEXTURESTAGESTATETYPE state) {
    DWORD value = 0;
    render.GetDevice()->GetTextureStageState(stage, state, &value);
    return value;
}

DWORD SamplerState(const CPRender& render, DWORD sampler, D3DSAMPLERSTATETYPE state) {
    DWORD value = 0;
    render.GetDevice()->GetSamplerState(sampler, state, &value);
    return value;
}

TEST(RenderDevice, TheTextureFilterFollowsAnisoAndStaysWithinTheAdaptersMaximum) {
    struct Case {
        float aniso;
        // 0: linear filtering without anisotropy.
        DWORD maxAnisotropy;
    };
    const float infinity = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {0.5f, 8},   {2.0f, 16},     {0.01f, 1},
        {1e30f, 16}, {infinity, 16}, {0.0f, 0},
        {-1.0f, 0},  {-infinity, 0}, {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    RenderTestScene scene(PlatGraphicsBackendKind::Recording, 64, 48);
    ASSERT_TRUE(scene.started);
    ASSERT_EQ(scene.render->maxAnisotropy, 16);
    for (const Case& c : cases) {
        const std::string name = "aniso " + std::to_string(c.aniso);
        ScopedSetting<float> aniso(g_Aniso, c.aniso);
        scene.render->SetTextureFilter();
        const CPRender& render = *scene.render;
        const DWORD filter = c.maxAnisotropy ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR;
        EXPECT_EQ(SamplerState(render, 0, D3DSAMP_MINFILTER), filter) << name;
        EXPECT_EQ(SamplerState(render, 0, D3DSAMP_MAGFILTER), filter) << name;
        EXPECT_EQ(SamplerState(render, 0, D3DSAMP_MIPFILTER), DWORD(D3DTEXF_LINEAR)) << name;
        if (c.maxAnisotropy) {
            EXPECT_EQ(SamplerState(render, 0, D3DSAMP_MAXANISOTROPY), c.maxAnisotropy) << name;
        }
        for (D3DSAMPLERSTATETYPE state : {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER})
            EXPECT_EQ(SamplerState(render, 1, state), DWORD(D3DTEXF_LINEAR)) << name;
    }
}

TEST(RenderDevice, TheStartLinesAreReadableText) {
    std::string log;
    GetLog().SetSink([&](std::string_view text) { log += text; });
    {
        ScopedSetting<int> fullScreen(g_FullScreen, 1);
        RenderTestScene scene(PlatGraphicsBackendKind::Recording, 64, 48);
    }
    GetLog().SetSink({});
    EXPECT_NE(log.find("Инициализация рендеринга\n"), std::string::npos) << log;
    EXPECT_NE(log.find("\nДоступные видеорежимы\n640x480x16\n"), std::string::npos) << log;
}

TEST(RenderDevice, PresentationParametersAndDisplayModesOfEachMode) {
    struct Case {
        const char* name;
        int fullScreen;
        int bpp;
        BOOL windowed;
        D3DFORMAT format;
        DWORD flags;
        std::size_t modes;
    };
    const Case cases[] = {
        {"windowed", 0, 16, TRUE, D3DFMT_A8R8G8B8, 0, 1},
        {"full screen 16-bit", 1, 16, FALSE, D3DFMT_A1R5G5B5, D3DPRESENTFLAG_DISCARDDEPTHSTENCIL, 8},
        {"full screen 32-bit", 1, 32, FALSE, D3DFMT_A8R8G8B8, D3DPRESENTFLAG_DISCARDDEPTHSTENCIL, 8},
    };
    for (const Case& c : cases) {
        ScopedSetting<int> fullScreen(g_FullScreen, c.fullScreen);
        ScopedSetting<int> bpp(g_ScreenBPP, c.bpp);
        // Antialiasing asked for: never in a window, and not offered here.
        ScopedSetting<int> contrast(g_Contrast, 1);
        RenderTestScene scene(PlatGraphicsBackendKind::Recording, 640, 480);
        ASSERT_TRUE(scene.started) << c.name;
        const CPRender& render = *scene.render;
        const D3DPRESENT_PARAMETERS& params = render.presentParameters;
        EXPECT_EQ(params.Windowed, c.windowed) << c.name;
        EXPECT_EQ(params.BackBufferFormat, c.format) << c.name;
        EXPECT_EQ(params.BackBufferWidth, 640u) << c.name;
        EXPECT_EQ(params.BackBufferHeight, 480u) << c.name;
        EXPECT_EQ(params.MultiSampleType, D3DMULTISAMPLE_NONE) << c.name;
        EXPECT_FALSE(render.multisampling) << c.name;
        EXPECT_EQ(params.Flags, c.flags) << c.name;
        EXPECT_EQ(params.SwapEffect, D3DSWAPEFFECT_DISCARD) << c.name;
        EXPECT_EQ(params.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE) << c.name;
        EXPECT_EQ(params.AutoDepthStencilFormat, D3DFMT_D16) << c.name;
        ASSERT_EQ(render.displayModes.size(), c.modes) << c.name;
        EXPECT_EQ(render.displayModes[0].width, 640) << c.name;
        EXPECT_EQ(render.displayModes[0].height, 480) << c.name;
    }
    // Full screen lists the four sizes in 16 then 32 bits.
    ScopedSetting<int> fullScreen(g_FullScreen, 1);
    RenderTestScene scene(PlatGraphicsBackendKind::Recording, 640, 480);
    std::vector<std::string> listed;
    for (const CPRender::DisplayMode& mode : scene.render->displayModes)
        listed.push_back(std::to_string(mode.width) + "x" + std::to_string(mode.height) + "x" +
                         (mode.format == D3DFMT_A1R5G5B5 ? "16" : "32"));
    EXPECT_EQ(listed, (std::vector<std::string>{"640x480x16", "800x600x16", "1024x768x16", "1280x1024x16",
                                                "640x480x32", "800x600x32", "1024x768x32", "1280x1024x32"}));
}

TEST(RenderDevice, DefaultStatesAreTheFramesStartingPoint) {
    ScopedSetting<int> distance(g_Distance, 500);
    RenderTestScene scene(PlatGraphicsBackendKind::Recording, 64, 48);
    ASSERT_TRUE(scene.started);
    const CPRender& render = *scene.render;
    const std::pair<D3DRENDERSTATETYPE, DWORD> renderStates[] = {
        {D3DRS_SPECULARENABLE, FALSE},
        {D3DRS_LIGHTING, TRUE},
        {D3DRS_ALPHABLENDENABLE, FALSE},
        {D3DRS_ZENABLE, TRUE},
        {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
        {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_DITHERENABLE, TRUE},
        {D3DRS_CLIPPING, TRUE},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_AMBIENT, render.ambient},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRS_FOGENABLE, FALSE},
        {D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR},
        {D3DRS_FOGDENSITY, PlatFloatBits(0.0f)},
        {D3DRS_FOGSTART, PlatFloatBits(50.0f)},
        {D3DRS_FOGEND, PlatFloatBits(450.0f)},
        {D3DRS_FOGCOLOR, render.fogColour},
    };
    for (const auto& [state, value] : renderStates)
        EXPECT_EQ(RenderState(render, state), value) << "render state " << state;
    const std::tuple<DWORD, D3DTEXTURESTAGESTATETYPE, DWORD> stageStates[] = {
        {0, D3DTSS_COLOROP, D3DTOP_MODULATE}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
        {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE}, {0, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
        {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
        {1, D3DTSS_COLOROP, D3DTOP_DISABLE},  {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
        {1, D3DTSS_COLORARG1, D3DTA_TEXTURE}, {1, D3DTSS_COLORARG2, D3DTA_CURRENT},
        {1, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {1, D3DTSS_ALPHAARG2, D3DTA_CURRENT},
        {2, D3DTSS_COLOROP, D3DTOP_DISABLE},  {2, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
    };
    for (const auto& [stage, state, value] : stageStates)
        EXPECT_EQ(StageState(render, stage, state), value) << "stage " << stage << " state " << state;
    EXPECT_EQ(SamplerState(render, 0, D3DSAMP_ADDRESSU), DWORD(D3DTADDRESS_WRAP));
    EXPECT_EQ(SamplerState(render, 0, D3DSAMP_ADDRESSV), DWORD(D3DTADDRESS_WRAP));
    EXPECT_EQ(SamplerState(render, 1, D3DSAMP_ADDRESSU), DWORD(D3DTADDRESS_CLAMP));
    EXPECT_EQ(SamplerState(render, 1, D3DSAMP_ADDRESSV), DWORD(D3DTADDRESS_CLAMP));
    DWORD fvf = 0;
    render.GetDevice()->GetFVF(&fvf);
    EXPECT_EQ(fvf, DWORD(MESH_VERTEX_FVF));
    D3DMATERIAL9 material;
    render.GetDevice()->GetMaterial(&material);
    EXPECT_FLOAT_EQ(material.Specular.r, 0.3f);
    EXPECT_FLOAT_EQ(material.Diffuse.g, 1.0f);
    EXPECT_FLOAT_EQ(material.Emissive.a, 0.0f);
    EXPECT_FLOAT_EQ(material.Power, 10.0f);
    D3DXMATRIX view, expectedView;
    render.GetDevice()->GetTransform(D3DTS_VIEW, &view);
    const D3DXVECTOR3 eye(0, 0, 14.5f), at(0, 0, 0), up(0, 0, 1);
    D3DXMatrixLookAtLH(&expectedView, &eye, &at, &up);
    EXPECT_EQ(view, expectedView);
}

TEST(RenderDevice, EachDefaultStatesCallRegistersANewScreenCamera) {
    RenderTestScene scene(PlatGraphicsBackendKind::Recording, 64, 48);
    ASSERT_TRUE(scene.started);
    CPRender& render = *scene.render;
    const CPBaseCamera* first = render.levels.at(RENDER_SCREEN).camera.Get();
    ASSERT_NE(first, nullptr);
    render.SetDefaultStates();
    const CPBaseCamera* second = render.levels.at(RENDER_SCREEN).camera.Get();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    D3DXMATRIX ortho;
    D3DXMatrixOrthoOffCenterLH(&ortho, 0, 64, 48, 0, 0, 1);
    EXPECT_EQ(second->view, ortho);
}

TEST(RenderDevice, TheScreenGridIsFilledOnlyWithBlur) {
    for (const int blur : {0, 1}) {
        ScopedSetting<int> blurSetting(g_Blur, blur);
        RenderTestScene scene(PlatGraphicsBackendKind::Recording, 64, 48);
        ASSERT_TRUE(scene.started);
        const CPRender& render = *scene.render;
        ASSERT_EQ(render.gridVertices.size(), 25u);
        ASSERT_EQ(render.gridIndices.size(), 96u);
        EXPECT_EQ(render.gridColumns, 4);
        EXPECT_EQ(render.gridRows, 4);
        if (blur == 0) {
            EXPECT_EQ(render.gridVertexCount, 0);
            EXPECT_EQ(render.gridVertices[24].x, 0.0f);
            EXPECT_EQ(render.gridIndices[95], 0u);
            continue;
        }
        EXPECT_EQ(render.gridVertexCount, 25);
        EXPECT_EQ(render.gridVertices[0].x, -0.5f);
        EXPECT_EQ(render.gridVertices[24].y, 47.5f);
        EXPECT_EQ(render.gridVertices[12].x, 32.0f);
        EXPECT_EQ(render.gridVertices[12].u, 0.5f);
        // Cell (1, 2) of the 5-vertex rows.
        const std::vector<uint16_t> cell(render.gridIndices.begin() + 36, render.gridIndices.begin() + 42);
        EXPECT_EQ(cell, (std::vector<uint16_t>{7, 8, 12, 12, 8, 13}));
    }
}

} // namespace
