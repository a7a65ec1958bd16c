#pragma once

#include "Render/PVertexEffect.h"

// Fades a visual out: the alpha falls from 255 by `rate` per second and
// stays at 0; the colour becomes white with that alpha.
class CPFadeVertexEffect : public CPVertexEffect {
public:
    static constexpr float kStartLevel = 255.0f;

    explicit CPFadeVertexEffect(float rate) : rate(rate) {}

    void Update(float dt) override;
    void Apply(MeshVertex* destination, const MeshVertex* source, int count) override;
    CPVertexEffect* Clone() const override { return new CPFadeVertexEffect(*this); }
    void Reset() override { level = kStartLevel; }

    float rate;
    float level = kStartLevel;
};
