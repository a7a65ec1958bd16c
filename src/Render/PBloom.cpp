#include "Render/PBloom.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PGlobalTimer.h"
#include "Core/PSettings.h"
#include "Render/MeshVertex.h"
#include "Render/PRender.h"
#include "Render/ScreenTexture.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kModule = "Render\\PBloom";
constexpr const char* kBloomEffect = "data/effects/bloom.fx";
constexpr const char* kBloom2Effect = "data/effects/bloom2.fx";
constexpr const char* kBlurEffect = "data/effects/blur.fx";
constexpr const char* kCombineEffect = "data/effects/bloomcombine.fx";
constexpr const char* kBlurMask = "data/TEXTUREs/blurmask_2.tga";
constexpr const char* kNoise = "data/TEXTUREs/noise.tga";

// A quad from (-0.5, -0.5) to (right, bottom) covering the texture once.
void PlaceQuad(ScreenVertex (&quad)[4], float right, float bottom) {
    quad[0] = {right, -0.5f, 1, 1, 0xffffffff, 1, 0};
    quad[1] = {right, bottom, 1, 1, 0xffffffff, 1, 1};
    quad[2] = {-0.5f, -0.5f, 1, 1, 0xffffffff, 0, 0};
    quad[3] = {-0.5f, bottom, 1, 1, 0xffffffff, 0, 1};
}

bool IsTextureType(D3DXPARAMETER_TYPE type) {
    return type == D3DXPT_TEXTURE || type == D3DXPT_TEXTURE1D || type == D3DXPT_TEXTURE2D ||
           type == D3DXPT_TEXTURE3D || type == D3DXPT_TEXTURECUBE;
}

} // namespace

CPBloom::CPBloom() {
    PlaceQuad(screenQuad, quadRight, quadBottom);
}

CPBloom::~CPBloom() {
    OnLostDevice();
}

HRESULT CPBloom::Create(IDirect3DDevice9* newDevice) {
    if (!newDevice)
        return E_FAIL;
    device = newDevice;
    bloomEffect = LoadEffect(kBloomEffect, bloomTextureParams);
    bloom2Effect = LoadEffect(kBloom2Effect, bloom2TextureParams);
    combineEffect = LoadEffect(kCombineEffect, combineTextureParams);
    if (g_Blur != 0) {
        blurMask = LoadScreenTexture(device, kBlurMask, kModule);
        blurEffect = LoadEffect(kBlurEffect, blurTextureParams);
    }
    noise = LoadScreenTexture(device, kNoise, kModule);
    CreateTargets();
    return S_OK;
}

ID3DXEffect* CPBloom::LoadEffect(const char* name, std::vector<D3DXHANDLE>& textureParams) {
    CPFileReader reader(name, false);
    if (FAILED(reader.Load()))
        return nullptr;
    ID3DXEffect* effect = nullptr;
    HRESULT hr = D3DXCreateEffect(device, reader.GetData(), static_cast<UINT>(reader.GetSize()), nullptr,
                                  nullptr, 0, nullptr, &effect, nullptr);
    D3DXHANDLE technique = nullptr;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = effect->FindNextValidTechnique(nullptr, &technique)))
        hr = effect->SetTechnique(technique);
    if (FAILED(hr)) {
        ReportPlatformError(kModule, __LINE__, hr);
        PlatReleaseAndClear(effect);
        return nullptr;
    }
    D3DXEFFECT_DESC description;
    effect->GetDesc(&description);
    for (UINT i = 0; i < description.Parameters; ++i) {
        D3DXHANDLE parameter = effect->GetParameter(nullptr, i);
        if (!parameter)
            break;
        D3DXPARAMETER_DESC parameterDescription;
        if (SUCCEEDED(effect->GetParameterDesc(parameter, &parameterDescription)) &&
            IsTextureType(parameterDescription.Type))
            textureParams.push_back(parameter);
    }
    return effect;
}

