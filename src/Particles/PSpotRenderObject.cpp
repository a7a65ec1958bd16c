#include "Particles/PSpotRenderObject.h"

#include "Core/PGlobalTimer.h"

#include <algorithm>

namespace {

// Spots farther than this from the look-at point along X or Y are dropped.
constexpr float kSpotReach = 10.0f;
// Spots lie this far above their plane, against depth fighting.
constexpr float kSpotLift = 0.03f;

bool NearTarget(const D3DXVECTOR3& position, const D3DXVECTOR3& target) {
    return target.x - kSpotReach <= position.x && position.x <= target.x + kSpotReach &&
           target.y - kSpotReach <= position.y && position.y <= target.y + kSpotReach;
}

} // namespace

QuadTexture CPSpotRenderObject::FrameTexture(int frame) const {
    if (!hasSheet)
        return QuadTexture();
    return {frameU[frame], frameV[frame], frameWidth, frameHeight};
}

void CPSpotRenderObject::AddParticle(Particle particle) {
    if (!Admit())
        return;
    D3DXMATRIX rotateZ, rotateY, rotateX, translation;
    D3DXMatrixRotationZ(&rotateZ, particle.velocity.z);
    D3DXMatrixRotationY(&rotateY, particle.velocity.y);
    D3DXMatrixRotationX(&rotateX, particle.velocity.x);
    D3DXMatrixTranslation(&translation, particle.position.x, particle.position.y, particle.position.z);
    const D3DXMATRIX world = rotateZ * rotateY * rotateX * translation;
    const float s = particle.size;
    const D3DXVECTOR3 corners[4] = {
        {-s, -s, kSpotLift}, {s, -s, kSpotLift}, {s, s, kSpotLift}, {-s, s, kSpotLift}};
    D3DXVECTOR3 placedCorners[4];
    for (int k = 0; k < 4; ++k)
        D3DXVec3TransformCoord(&placedCorners[k], &corners[k], &world);
    MeshVertex placed[4];
    WriteQuad(placed, placedCorners, 0xFFFFFFFF, FrameTexture(0));
    spotVertices.insert(spotVertices.end(), placed, placed + 4);
    particle.previousPosition = particle.position;
    particle.frameRate = FrameRateFor(particle.lifetime);
    particles.push_back(std::move(particle));
    active = true;
}

void CPSpotRenderObject::ClearParticles() {
    CPParticleRenderObject::ClearParticles();
    spotVertices.clear();
}

void CPSpotRenderObject::UpdateParticles() {
    const float dt = g_FrameTime;
    const D3DXVECTOR3 target = CurrentParticleCamera().target;
    std::size_t kept = 0;
    for (std::size_t index = 0; index < particles.size(); ++index) {
        Particle& spot = particles[index];
        if (!NearTarget(spot.position, target) || spot.age > spot.lifetime)
            continue;
        spot.age += dt;
        if (kept != index) {
            particles[kept] = std::move(spot);
            std::copy_n(spotVertices.begin() + 4 * index, 4, spotVertices.begin() + 4 * kept);
        }
        ++kept;
    }
    particles.resize(kept);
    spotVertices.resize(4 * kept);
    active = !particles.empty();
}

DWORD CPSpotRenderObject::ColourOf(const Particle& spot) const {
    if (!spot.fade || !(spot.lifetime - 0.4f * spot.lifetime < spot.age))
        return 0xFFFFFFFF;
    if (!(spot.lifetime > spot.age))
        return 0;
    return ColourByte((spot.lifetime - spot.age) * 256 / spot.lifetime * 2.5f) * 0x01010101u;
}

void CPSpotRenderObject::Fill(MeshVertex* vertices, uint16_t* indices, int baseVertex, int) {
    for (std::size_t i = 0; i < particles.size(); ++i) {
        const Particle& spot = particles[i];
        MeshVertex* corners = vertices + 4 * i;
        std::copy_n(spotVertices.begin() + 4 * i, 4, corners);
        const DWORD colour = ColourOf(spot);
        for (int k = 0; k < 4; ++k)
            corners[k].diffuse = colour;
        if (hasSheet)
            SetQuadTexture(corners, FrameTexture(FrameAt(spot.frameRate, spot.age)));
        WriteQuadIndices(indices + 6 * i, baseVertex + 4 * static_cast<int>(i), kFlatOrder);
    }
}
