#include "Render/PLoadingScreen.h"

#include "Core/PSettings.h"
#include "Platform/Graphics/Unknown.h"
#include "Render/ScreenTexture.h"
#include "Render/ScreenVertex.h"

namespace {

constexpr const char* kModule = "Render\\PLoadingScreen";
constexpr const char* kBackground = "data\\textures\\back2.jpg";
constexpr const char* kBar = "data\\textures\\load.tga";
// The bar's top edge as a share of the screen height (10 pixels at 768).
constexpr float kBarTop = 0.9869792f;
// Only the upper three quarters of the background picture are shown.
constexpr float kBackgroundBottom = 0.75f;

void DrawQuad(IDirect3DDevice9* device, const ScreenVertex (&quad)[4]) {
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
}

void SetScreenStates(IDirect3DDevice9* device) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    for (D3DTRANSFORMSTATETYPE transform : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION})
        device->SetTransform(transform, &identity);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    device->SetFVF(SCREEN_VERTEX_FVF);
}

} // namespace

CPLoadingScreen::~CPLoadingScreen() {
    Release();
}

void CPLoadingScreen::Release() {
    PlatReleaseAndClear(background);
    PlatReleaseAndClear(bar);
}

void CPLoadingScreen::Draw(IDirect3DDevice9* device, int percent) {
    if (!device)
        return;
    if (!background)
        background = LoadScreenTexture(device, kBackground, kModule);
    if (!bar)
        bar = LoadScreenTexture(device, kBar, kModule);
    const PlatDeviceState saved = device->GetState();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff000000, 1.0f, 0);
    device->BeginScene();
    SetScreenStates(device);

    const float width = static_cast<float>(g_ScreenWidth);
    const float height = static_cast<float>(g_ScreenHeight);
    device->SetTexture(0, background);
    const ScreenVertex backgroundQuad[4] = {{width - 0.5f, -0.5f, 1, 1, 0, 1, 0},
                                            {width - 0.5f, height - 0.5f, 1, 1, 0, 1, kBackgroundBottom},
                                            {-0.5f, -0.5f, 1, 1, 0, 0, 0},
                                            {-0.5f, height - 0.5f, 1, 1, 0, 0, kBackgroundBottom}};
    DrawQuad(device, backgroundQuad);

    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTexture(0, bar);
    const float right = static_cast<float>(percent) * width * 0.01f;
    const float top = height * kBarTop;
    const auto u = static_cast<float>(percent);
    const ScreenVertex barQuad[4] = {{right, top, 1, 1, 0xffffffff, u, 0},
                                     {right, height, 1, 1, 0xffffffff, u, 1},
                                     {0, top, 1, 1, 0xffffffff, 0, 0},
                                     {0, height, 1, 1, 0xffffffff, 0, 1}};
    DrawQuad(device, barQuad);
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    device->RestoreState(saved);
}
