#pragma once

#include "Render/PVertexEffect.h"

#include <cstdint>

// Flickers the diffuse alpha: a sine of `frequency` radians per second
// swings the level between min and max, which scales each vertex's alpha.
// Every flickering visual starts at a random phase.
class CPFlickVertexEffect : public CPVertexEffect {
public:
    CPFlickVertexEffect(float frequency, uint8_t min, uint8_t max);

    void Update(float dt) override;
    // The colour becomes white with the source alpha times level / 255.
    void Apply(MeshVertex* destination, const MeshVertex* source, int count) override;
    CPVertexEffect* Clone() const override { return new CPFlickVertexEffect(*this); }

    float frequency;
    uint8_t mid;
    uint8_t max;
    int level = 0xFFFFFF;
    float amplitude;
    float time;
};