void CPBloom::CreateTargets() {
    if (FAILED(device->GetRenderTarget(0, &backBuffer)))
        return;
    device->GetDepthStencilSurface(&depthStencil);
    D3DSURFACE_DESC description;
    backBuffer->GetDesc(&description);
    quadRight = static_cast<float>(description.Width) - 0.5f;
    quadBottom = static_cast<float>(description.Height) - 0.5f;
    PlaceQuad(screenQuad, quadRight, quadBottom);
    const UINT halfWidth = std::max(description.Width / 2, 1u);
    const UINT halfHeight = std::max(description.Height / 2, 1u);
    const UINT smallWidth = std::max(description.Width / 4, 1u);
    const UINT smallHeight = std::max(description.Height / 4, 1u);
    PlaceQuad(halfQuad, static_cast<float>(halfWidth) - 0.5f, static_cast<float>(halfHeight) - 0.5f);
    PlaceQuad(smallQuad, static_cast<float>(smallWidth) - 0.5f, static_cast<float>(smallHeight) - 0.5f);
    CreateTarget(smallWidth, smallHeight, description.Format, smallTarget, smallSurface);
    CreateTarget(smallWidth, smallHeight, description.Format, smallCopy, smallCopySurface);
    CreateTarget(halfWidth, halfHeight, description.Format, blurTarget, blurSurface);
    CreateTarget(halfWidth, halfHeight, description.Format, frameCopy, frameCopySurface);
}

bool CPBloom::CreateTarget(UINT width, UINT height, D3DFORMAT format, IDirect3DTexture9*& texture,
                           IDirect3DSurface9*& surface) {
    HRESULT hr = device->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT,
                                       &texture, nullptr);
    if (SUCCEEDED(hr))
        hr = texture->GetSurfaceLevel(0, &surface);
    if (SUCCEEDED(hr))
        return true;
    ReportPlatformError(kModule, __LINE__, hr);
    PlatReleaseAndClear(texture);
    return false;
}

void CPBloom::Release() {
    PlatReleaseAndClear(blurMask);
    PlatReleaseAndClear(noise);
    PlatReleaseAndClear(bloomEffect);
    PlatReleaseAndClear(bloom2Effect);
    PlatReleaseAndClear(blurEffect);
    PlatReleaseAndClear(combineEffect);
    bloomTextureParams.clear();
    bloom2TextureParams.clear();
    blurTextureParams.clear();
    combineTextureParams.clear();
    device = nullptr;
}

void CPBloom::OnLostDevice() {
    ReleaseTargets();
    Release();
}

void CPBloom::ReleaseTargets() {
    // The device's own surfaces first: the targets may hold its last
    // references.
    PlatReleaseAndClear(backBuffer);
    PlatReleaseAndClear(depthStencil);
    PlatReleaseAndClear(smallSurface);
    PlatReleaseAndClear(smallTarget);
    PlatReleaseAndClear(smallCopySurface);
    PlatReleaseAndClear(smallCopy);
    PlatReleaseAndClear(blurSurface);
    PlatReleaseAndClear(blurTarget);
    PlatReleaseAndClear(frameCopySurface);
    PlatReleaseAndClear(frameCopy);
}

float CPBloom::GetSpeedRatio() const {
    if (!playerCarVelocity)
        return 0.0f;
    const D3DXVECTOR3 velocity = playerCarVelocity();
    const float ratio = D3DXVec3Length(&velocity) * kSpeedRatioPerUnit;
    return std::isnan(ratio) ? 0.0f : std::clamp(ratio, 0.0f, 1.0f);
}

void CPBloom::SetPostStates() {
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    for (DWORD sampler : {0u, 1u})
        for (D3DSAMPLERSTATETYPE filter : {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER})
            device->SetSamplerState(sampler, filter, D3DTEXF_LINEAR);
    device->SetFVF(SCREEN_VERTEX_FVF);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
}

void CPBloom::RestoreStates() {
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetFVF(MESH_VERTEX_FVF);
    if (g_Render && g_Render->GetDevice() == device)
        g_Render->SetTextureFilter();
}

void CPBloom::DrawQuad(const ScreenVertex (&quad)[4]) {
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
}

