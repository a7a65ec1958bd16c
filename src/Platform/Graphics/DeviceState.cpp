#include "Platform/Graphics/DeviceState.h"

namespace {

void SetRenderDefaults(std::array<DWORD, D3DRS_COUNT>& states) {
    states[D3DRS_ZENABLE] = D3DZB_TRUE;
    states[D3DRS_FILLMODE] = D3DFILL_SOLID;
    states[D3DRS_ZWRITEENABLE] = TRUE;
    states[D3DRS_ALPHATESTENABLE] = FALSE;
    states[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    states[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    states[D3DRS_CULLMODE] = D3DCULL_CCW;
    states[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    states[D3DRS_ALPHAREF] = 0;
    states[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    states[D3DRS_DITHERENABLE] = FALSE;
    states[D3DRS_ALPHABLENDENABLE] = FALSE;
    states[D3DRS_FOGENABLE] = FALSE;
    states[D3DRS_SPECULARENABLE] = FALSE;
    states[D3DRS_FOGCOLOR] = 0;
    states[D3DRS_FOGSTART] = PlatFloatBits(0.0f);
    states[D3DRS_FOGEND] = PlatFloatBits(1.0f);
    states[D3DRS_FOGDENSITY] = PlatFloatBits(1.0f);
    states[D3DRS_CLIPPING] = TRUE;
    states[D3DRS_LIGHTING] = TRUE;
    states[D3DRS_AMBIENT] = 0;
    states[D3DRS_FOGVERTEXMODE] = D3DFOG_NONE;
    states[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    states[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    states[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    states[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    states[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
    states[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
}

void SetStageDefaults(int stage, std::array<DWORD, D3DTSS_COUNT>& states) {
    states[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    states[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    states[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    states[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    states[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    states[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    states[D3DTSS_TEXCOORDINDEX] = static_cast<DWORD>(stage);
}

void SetSamplerDefaults(std::array<DWORD, D3DSAMP_COUNT>& states) {
    states[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
    states[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
    states[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    states[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
    states[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    states[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    states[D3DSAMP_MAXANISOTROPY] = 1;
}

// A light that was never set: white, shining along +z.
D3DLIGHT9 DefaultLight() {
    D3DLIGHT9 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 0};
    light.Direction = {0, 0, 1};
    return light;
}

} // namespace

PlatDeviceState PlatDeviceState::Defaults() {
    PlatDeviceState state;
    SetRenderDefaults(state.renderStates);
    for (int stage = 0; stage < kPlatTextureStages; ++stage)
        SetStageDefaults(stage, state.stageStates[stage]);
    for (auto& sampler : state.samplerStates)
        SetSamplerDefaults(sampler);
    state.transforms.fill(PlatIdentityMatrix());
    state.lights.fill(DefaultLight());
    return state;
}
