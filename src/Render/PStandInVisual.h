#pragma once

#include "Render/PBaseRenderObject.h"
#include "Render/PMaterial.h"

#include <vector>

class CPVertexEffect;

// What the stand-ins of the visuals still to come (sprites, vertex-frame
// animated objects) share: a material and vertex effects, no geometry.
class CPStandInVisual : public CPBaseRenderObject {
public:
    ~CPStandInVisual() override;

    bool IsStatic() const override { return false; }
    void SetStatic(bool) override {}
    int GetVertexCount() const override { return 0; }
    int GetIndexCount() const override { return 0; }
    void Fill(MeshVertex*, uint16_t*, int, int) override {}
    void CopyIndices(uint16_t*, int, uint16_t*, uint16_t*) override {}
    CPRefPtr<CPMaterial> GetMaterial() const override { return material; }
    void SetMaterial(const CPRefPtr<CPMaterial>& newMaterial) override { material = newMaterial; }

    CPRefPtr<CPMaterial> material;
    bool hasVertexEffects = false;
    std::vector<CPVertexEffect*> vertexEffects;
};
