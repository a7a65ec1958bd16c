#pragma once

#include "Core/StringHashMap.h"
#include "Render/PAnimation.h"
#include "Render/PBaseRenderObject.h"
#include "Render/PMaterial.h"

#include <string>
#include <vector>

class CPSceneObject;
class CPVertexEffect;

// Stands in for the vertex-frame animated object until the vertex
// animations land: it keeps its named animations, the current one, its
// material and vertex effects, and writes no geometry.
class CPAnimatedObject : public CPBaseRenderObject {
public:
    explicit CPAnimatedObject(CPSceneObject* owner) : owner(owner) {}
    ~CPAnimatedObject() override;

    // Stores the animation under the name (replacing an older one); the
    // first one stored becomes current and the object plays.
    void AddAnimation(const std::string& animationName, const CPRefPtr<CPAnimation>& animation);

    bool IsStatic() const override { return false; }
    void SetStatic(bool) override {}
    int GetVertexCount() const override { return 0; }
    int GetIndexCount() const override { return 0; }
    void Fill(MeshVertex*, uint16_t*, int, int) override {}
    void CopyIndices(uint16_t*, int, uint16_t*, uint16_t*) override {}
    CPRefPtr<CPMaterial> GetMaterial() const override { return material; }
    void SetMaterial(const CPRefPtr<CPMaterial>& newMaterial) override { material = newMaterial; }

    size_t GetSize() const override { return sizeof(CPAnimatedObject); }
    std::string GetClassName() const override { return "CPAnimatedObject"; }

    CPSceneObject* owner;
    StringHashMap<CPRefPtr<CPAnimation>> animations{100};
    CPRefPtr<CPAnimation> current;
    bool stopped = true;
    CPRefPtr<CPMaterial> material;
    bool hasVertexEffects = false;
    std::vector<CPVertexEffect*> vertexEffects;
};
