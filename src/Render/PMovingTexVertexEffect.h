#pragma once

#include "Render/PVertexEffect.h"

// Scrolls the first texture coordinates by du, dv per second, starting at a
// random offset; each offset stays within 0 to 1.
class CPMovingTexVertexEffect : public CPVertexEffect {
public:
    CPMovingTexVertexEffect(float du, float dv);

    void Update(float dt) override;
    void Apply(MeshVertex* destination, const MeshVertex* source, int count) override;
    CPVertexEffect* Clone() const override { return new CPMovingTexVertexEffect(*this); }

    // An offset above 1 goes down by whole units until it is at most 1, one
    // below 0 up until it is at least 0: exactly 1 stays 1.
    static float Wrap(float offset);

    float du;
    float dv;
    float offsetU;
    float offsetV;
};
