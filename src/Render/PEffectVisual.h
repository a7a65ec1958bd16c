#pragma once

#include "Render/PBaseRenderObject.h"

#include <vector>

class CPVertexEffect;

// What the camera-facing sprites and the vertex-frame animated objects
// share: a chain of vertex effects applied to the vertices they write.
// Neither kind is ever static.
class CPEffectVisual : public CPBaseRenderObject {
public:
    // Deletes the vertex effects.
    ~CPEffectVisual() override;

    void SetStatic(bool) override {}
    void CopyIndices(uint16_t*, int, uint16_t*, uint16_t*) override {}

    bool hasVertexEffects = false;
    std::vector<CPVertexEffect*> vertexEffects;

protected:
    // Runs every effect in order over the vertices, in place.
    void ApplyEffects(MeshVertex* vertices, int count) const;
    // The source's effect flag and clones of its effects, in place of this
    // visual's own.
    void CopyEffectsFrom(const CPEffectVisual& source);
};
