#include "GraphicsTestDevice.h"

#include "Platform/Graphics/Effect.h"
#include "Platform/Graphics/EffectParser.h"
#include "Platform/Recording/RecordingBackend.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Draws in the colour of a float4 parameter; g_vLight is shared.
constexpr char kColourEffect[] = R"(# fills with g_vLight
parameter shared float4 g_vLight = 0 0 1 1 "light direction"
parameter shared float4x4 g_mViewInv
parameter texture tex0
parameter texturecube tex1
parameter float SpeedRatio = 0.5
parameter int Forward = 1

shader vertex plainVS
in vec4 inPosition;
void main() {
    gl_Position = PlatToClip(uProjection * (uView * (uWorld * vec4(inPosition.xyz, 1.0))));
}
end

shader fragment colourFS
uniform vec4 g_vLight;
out vec4 outColour;
void main() { outColour = g_vLight; }
end

technique Colour
  pass P0
    vertex plainVS
    fragment colourFS
    render CULLMODE NONE
    render ZENABLE FALSE
    stage 0 COLOROP SELECTARG2
    sampler 0 ADDRESSU CLAMP
    texture 0 tex0
end
technique Second
  pass P0
end
)";

ID3DXEffect* Create(IDirect3DDevice9* device, const std::string& text, ID3DXEffectPool* pool) {
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    const HRESULT hr = D3DXCreateEffect(device, text.data(), static_cast<UINT>(text.size()), nullptr, nullptr,
                                        0, pool, &effect, &errors);
    EXPECT_EQ(hr, D3D_OK) << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
    if (errors)
        errors->Release();
    return effect;
}

TEST(EffectParser, BrokenFilesNameTheLine) {
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"parameter float4 a\ntechnique T\n pass P\n  render FOGSTRAT 1\nend\n",
         "line 4: unknown render state 'FOGSTRAT'"},
        {"technique T\n pass P\n  render CULLMODE SIDEWAYS\nend\n",
         "line 3: bad value 'SIDEWAYS' for CULLMODE"},
        {"technique T\n pass P\n  stage 3 COLOROP MODULATE\nend\n",
         "line 3: expected \"stage <index> <STATE> <value>\""},
        {"\n\nparameter float5 x\n", "line 3: unknown parameter type 'float5'"},
        {"parameter float x = 1 2\n", "line 1: too many values for 'x'"},
        {"parameter float x = 1,5\n", "line 1: bad number '1,5'"},
        {"technique T\n pass P\n", "line 3: technique 'T' from line 1 has no \"end\""},
        {"shader vertex v\nvoid main() {}\n", "line 3: shader 'v' has no \"end\""},
        {"technique T\nend\n", "line 2: technique 'T' has no pass"},
        {"technique T\n\n pass P\n  vertex v\n  fragment f\nend\n",
         "line 3: pass 'T.P': no vertex shader 'v'"},
        {"technique T\n pass P\n  texture 0 missing\nend\n",
         "line 2: pass 'T.P': no texture parameter 'missing'"},
        {"bogus\n", "line 1: unexpected 'bogus'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PlatEffectFile file;
        std::string error;
        EXPECT_FALSE(PlatEffectParser::Parse(c.text, &file, &error)) << c.text;
        EXPECT_EQ(error, c.message);
    }
}

TEST(EffectParser, ReadsParametersPassesAndStates) {
    PlatEffectFile file;
    std::string error;
    ASSERT_TRUE(PlatEffectParser::Parse(kColourEffect, &file, &error)) << error;
    ASSERT_EQ(file.parameters.size(), 6u);
    EXPECT_TRUE(file.parameters[0].shared);
    EXPECT_EQ(file.parameters[0].description, "light direction");
    EXPECT_FLOAT_EQ(file.parameters[0].defaults[2], 1.0f);
    EXPECT_FLOAT_EQ(file.parameters[1].defaults[15], 1.0f) << "matrices default to identity";
    ASSERT_EQ(file.techniques.size(), 2u);
    const PlatEffectPassDecl& pass = file.techniques[0].passes[0];
    ASSERT_EQ(pass.states.size(), 4u);
    EXPECT_EQ(pass.states[2].group, PlatStateGroup::Stage);
    EXPECT_EQ(pass.states[2].value, static_cast<DWORD>(D3DTOP_SELECTARG2));
    EXPECT_EQ(pass.textures[0].parameter, "tex0");
    EXPECT_TRUE(file.techniques[1].passes[0].vertexShader.empty());
}

