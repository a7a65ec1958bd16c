#pragma once

#include "Core/PObject.h"
#include "Platform/Graphics/D3D9Types.h"

#include <string>

class CPSceneObject;

// A light that follows its object: the frame's light list receives it
// placed at the owner's world position.
class CPLight : public CPObject {
public:
    explicit CPLight(CPSceneObject* owner);

    // The stored light with its position taken from the owner's world
    // matrix.
    const D3DLIGHT9* GetLight();

    size_t GetSize() const override { return sizeof(CPLight); }
    std::string GetClassName() const override { return "CPLight"; }

    D3DLIGHT9 light;
    CPSceneObject* owner;
};
