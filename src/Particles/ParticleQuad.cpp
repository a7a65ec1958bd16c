#include "Particles/ParticleQuad.h"

#include "Render/PPerspectiveCamera.h"

#include <cmath>

DWORD ColourByte(float value) {
    if (!(std::fabs(value) < 2147483647.0f))
        return 0;
    return static_cast<DWORD>(static_cast<int>(value)) & 0xFF;
}

MeshVertex ParticleVertex(const D3DXVECTOR3& position, DWORD colour, float u, float v) {
    return MeshVertex{position.x, position.y, position.z, 0, 0, 1, colour, 0, u, v, 0, 0};
}

void SetQuadTexture(MeshVertex* corners, const QuadTexture& texture) {
    const float us[4] = {texture.u, texture.u + texture.width, texture.u + texture.width, texture.u};
    const float vs[4] = {texture.v, texture.v, texture.v + texture.height, texture.v + texture.height};
    for (int k = 0; k < 4; ++k) {
        corners[k].u0 = us[k];
        corners[k].v0 = vs[k];
    }
}

void WriteQuadIndices(uint16_t* indices, int base, const std::array<int, 6>& order) {
    for (int k = 0; k < 6; ++k)
        indices[k] = static_cast<uint16_t>(base + order[k]);
}

ParticleCamera CurrentParticleCamera() {
    if (!g_MainCamera)
        return {PlatIdentityMatrix(), D3DXVECTOR3(), D3DXVECTOR3()};
    return {g_MainCamera->inverseView, g_MainCamera->eye, g_MainCamera->target};
}
