#pragma once

#include "Platform/D3DX9Math.h"
#include "Platform/Graphics/D3D9Types.h"

#include <functional>

// Queues the sun as a directional light of its own with the frame's lights.
void QueueSunLight(const D3DXVECTOR3& direction, const D3DCOLORVALUE& colour);

// What the sky needs of the level above it: a place for the sun light. The
// level connects its own sun record; until then the sun is queued with the
// frame's lights as a plain directional light.
struct SkyServices {
    // Makes the sun shine along the unit `direction` with `colour` (diffuse
    // and specular) and adds it to the frame's lights.
    std::function<void(const D3DXVECTOR3& direction, const D3DCOLORVALUE& colour)> addSunLight =
        QueueSunLight;
};

extern SkyServices g_SkyServices;
