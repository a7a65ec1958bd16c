#include "Render/PEffect.h"

#include "Core/Log.h"
#include "Core/PFileReader.h"
#include "Core/PTokenizer.h"
#include "Platform/Graphics/Unknown.h"
#include "Render/PEffectManager.h"
#include "Render/PRender.h"
#include "Render/PTextureBlock.h"

namespace {

constexpr const char* kModule = "Render\\PEffect";
constexpr int kCompileReportLine = 69;
constexpr int kFallbackReportLine = 89;
constexpr const char* kEffectFolder = "Data\\Effects";
constexpr const char* kFallbackEffect = "\\simple.fx";

} // namespace

CPEffect::~CPEffect() {
    if (g_EffectManager)
        g_EffectManager->RemoveEffect(this);
    if (effect)
        effect->Release();
}

bool CPEffect::Load(const std::string& request) {
    name = request;
    CPTokenizer fields(request, ",", true);
    std::string fileName, option;
    fields.NextToken(fileName);
    bool shared = false;
    while (fields.NextToken(option))
        shared = shared || option == "shared";

    CPFileReader reader(std::string(kEffectFolder) + "\\" + fileName, false);
    if (FAILED(reader.Load())) {
        GetLog().Print(0, "The effect %s\\%s could not be read; simple.fx stands in\n", kEffectFolder,
                       fileName.c_str());
        CPFileReader fallback(std::string(kEffectFolder) + kFallbackEffect, false);
        if (FAILED(fallback.Load()) ||
            !Compile(fallback.GetData(), fallback.GetSize(), nullptr, kFallbackReportLine))
            return false;
    } else {
        ID3DXEffectPool* pool = shared && g_EffectManager ? g_EffectManager->GetPool() : nullptr;
        if (!Compile(reader.GetData(), reader.GetSize(), pool, kCompileReportLine))
            return false;
        if (shared && g_EffectManager)
            g_EffectManager->OfferSharedEffect(effect);
    }
    for (int i = 0;; ++i) {
        const std::string parameter = "tex" + std::to_string(i);
        D3DXHANDLE handle = effect->GetParameterByName(nullptr, parameter.c_str());
        if (!handle)
            break;
        textureHandles.push_back(handle);
    }
    return true;
}

bool CPEffect::Compile(const uint8_t* data, int size, ID3DXEffectPool* pool, int reportLine) {
    IDirect3DDevice9* device = g_Render ? g_Render->GetDevice() : nullptr;
    HRESULT hr =
        D3DXCreateEffect(device, data, static_cast<UINT>(size), nullptr, nullptr, 0, pool, &effect, nullptr);
    // An effect without a technique that runs here could never draw: it
    // counts as one that did not compile.
    D3DXHANDLE technique = nullptr;
    if (SUCCEEDED(hr)) {
        hr = effect->FindNextValidTechnique(nullptr, &technique);
        if (SUCCEEDED(hr))
            hr = effect->SetTechnique(technique);
    }
    if (SUCCEEDED(hr))
        return true;
    PlatReleaseAndClear(effect);
    ReportPlatformError(kModule, reportLine, hr);
    return false;
}

void CPEffect::SetTextures(const CPTextureBlock& block) {
    if (!effect)
        return;
    const std::size_t count = std::min(textureHandles.size(), block.textures.size());
    for (std::size_t i = 0; i < count; ++i)
        effect->SetTexture(textureHandles[i], block.textures[i]->GetBaseTexture());
}

void CPEffect::OnLostDevice() {
    if (effect)
        effect->OnLostDevice();
}

void CPEffect::OnResetDevice() {
    if (effect)
        effect->OnResetDevice();
}
