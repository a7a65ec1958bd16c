#pragma once

#include "Platform/D3DX9Math.h"
#include "Render/PStandInVisual.h"

#include <string>

class CPSceneObject;

// Stands in for the camera-facing sprite until the sprites land: it keeps
// its size, axis, fade angle, material and vertex effects and writes no
// geometry.
class CPSprite : public CPStandInVisual {
public:
    explicit CPSprite(float halfSize) : halfSize(halfSize) {}

    void SetOwner(CPSceneObject* newOwner) { owner = newOwner; }

    size_t GetSize() const override { return sizeof(CPSprite); }
    std::string GetClassName() const override { return "CPSprite"; }

    CPSceneObject* owner = nullptr;
    float halfSize;
    D3DXVECTOR3 axis;
    float fadeAngle = 0;
};
