#pragma once

#include "Platform/D3DX9Math.h"
#include "Render/PBaseRenderObject.h"
#include "Render/PMaterial.h"

#include <string>
#include <vector>

class CPSceneObject;
class CPVertexEffect;

// Stands in for the camera-facing sprite until the sprites land: it keeps
// its size, axis, fade angle, material and vertex effects and writes no
// geometry.
class CPSprite : public CPBaseRenderObject {
public:
    explicit CPSprite(float halfSize) : halfSize(halfSize) {}
    ~CPSprite() override;

    void SetOwner(CPSceneObject* newOwner) { owner = newOwner; }

    bool IsStatic() const override { return false; }
    void SetStatic(bool) override {}
    int GetVertexCount() const override { return 0; }
    int GetIndexCount() const override { return 0; }
    void Fill(MeshVertex*, uint16_t*, int, int) override {}
    void CopyIndices(uint16_t*, int, uint16_t*, uint16_t*) override {}
    CPRefPtr<CPMaterial> GetMaterial() const override { return material; }
    void SetMaterial(const CPRefPtr<CPMaterial>& newMaterial) override { material = newMaterial; }

    size_t GetSize() const override { return sizeof(CPSprite); }
    std::string GetClassName() const override { return "CPSprite"; }

    CPSceneObject* owner = nullptr;
    float halfSize;
    D3DXVECTOR3 axis;
    float fadeAngle = 0;
    CPRefPtr<CPMaterial> material;
    bool hasVertexEffects = false;
    std::vector<CPVertexEffect*> vertexEffects;
};
