#include "Render/PRender.h"

#include "Core/Log.h"
#include "Core/PSettings.h"
#include "Core/PTaskManager.h"
#include "Platform/Graphics/Unknown.h"
#include "Render/PMaterialManager.h"
#include "Render/PSky.h"
#include "Render/PVertexObjectRenderer.h"
#include "Render/RenderPriority.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

CPRender* g_Render = nullptr;

namespace {

constexpr const char* kModule = "Render\\PRender";
constexpr const char* kStartMessage = "Инициализация рендеринга\n";
constexpr const char* kModesMessage = "\nДоступные видеорежимы";
constexpr const char* kShadowEffect = "shad2.fx";
constexpr int kGridCells = 4;

D3DCOLORVALUE Colour(float r, float g, float b, float a) {
    D3DCOLORVALUE colour;
    colour.r = r;
    colour.g = g;
    colour.b = b;
    colour.a = a;
    return colour;
}

bool IsListedModeSize(UINT width, UINT height) {
    constexpr std::pair<UINT, UINT> kSizes[] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    return std::find(std::begin(kSizes), std::end(kSizes), std::pair{width, height}) != std::end(kSizes);
}

} // namespace

CPRender::CPRender() {
    g_Render = this;
    D3DXMatrixIdentity(&skyViewProjection);
    D3DXMatrixIdentity(&frameView);
    D3DXMatrixIdentity(&frameProjection);
    D3DXMatrixIdentity(&frameViewProjection);
}

CPRender::~CPRender() {
    levels.clear();
    FreeDeviceObjects();
    staticBuffers.Clear();
    sky.reset();
    if (g_Render == this)
        g_Render = nullptr;
}

void CPRender::FreeDeviceObjects() {
    renderBlocks.clear();
    CPRenderBlock* block = mainBlock.Get();
    mainBlock = nullptr;
    delete block;
    staticBuffers.ReleaseBuffers();
    loadingScreen.Release();
    // The post effects' targets and surfaces go before the device that owns
    // the back buffer among them.
    bloom.OnLostDevice();
    PlatReleaseAndClear(device);
    PlatReleaseAndClear(direct3D);
    if (g_VertexObjectRenderer.device && !device)
        g_VertexObjectRenderer.device = nullptr;
}

bool CPRender::Start() {
    GetLog().Print(0, "%s", kStartMessage);
    direct3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!direct3D)
        return false;
    if (const HRESULT hr = CreateDevice(); FAILED(hr)) {
        ReportPlatformError(kModule, __LINE__, hr);
        return false;
    }
    // Without its buffers the main block could never draw anything.
    auto* block = new CPRenderBlock();
    if (!block->Create(false, g_StaticSetting != 0 ? 2 : 4, 0, 0)) {
        delete block;
        GetLog().Print(0, "The frame's vertex buffers could not be created\n");
        return false;
    }
    mainBlock = block;
    staticBuffers.Restore(device);
    D3DCAPS9 caps;
    direct3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps);
    maxAnisotropy = static_cast<int>(caps.MaxAnisotropy);
    SetDefaultStates();
    if (g_MaterialManager)
        g_MaterialManager->GetMaterial(commonShadowMaterial, RENDER_SHADOW, kShadowEffect, {});
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff000000, 1.0f, 0);
    device->BeginScene();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    BuildScreenGrid();
    g_VertexObjectRenderer.device = device;
    bloom.Create(device);
    return CPTask::Start();
}

void CPRender::BuildScreenGrid() {
    gridColumns = gridRows = kGridCells;
    const int n = kGridCells + 1;
    gridVertices.assign(n * n, ScreenVertex{});
    gridVertices2.assign(n * n, ScreenVertex{});
    blurDirections.assign(n * n, D3DXVECTOR2(0, 0));
    gridIndices.assign(kGridCells * kGridCells * 6, 0);
    if (g_Blur == 0)
        return;
    radialBlurAmount = 0;
    const float width = static_cast<float>(g_ScreenWidth);
    const float height = static_cast<float>(g_ScreenHeight);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            ScreenVertex& vertex = gridVertices[i * n + j];
            vertex = {j * width / kGridCells,
                      i * height / kGridCells,
                      1.0f,
                      1.0f,
                      0xffffffff,
                      static_cast<float>(j) / kGridCells,
                      static_cast<float>(i) / kGridCells};
            if (j == 0 || j == kGridCells)
                vertex.x -= 0.5f;
            if (i == 0 || i == kGridCells)
                vertex.y -= 0.5f;
        }
    }
    for (int r = 0; r < kGridCells; ++r) {
        for (int c = 0; c < kGridCells; ++c) {
            const auto first = static_cast<uint16_t>(n * r + c);
            const auto below = static_cast<uint16_t>(n * (r + 1) + c);
            const uint16_t cell[6] = {
                first, static_cast<uint16_t>(first + 1), below,
                below, static_cast<uint16_t>(first + 1), static_cast<uint16_t>(below + 1)};
            std::copy(std::begin(cell), std::end(cell), gridIndices.begin() + (r * kGridCells + c) * 6);
        }
    }
    gridVertexCount = n * n;
    UpdateBlurGrid(0.0f);
}