class RecordingEffect : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(device.result, D3D_OK);
        effect = Create(device.Get(), kColourEffect, nullptr);
        ASSERT_NE(effect, nullptr);
    }
    void TearDown() override {
        if (effect)
            effect->Release();
    }

    GraphicsTestDevice device{PlatGraphicsBackendKind::Recording, 8, 8};
    ID3DXEffect* effect = nullptr;
};

TEST_F(RecordingEffect, ParametersAreFoundByNameAndIndexWithTheirTypes) {
    D3DXEFFECT_DESC desc;
    ASSERT_EQ(effect->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Parameters, 6u);
    const D3DXPARAMETER_TYPE types[] = {D3DXPT_FLOAT,       D3DXPT_FLOAT, D3DXPT_TEXTURE,
                                        D3DXPT_TEXTURECUBE, D3DXPT_FLOAT, D3DXPT_INT};
    for (UINT i = 0; i < desc.Parameters; ++i) {
        D3DXPARAMETER_DESC parameter;
        ASSERT_EQ(effect->GetParameterDesc(effect->GetParameter(nullptr, i), &parameter), D3D_OK);
        EXPECT_EQ(parameter.Type, types[i]) << i;
    }
    EXPECT_EQ(effect->GetParameter(nullptr, 6), nullptr);
    const D3DXHANDLE handle = effect->GetParameterByName(nullptr, "SpeedRatio");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(effect->GetParameterByName(nullptr, "tex2"), nullptr) << "tex0, tex1 ... stop at the first gap";
    EXPECT_EQ(effect->SetFloat(handle, 0.25f), D3D_OK);
    float ratio = 0;
    EXPECT_EQ(effect->GetFloat("SpeedRatio", &ratio), D3D_OK);
    EXPECT_FLOAT_EQ(ratio, 0.25f);
    EXPECT_EQ(effect->SetInt("NoSuchName", 3), D3DERR_INVALIDCALL) << "unknown names are ignored";
    EXPECT_EQ(effect->SetTexture("SpeedRatio", nullptr), D3DERR_INVALIDCALL);

    D3DXHANDLE technique = nullptr;
    ASSERT_EQ(effect->FindNextValidTechnique(nullptr, &technique), D3D_OK);
    EXPECT_STREQ(technique, "Colour");
    ASSERT_EQ(effect->FindNextValidTechnique(technique, &technique), D3D_OK);
    EXPECT_STREQ(technique, "Second");
    EXPECT_EQ(effect->FindNextValidTechnique(technique, &technique), S_FALSE);
}

TEST_F(RecordingEffect, EndRestoresTheDeviceStateAndCommitReachesTheDraw) {
    IDirect3DTexture9* before = nullptr;
    IDirect3DTexture9* picture = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &before, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &picture, nullptr), D3D_OK);
    device->SetTexture(0, before);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetFVF(D3DFVF_XYZ);
    const PlatDeviceState original = device->GetState();

    ASSERT_EQ(effect->SetTechnique("Colour"), D3D_OK);
    ASSERT_EQ(effect->SetTexture("tex0", picture), D3D_OK);
    picture->Release(); // the effect keeps it
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    ASSERT_EQ(passes, 1u);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    EXPECT_EQ(device->GetState().RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(device->GetState().textures[0], picture);
    const float triangle[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 12), D3D_OK);
    const float light[4] = {1, 0, 0, 1};
    ASSERT_EQ(effect->SetFloatArray("g_vLight", light, 4), D3D_OK);
    ASSERT_EQ(effect->CommitChanges(), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 12), D3D_OK);
    ASSERT_EQ(effect->EndPass(), D3D_OK);
    ASSERT_EQ(effect->End(), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 12), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);

    const PlatDeviceState& restored = device->GetState();
    EXPECT_EQ(restored.renderStates, original.renderStates);
    EXPECT_EQ(restored.stageStates, original.stageStates);
    EXPECT_EQ(restored.samplerStates, original.samplerStates);
    EXPECT_EQ(restored.textures[0], before);

    const auto draws = dynamic_cast<PlatRecordingBackend&>(device->GetBackend()).GetDraws();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0]->program, "Colour.P0");
    EXPECT_EQ(draws[0]->uniforms.at("g_vLight"), (std::vector<float>{0, 0, 1, 1}));
    EXPECT_EQ(draws[1]->uniforms.at("g_vLight"), (std::vector<float>{1, 0, 0, 1}));
    EXPECT_EQ(draws[1]->uniforms.at("tex0"), (std::vector<float>{0}));
    EXPECT_EQ(draws[2]->program, "") << "after End the fixed-function emulation draws";
    before->Release();
}

