#include "GraphicsTestDevice.h"
#include "ImageFixtures.h"

#include "Platform/Graphics/TextureLoader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

// Pixel tests on the OpenGL backend. Without a display they run on SDL's
// offscreen driver and Mesa's software renderer (SDL_VIDEODRIVER=offscreen).
namespace {

constexpr D3DCOLOR kBlack = 0xFF000000;
constexpr D3DCOLOR kWhite = 0xFFFFFFFF;
constexpr D3DCOLOR kRed = 0xFFFF0000;
constexpr D3DCOLOR kBlue = 0xFF0000FF;

// LookAtLH(eye (0, 0, -5), at (0, 0, 0), up (0, 1, 0)): a translation by +5 in z.
D3DMATRIX ViewFromMinusFive() {
    D3DMATRIX view = PlatIdentityMatrix();
    view._43 = 5;
    return view;
}

// PerspectiveFovLH(90 degrees, aspect 1, near 1, far 100).
D3DMATRIX Perspective90() {
    D3DMATRIX projection{};
    projection._11 = 1;
    projection._22 = 1;
    projection._33 = 100.0f / 99.0f;
    projection._34 = 1;
    projection._43 = -100.0f / 99.0f;
    return projection;
}

class GLDevice : public ::testing::Test {
protected:
    static constexpr UINT kSize = 16;

    void SetUp() override {
        ASSERT_EQ(device.result, D3D_OK) << "no OpenGL 3.3 context (is SDL_VIDEODRIVER=offscreen set?)";
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetFVF(kTestScreenFvf);
    }

    // A pre-transformed rectangle covering pixels [left, right) x [top, bottom).
    void DrawRect(float left, float top, float right, float bottom, D3DCOLOR colour, float z = 0.5f) {
        const TestScreenVertex quad[4] = {{right - 0.5f, top - 0.5f, z, 1, colour, 1, 0},
                                          {right - 0.5f, bottom - 0.5f, z, 1, colour, 1, 1},
                                          {left - 0.5f, top - 0.5f, z, 1, colour, 0, 0},
                                          {left - 0.5f, bottom - 0.5f, z, 1, colour, 0, 1}};
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TestScreenVertex)), D3D_OK);
    }

    std::vector<uint32_t> Read(IDirect3DSurface9* surface = nullptr) {
        IDirect3DSurface9* target = surface;
        if (!target)
            device->GetRenderTarget(0, &target);
        std::vector<uint32_t> texels;
        EXPECT_EQ(device->ReadSurfacePixels(target, &texels), D3D_OK);
        if (!surface)
            target->Release();
        return texels;
    }

    GraphicsTestDevice device{PlatGraphicsBackendKind::OpenGL, kSize, kSize};
};

::testing::AssertionResult NearColour(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = (actual >> shift) & 0xFF;
        const int e = (expected >> shift) & 0xFF;
        if (std::abs(a - e) > tolerance)
            return ::testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(GLDevice, PretransformedQuadsCoverExactlyTheirPixels) {
    IDirect3DTexture9* checker = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &checker, nullptr), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(checker->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            static_cast<uint32_t*>(locked.pBits)[y * 4 + x] = (x + y) % 2 ? kWhite : kRed;
    ASSERT_EQ(checker->UnlockRect(0), D3D_OK);
    device->SetTexture(0, checker);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    DrawRect(0, 0, kSize, kSize, kWhite);
    device->SetTexture(0, nullptr);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    DrawRect(3, 5, 7, 6, kBlue);
    ASSERT_EQ(device->EndScene(), D3D_OK);

    const std::vector<uint32_t> pixels = Read();
    for (UINT y = 0; y < kSize; ++y)
        for (UINT x = 0; x < kSize; ++x) {
            uint32_t expected = (x / 4 + y / 4) % 2 ? kWhite : kRed;
            if (y == 5 && x >= 3 && x < 7)
                expected = kBlue;
            ASSERT_EQ(pixels[y * kSize + x], expected) << "pixel " << x << "," << y;
        }
    checker->Release();
}

TEST_F(GLDevice, TextureLoadedFromAFileCoversItsQuadrants) {
    const TestBytes tga = WriteTga({2, 2, {kRed, kWhite, kBlue, 0xFF00FF00}}, 24, false, false);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  device.Get(), tga.data(), UINT(tga.size()), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                  D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER, 0,
                  nullptr, nullptr, &texture),
              D3D_OK);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    DrawRect(0, 0, kSize, kSize, kBlack);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const std::vector<uint32_t> pixels = Read();
    EXPECT_EQ(pixels[0], kRed);
    EXPECT_EQ(pixels[kSize - 1], kWhite);
    EXPECT_EQ(pixels[(kSize - 1) * kSize], kBlue);
    EXPECT_EQ(pixels[kSize * kSize - 1], 0xFF00FF00u);
    EXPECT_EQ(pixels[(kSize / 2 - 1) * kSize + kSize / 2], kWhite) << "the quadrants meet in the middle";
    EXPECT_EQ(pixels[(kSize / 2) * kSize + kSize / 2 - 1], kBlue);
    texture->Release();
}

