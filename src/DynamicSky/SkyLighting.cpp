#include "DynamicSky/SkyLighting.h"

#include "DynamicSky/SkyServices.h"
#include "Render/PRender.h"
#include "Render/PVertexObjectRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr float kByteSteps = 256.0f;

// The truncated value's low byte; values beyond the range of an int (or
// not numbers) give 0.
DWORD LowByte(float value) {
    if (!(std::fabs(value) < 2147483647.0f))
        return 0;
    return static_cast<DWORD>(static_cast<int32_t>(value)) & 0xFF;
}

} // namespace

DWORD SkyColour(float r, float g, float b) {
    return 0xFF000000 | LowByte(r) << 16 | LowByte(g) << 8 | LowByte(b);
}

float SunChannel(float c) {
    if (c >= 1.0f)
        return 255.0f / kByteSteps;
    if (c > 0.0f)
        return static_cast<float>(static_cast<int>(c * 255.0f + 0.5f)) / kByteSteps;
    return 0.0f;
}

void SetSkyAmbient(float r, float g, float b) {
    if (g_Render)
        g_Render->SetAmbient(SkyColour(r, g, b), r / 255.0f, g / 255.0f, b / 255.0f);
}

void SetSkyFogColour(float r, float g, float b) {
    if (!g_Render)
        return;
    g_Render->fogColour = SkyColour(r, g, b);
    if (IDirect3DDevice9* device = g_Render->GetDevice())
        device->SetRenderState(D3DRS_FOGCOLOR, g_Render->fogColour);
}

void SetSunLight(const D3DXVECTOR3& direction, const D3DXVECTOR3& colour) {
    D3DXVECTOR3 unit;
    D3DXVec3Normalize(&unit, &direction);
    const D3DCOLORVALUE light{SunChannel(colour.x), SunChannel(colour.y), SunChannel(colour.z), 0.0f};
    g_SkyServices.addSunLight(unit, light);
    if (g_Render && g_Render->GetDevice())
        g_Render->ApplyLights();
}

void ClearDepth() {
    if (IDirect3DDevice9* device = g_VertexObjectRenderer.device)
        device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
}
