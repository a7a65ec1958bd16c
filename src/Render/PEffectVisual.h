#pragma once

#include "Render/PBaseRenderObject.h"
#include "Render/PMaterial.h"

#include <vector>

class CPVertexEffect;

// What the camera-facing sprites and the vertex-frame animated objects
// share: a material and a chain of vertex effects applied to the vertices
// they write. Neither kind is ever static.
class CPEffectVisual : public CPBaseRenderObject {
public:
    // Deletes the vertex effects.
    ~CPEffectVisual() override;

    bool IsStatic() const override { return false; }
    void SetStatic(bool) override {}
    void CopyIndices(uint16_t*, int, uint16_t*, uint16_t*) override {}
    CPRefPtr<CPMaterial> GetMaterial() const override { return material; }
    void SetMaterial(const CPRefPtr<CPMaterial>& newMaterial) override { material = newMaterial; }

    CPRefPtr<CPMaterial> material;
    bool hasVertexEffects = false;
    std::vector<CPVertexEffect*> vertexEffects;

protected:
    // Runs every effect in order over the vertices, in place.
    void ApplyEffects(MeshVertex* vertices, int count) const;
    // The source's effect flag and clones of its effects, in place of this
    // visual's own.
    void CopyEffectsFrom(const CPEffectVisual& source);
};