TEST(EffectCreation, FailuresReportTheLine) {
    GraphicsTestDevice device(PlatGraphicsBackendKind::OpenGL, 8, 8);
    ASSERT_EQ(device.result, D3D_OK);
    const std::string broken =
        "shader vertex v\nvoid main() { gl_Position = vec4(oops); }\nend\n"
        "shader fragment f\nout vec4 outColour;\nvoid main() { outColour = vec4(1.0); }\nend\n"
        "technique T\n  pass P\n    vertex v\n    fragment f\nend\n";
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    EXPECT_EQ(D3DXCreateEffect(device.Get(), broken.data(), UINT(broken.size()), nullptr, nullptr, 0, nullptr,
                               &effect, &errors),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(effect, nullptr);
    ASSERT_NE(errors, nullptr);
    EXPECT_EQ(
        std::string(static_cast<const char*>(errors->GetBufferPointer())).rfind("line 9: pass 'T.P'", 0), 0u);
    errors->Release();
    const std::string empty = "# nothing\n";
    EXPECT_EQ(D3DXCreateEffect(device.Get(), empty.data(), UINT(empty.size()), nullptr, nullptr, 0, nullptr,
                               &effect, nullptr),
              D3DXERR_INVALIDDATA);
}

// Two effects made with a pool and one without: g_vLight set once through
// the first is seen by both pooled effects and not by the third.
TEST(EffectPool, SharedValuesReachOnlyThePooledEffects) {
    GraphicsTestDevice device(PlatGraphicsBackendKind::OpenGL, 12, 4);
    ASSERT_EQ(device.result, D3D_OK);
    ID3DXEffectPool* pool = nullptr;
    ASSERT_EQ(D3DXCreateEffectPool(&pool), D3D_OK);
    ID3DXEffect* effects[3] = {Create(device.Get(), kColourEffect, pool),
                               Create(device.Get(), kColourEffect, pool),
                               Create(device.Get(), kColourEffect, nullptr)};
    const float light[4] = {1, 0, 0, 1};
    ASSERT_EQ(effects[0]->SetFloatArray("g_vLight", light, 4), D3D_OK);

    ASSERT_EQ(device->BeginScene(), D3D_OK);
    device->SetFVF(D3DFVF_XYZ);
    for (int i = 0; i < 3; ++i) {
        D3DXHANDLE technique = nullptr;
        ASSERT_EQ(effects[i]->FindNextValidTechnique(nullptr, &technique), D3D_OK);
        ASSERT_EQ(effects[i]->SetTechnique(technique), D3D_OK);
        UINT passes = 0;
        ASSERT_EQ(effects[i]->Begin(&passes, 0), D3D_OK);
        ASSERT_EQ(effects[i]->BeginPass(0), D3D_OK);
        // A clip-space quad over the i-th third of the target.
        const float left = -1 + i * (2.0f / 3);
        const float right = left + 2.0f / 3;
        const float quad[12] = {left, 1, 0.5f, right, 1, 0.5f, left, -1, 0.5f, right, -1, 0.5f};
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 12), D3D_OK);
        ASSERT_EQ(effects[i]->EndPass(), D3D_OK);
        ASSERT_EQ(effects[i]->End(), D3D_OK);
    }
    ASSERT_EQ(device->EndScene(), D3D_OK);
    IDirect3DSurface9* target = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &target), D3D_OK);
    std::vector<uint32_t> pixels;
    ASSERT_EQ(device->ReadSurfacePixels(target, &pixels), D3D_OK);
    target->Release();
    EXPECT_EQ(pixels[12 * 1 + 1], 0xFFFF0000u);
    EXPECT_EQ(pixels[12 * 1 + 5], 0xFFFF0000u);
    EXPECT_EQ(pixels[12 * 1 + 9], 0xFF0000FFu) << "the effect without the pool keeps its default";
    for (ID3DXEffect* effect : effects)
        effect->Release();
    pool->Release();
}

} // namespace
