#include "DynamicSky/SkyServices.h"

#include "Render/PRender.h"

namespace {

constexpr float kSunRange = 10000.0f;

} // namespace

void QueueSunLight(const D3DXVECTOR3& direction, const D3DCOLORVALUE& colour) {
    if (!g_Render)
        return;
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Direction = direction;
    light.Diffuse = colour;
    light.Specular = colour;
    light.Range = kSunRange;
    g_Render->QueueLight(light);
}

SkyServices g_SkyServices;