void CPRender::UpdateBlurGrid(float v) {
    if (g_Blur == 0 || gridVertices.empty())
        return;
    const D3DXVECTOR2 centre(g_ScreenWidth * 0.5f, (v + 1.0f) * g_ScreenHeight * 0.5f);
    for (std::size_t k = 0; k < gridVertices.size(); ++k) {
        const D3DXVECTOR2 offset(gridVertices[k].x - centre.x, gridVertices[k].y - centre.y);
        // The vertex at the centre has no direction.
        if (D3DXVec2Length(&offset) > 1e-6f)
            D3DXVec2Normalize(&blurDirections[k], &offset);
        else
            blurDirections[k] = D3DXVECTOR2(0, 0);
    }
}

void CPRender::Stop() {
    EmptyQueue();
    commonShadowMaterial = nullptr;
    FreeDeviceObjects();
    CPTask::Stop();
}

HRESULT CPRender::CreateDevice() {
    presentParameters = D3DPRESENT_PARAMETERS();
    presentParameters.EnableAutoDepthStencil = TRUE;
    presentParameters.AutoDepthStencilFormat = D3DFMT_D16;
    presentParameters.BackBufferCount = 1;
    D3DCAPS9 caps;
    direct3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps);
    vertexProcessing = (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                                       : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    HWND window = g_TaskManager ? g_TaskManager->hWnd : nullptr;
    presentParameters.BackBufferWidth = static_cast<UINT>(std::max(g_ScreenWidth, 0));
    presentParameters.BackBufferHeight = static_cast<UINT>(std::max(g_ScreenHeight, 0));
    presentParameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    presentParameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParameters.hDeviceWindow = window;
    if (g_FullScreen == 0) {
        presentParameters.Windowed = TRUE;
        presentParameters.BackBufferFormat = D3DFMT_A8R8G8B8;
        ListDisplayModes();
    } else {
        format16 =
            SUCCEEDED(direct3D->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_A1R5G5B5, D3DFMT_A1R5G5B5, FALSE))
                ? D3DFMT_A1R5G5B5
                : D3DFMT_UNKNOWN;
        format32 = D3DFMT_A8R8G8B8;
        multisampling = false;
        ListDisplayModes();
        presentParameters.BackBufferFormat = g_ScreenBPP == 16 ? format16 : format32;
        DWORD levelsOffered = 0;
        if (SUCCEEDED(direct3D->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL,
                                                           presentParameters.BackBufferFormat, FALSE,
                                                           D3DMULTISAMPLE_NONMASKABLE, &levelsOffered)) &&
            g_Contrast != 0) {
            multisampling = true;
            multisampleQualityLevels = static_cast<int>(levelsOffered);
            presentParameters.MultiSampleType = D3DMULTISAMPLE_NONMASKABLE;
            presentParameters.MultiSampleQuality = levelsOffered - 1;
        } else {
            presentParameters.MultiSampleType = D3DMULTISAMPLE_NONE;
        }
        presentParameters.Windowed = FALSE;
        presentParameters.Flags = D3DPRESENTFLAG_DISCARDDEPTHSTENCIL;
        presentParameters.FullScreen_RefreshRateInHz = 0;
    }
    const HRESULT hr =
        direct3D->CreateDevice(0, D3DDEVTYPE_HAL, window, vertexProcessing, &presentParameters, &device);
    if (FAILED(hr)) {
        ReportPlatformError(kModule, __LINE__, hr);
        return hr;
    }
    if (g_FullScreen != 0)
        device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, FALSE);
    return D3D_OK;
}

