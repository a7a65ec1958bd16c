#include "Particles/ParticleQuad.h"

#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Render/RenderPriority.h"

#include <cmath>

DWORD ColourByte(float value) {
    if (!(std::fabs(value) < 2147483647.0f))
        return 0;
    return static_cast<DWORD>(static_cast<int>(value)) & 0xFF;
}

namespace {

// The race camera; outside a race (the menu scenes) the perspective camera
// bound to the default camera's level, if any.
const CPPerspectiveCamera* ViewingCamera() {
    if (g_MainCamera || !g_Render)
        return g_MainCamera;
    const auto level = g_Render->levels.find(RENDER_DEFAULT_CAMERA);
    if (level == g_Render->levels.end())
        return nullptr;
    return dynamic_cast<const CPPerspectiveCamera*>(level->second.camera.Get());
}

} // namespace

ParticleCamera CurrentParticleCamera() {
    const CPPerspectiveCamera* camera = ViewingCamera();
    if (!camera)
        return {PlatIdentityMatrix(), D3DXVECTOR3(), D3DXVECTOR3()};
    return {camera->inverseView, camera->eye, camera->target};
}
