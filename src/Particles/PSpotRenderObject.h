#pragma once

#include "Particles/PParticleRenderObject.h"
#include "Particles/ParticleQuad.h"

// One spot type: marks lying in their own plane, placed once when spawned
// and kept while they are near the camera's look-at point and younger than
// their lifetime. Each spot keeps its four placed vertices, so drawing it is
// a copy with a new colour.
class CPSpotRenderObject : public CPParticleRenderObject {
public:
    void Fill(MeshVertex* vertices, uint16_t* indices, int baseVertex, int placement) override;
    void UpdateParticles() override;
    // The particle's velocity holds the spot's rotation angles about X, Y
    // and Z in radians.
    void AddParticle(Particle particle) override;
    void ClearParticles() override;

    // Four per spot, in the order of `particles`.
    std::vector<MeshVertex> spotVertices;

private:
    // The texture of the sheet frame, or the whole texture without a sheet.
    QuadTexture FrameTexture(int frame) const;
    DWORD ColourOf(const Particle& spot) const;
};