void CPRender::ListDisplayModes() {
    displayModes.clear();
    if (g_FullScreen == 0) {
        displayModes.push_back({g_ScreenHeight, g_ScreenWidth, format32});
        return;
    }
    for (const D3DFORMAT format : {format16, format32}) {
        const UINT count = direct3D->GetAdapterModeCount(0, format);
        for (UINT i = 0; i < count; ++i) {
            D3DDISPLAYMODE mode;
            if (FAILED(direct3D->EnumAdapterModes(0, format, i, &mode)) ||
                !IsListedModeSize(mode.Width, mode.Height))
                continue;
            const DisplayMode entry{static_cast<int>(mode.Height), static_cast<int>(mode.Width), format};
            if (std::find(displayModes.begin(), displayModes.end(), entry) == displayModes.end())
                displayModes.push_back(entry);
        }
    }
    GetLog().Print(0, "%s\n", kModesMessage);
    for (const DisplayMode& mode : displayModes)
        GetLog().Print(0, "%dx%dx%d\n", mode.width, mode.height, mode.format == format16 ? 16 : 32);
    GetLog().Print(0, "\n");
}

void CPRender::SetDefaultStates() {
    D3DXMATRIX view, projection;
    const D3DXVECTOR3 eye(0, 0, 14.5f), at(0, 0, 0), up(0, 0, 1);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    device->SetTransform(D3DTS_VIEW, &view);
    D3DXMatrixPerspectiveFovLH(&projection, 1.0995574f, 4.0f / 3.0f, 0.1f, 1000.0f);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    SetTextureFilter();
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    device->SetRenderState(D3DRS_DITHERENABLE, TRUE);
    device->SetRenderState(D3DRS_CLIPPING, TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_AMBIENT, ambient);
    device->SetFVF(MESH_VERTEX_FVF);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    device->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(1, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(2, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    D3DMATERIAL9 material;
    material.Diffuse = Colour(1, 1, 1, 1);
    material.Ambient = Colour(1, 1, 1, 1);
    material.Specular = Colour(0.3f, 0.3f, 0.3f, 1);
    material.Emissive = Colour(0, 0, 0, 0);
    material.Power = 10;
    device->SetMaterial(&material);
    device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
    device->SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
    device->SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_FOGDENSITY, PlatFloatBits(0.0f));
    device->SetRenderState(D3DRS_FOGSTART, PlatFloatBits(50.0f));
    const float distance = static_cast<float>(g_Distance);
    device->SetRenderState(D3DRS_FOGEND, PlatFloatBits(distance - 0.1f * distance));
    device->SetRenderState(D3DRS_FOGCOLOR, fogColour);

    auto camera = std::make_unique<CPBaseCamera>();
    D3DXMatrixOrthoOffCenterLH(&camera->view, 0, static_cast<float>(g_ScreenWidth),
                               static_cast<float>(g_ScreenHeight), 0, 0, 1);
    SetLevelCamera(RENDER_SCREEN, camera.get());
    screenCamera = std::move(camera);
}

void CPRender::SetTextureFilter() {
    if (g_Aniso > 0) {
        // Clamped before the conversion: a huge or infinite setting has no
        // integer value.
        const float maximum = static_cast<float>(maxAnisotropy);
        const int anisotropy = static_cast<int>(std::min(maximum, std::ceil(maximum * g_Aniso)));
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
        device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(0, D3DSAMP_MAXANISOTROPY, static_cast<DWORD>(anisotropy));
    } else {
        for (D3DSAMPLERSTATETYPE filter : {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER})
            device->SetSamplerState(0, filter, D3DTEXF_LINEAR);
    }
    for (D3DSAMPLERSTATETYPE filter : {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER})
        device->SetSamplerState(1, filter, D3DTEXF_LINEAR);
}

void CPRender::ResetDevice() {
    NotifyDeviceLost();
    bloom.OnLostDevice();
    if (!device)
        return;
    if (const HRESULT hr = device->Reset(&presentParameters); FAILED(hr)) {
        ReportPlatformError(kModule, __LINE__, hr);
        if (mainBlock)
            mainBlock->Reset();
        lightCount = 0;
        return;
    }
    NotifyDeviceReset();
    SetDefaultStates();
    bloom.Create(device);
}

void CPRender::DrawScreenQuad(const ScreenVertex (&quad)[4]) {
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
}

void CPRender::EmptyQueue() {
    for (auto& [priority, level] : levels) {
        for (const auto& effectGroup : level.effectGroups) {
            for (const auto& textureGroup : effectGroup->textureGroups)
                textureGroup->OnDrop();
        }
    }
    levels.clear();
}

void CPRender::ForgetMaterials() {
    levels.clear();
    commonShadowMaterial = nullptr;
    if (mainBlock)
        mainBlock->Reset();
}

void CPRender::LoadSky(int number) {
    sky.reset();
    sky = MakeSky();
    if (!sky)
        return;
    char fileName[32];
    std::snprintf(fileName, sizeof(fileName), "skyscape%d.txt", number);
    sky->Load(fileName);
}