void CPBloom::ReturnToBackBuffer() {
    device->SetDepthStencilSurface(depthStencil);
    device->SetRenderTarget(0, backBuffer);
}

int CPBloom::RenderMotionBlur() {
    // Without its effect or targets the blur has nothing to draw with.
    if (!enabled || g_Blur == 0 || !device || !blurEffect || !blurMask || !blurSurface || !frameCopySurface ||
        !backBuffer)
        return 0;
    SetPostStates();
    blurTime += g_FrameTime;
    device->StretchRect(backBuffer, nullptr, frameCopySurface, nullptr, D3DTEXF_LINEAR);
    device->SetRenderTarget(0, blurSurface);
    // The post targets are drawn without depth: the frame's depth surface
    // need not be as large as they are.
    device->SetDepthStencilSurface(nullptr);
    UINT passes = 0;
    if (SUCCEEDED(blurEffect->Begin(&passes, 0))) {
        blurEffect->SetTexture("tex0", frameCopy);
        blurEffect->SetTexture("tex1", blurMask);
        blurEffect->SetFloat("SpeedRatio", GetSpeedRatio());
        blurEffect->SetInt("Forward", 1);
        for (UINT pass = 0; pass < passes; ++pass) {
            if (FAILED(blurEffect->BeginPass(pass)))
                continue;
            DrawQuad(halfQuad);
            blurEffect->EndPass();
        }
        blurEffect->End();
    }
    ReturnToBackBuffer();
    // The effect's alpha says how much of the blurred picture covers the frame.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetTexture(0, blurTarget);
    DrawQuad(screenQuad);
    RestoreStates();
    return 0;
}

void CPBloom::RunSmallEffect(ID3DXEffect* effect, const std::vector<D3DXHANDLE>& textureParams,
                             IDirect3DTexture9*& picture) {
    UINT passes = 0;
    if (!effect || FAILED(effect->Begin(&passes, 0)))
        return;
    for (UINT pass = 0; pass < passes; ++pass) {
        IDirect3DTexture9* target = picture == smallTarget ? smallCopy : smallTarget;
        for (D3DXHANDLE parameter : textureParams)
            effect->SetTexture(parameter, picture);
        device->SetRenderTarget(0, target == smallTarget ? smallSurface : smallCopySurface);
        if (FAILED(effect->BeginPass(pass)))
            continue;
        DrawQuad(smallQuad);
        effect->EndPass();
        picture = target;
    }
    effect->End();
}

void CPBloom::CombineBloom(IDirect3DTexture9* picture) {
    UINT passes = 0;
    if (combineEffect && noise && SUCCEEDED(combineEffect->Begin(&passes, 0))) {
        combineEffect->SetTexture("tex0", picture);
        combineEffect->SetTexture("tex1", noise);
        for (UINT pass = 0; pass < passes; ++pass) {
            if (FAILED(combineEffect->BeginPass(pass)))
                continue;
            DrawQuad(screenQuad);
            combineEffect->EndPass();
        }
        combineEffect->End();
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        return;
    }
    // Without the combining effect: the picture added weighted by its own
    // colour, then the grain laid over by its alpha (without its picture the
    // quad would cover the frame in white).
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCCOLOR);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetTexture(0, picture);
    DrawQuad(screenQuad);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    if (noise) {
        device->SetTexture(0, noise);
        DrawQuad(screenQuad);
    }
}

int CPBloom::RenderBloom() {
    if (!enabled || !device || !smallSurface || !smallCopySurface || !frameCopySurface || !backBuffer)
        return 0;
    SetPostStates();
    // Halved by the copy and halved again by the first pass, each averaging
    // two by two pixels.
    device->StretchRect(backBuffer, nullptr, frameCopySurface, nullptr, D3DTEXF_LINEAR);
    device->SetDepthStencilSurface(nullptr);
    IDirect3DTexture9* picture = frameCopy;
    RunSmallEffect(bloomEffect, bloomTextureParams, picture);
    RunSmallEffect(bloom2Effect, bloom2TextureParams, picture);
    ReturnToBackBuffer();
    CombineBloom(picture);
    RestoreStates();
    return 0;
}
