#include "Particles/ParticleQuad.h"

#include "Render/PPerspectiveCamera.h"

#include <cmath>

DWORD ColourByte(float value) {
    if (!(std::fabs(value) < 2147483647.0f))
        return 0;
    return static_cast<DWORD>(static_cast<int>(value)) & 0xFF;
}

ParticleCamera CurrentParticleCamera() {
    if (!g_MainCamera)
        return {PlatIdentityMatrix(), D3DXVECTOR3(), D3DXVECTOR3()};
    return {g_MainCamera->inverseView, g_MainCamera->eye, g_MainCamera->target};
}
