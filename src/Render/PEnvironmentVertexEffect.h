#pragma once

#include "Render/PVertexEffect.h"

// Environment-map coordinates: the second texture coordinates follow the
// vertex position (divided by `scale`) and lean with its normal.
class CPEnvironmentVertexEffect : public CPVertexEffect {
public:
    explicit CPEnvironmentVertexEffect(float scale) : scale(scale) {}

    void Update(float) override {}
    void Apply(MeshVertex* destination, const MeshVertex* source, int count) override;
    CPVertexEffect* Clone() const override { return new CPEnvironmentVertexEffect(*this); }

    float scale;
};