TEST_F(GLDevice, CullCounterClockwiseKeepsOnlyTheClockwiseTriangle) {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    // On screen (y down): left triangle clockwise, right one counter-clockwise.
    const TestScreenVertex triangles[6] = {{0, 0, 0.5f, 1, kWhite, 0, 0},  {7, 0, 0.5f, 1, kWhite, 0, 0},
                                           {0, 15, 0.5f, 1, kWhite, 0, 0}, {8, 0, 0.5f, 1, kRed, 0, 0},
                                           {8, 15, 0.5f, 1, kRed, 0, 0},   {15, 0, 0.5f, 1, kRed, 0, 0}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, triangles, sizeof(TestScreenVertex)), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const std::vector<uint32_t> pixels = Read();
    EXPECT_EQ(pixels[1 * kSize + 1], kWhite);
    EXPECT_EQ(pixels[1 * kSize + 10], kBlack);
}

TEST_F(GLDevice, DepthTestKeepsTheNearerQuad) {
    DrawRect(0, 0, 8, 8, kRed, 0.25f);
    DrawRect(0, 0, 16, 16, kBlue, 0.75f);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const std::vector<uint32_t> pixels = Read();
    EXPECT_EQ(pixels[2 * kSize + 2], kRed);
    EXPECT_EQ(pixels[12 * kSize + 12], kBlue);
}

TEST_F(GLDevice, ProjectedPointLandsOnThePredictedPixel) {
    const D3DMATRIX view = ViewFromMinusFive();
    const D3DMATRIX projection = Perspective90();
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetFVF(kTestMeshFvf);
    // (0.5, 0.25, 0) is at view depth 5: ndc (0.1, 0.05), screen (8.8, 7.6)
    // on 16 pixels, so pixel (9, 8) once rounded to the nearest centre.
    // The second point lies beyond the far plane.
    const TestMeshVertex points[2] = {{0.5f, 0.25f, 0, 0, 0, -1, kWhite, 0, 0, 0, 0, 0},
                                      {-0.5f, -0.25f, 200, 0, 0, -1, kWhite, 0, 0, 0, 0, 0}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 2, points, sizeof(TestMeshVertex)), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const std::vector<uint32_t> pixels = Read();
    for (UINT i = 0; i < pixels.size(); ++i)
        EXPECT_EQ(pixels[i], i == 8 * kSize + 9 ? kWhite : kBlack)
            << "pixel " << i % kSize << "," << i / kSize;
}

TEST_F(GLDevice, StretchRectCopiesWithoutFlipping) {
    DrawRect(0, 0, kSize, kSize / 2, kRed);
    DrawRect(0, kSize / 2, kSize, kSize, kBlue);
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                    nullptr),
              D3D_OK);
    IDirect3DSurface9* small = nullptr;
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &small), D3D_OK);
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);
    ASSERT_EQ(device->StretchRect(backBuffer, nullptr, small, nullptr, D3DTEXF_LINEAR), D3D_OK);
    const std::vector<uint32_t> copied = Read(small);
    EXPECT_EQ(copied[0], kRed);
    EXPECT_EQ(copied[7 * 8 + 7], kBlue);

    // Sampled back over the whole screen, the copy keeps red at the top.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0), D3D_OK);
    device->SetTexture(0, target);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    DrawRect(0, 0, kSize, kSize, kWhite);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const std::vector<uint32_t> pixels = Read();
    EXPECT_EQ(pixels[1 * kSize + 3], kRed);
    EXPECT_EQ(pixels[14 * kSize + 3], kBlue);
    // Drawing into the target lands in its top rows too.
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    device->SetTexture(0, nullptr);
    ASSERT_EQ(device->SetRenderTarget(0, small), D3D_OK);
    ASSERT_EQ(device->SetDepthStencilSurface(nullptr), D3D_OK);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    DrawRect(0, 0, 8, 1, kWhite);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(Read(small)[3], kWhite);
    device->SetRenderTarget(0, backBuffer);
    backBuffer->Release();
    small->Release();
    target->Release();
}

TEST_F(GLDevice, AlphaBlendMixesWithTheTarget) {
    DrawRect(0, 0, kSize, kSize, kBlue);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    DrawRect(0, 0, kSize, kSize, D3DCOLOR_ARGB(0x80, 0xFF, 0, 0), 0.25f);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_TRUE(NearColour(Read()[5], D3DCOLOR_ARGB(0xC0, 0x80, 0, 0x7F), 2));
}

// A white quad across the view at depth 5 with linear fog from 0 to 10 is
// half fogged; lit by a directional light at 60 degrees it gets half the
// light's colour plus the ambient.
TEST_F(GLDevice, FogAndDirectionalLightGiveTheExpectedColours) {
    const D3DMATRIX view = ViewFromMinusFive();
    const D3DMATRIX projection = Perspective90();
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetFVF(kTestMeshFvf);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    const TestMeshVertex left[4] = {{-9, 9, 0, 0, 0, -1, kWhite, 0, 0, 0, 0, 0},
                                    {0, 9, 0, 0, 0, -1, kWhite, 0, 0, 0, 0, 0},
                                    {-9, -9, 0, 0, 0, -1, kWhite, 0, 0, 0, 0, 0},
                                    {0, -9, 0, 0, 0, -1, kWhite, 0, 0, 0, 0, 0}};
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_FOGSTART, PlatFloatBits(0.0f));
    device->SetRenderState(D3DRS_FOGEND, PlatFloatBits(10.0f));
    device->SetRenderState(D3DRS_FOGCOLOR, 0xFF00FF00);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, left, sizeof(TestMeshVertex)), D3D_OK);

    TestMeshVertex right[4];
    for (int i = 0; i < 4; ++i) {
        right[i] = left[i];
        right[i].x += 9;
    }
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
    D3DMATERIAL9 material;
    material.Diffuse = {1, 1, 1, 1};
    material.Ambient = {1, 1, 1, 1};
    device->SetMaterial(&material);
    D3DLIGHT9 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {0.8f, 0.8f, 0.8f, 1};
    light.Direction = {0, 0.8660254f, 0.5f};
    device->SetLight(3, &light);
    device->LightEnable(3, TRUE);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, right, sizeof(TestMeshVertex)), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);

    const std::vector<uint32_t> pixels = Read();
    EXPECT_TRUE(NearColour(pixels[8 * kSize + 3], 0xFF80FF80, 2));
    const unsigned shade = 0x20 + 102; // ambient + 0.8 * cos 60
    EXPECT_TRUE(NearColour(pixels[8 * kSize + 12], D3DCOLOR_ARGB(0xFF, shade, shade, shade), 2));
}

TEST_F(GLDevice, ColourStaysBetweenFramesAndPresentWorks) {
    DrawRect(0, 0, kSize, kSize, kRed);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0), D3D_OK);
    EXPECT_EQ(Read()[77], kRed);
}

} // namespace
