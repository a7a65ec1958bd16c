#pragma once

#include "Platform/D3DX9Math.h"
#include "Render/PEffectVisual.h"

#include <string>

class CPSceneObject;

// A textured square at its owner that always faces the main camera. It may
// fade with the angle from which it is seen: with a positive fadeAngle it
// shows only within that angle of its axis (turned with the root object),
// darker towards the edge; a fadeAngle of -0.1 or less draws it at a fixed
// brightness of -fadeAngle; between -0.1 and 0 it is hidden.
class CPSprite : public CPEffectVisual {
public:
    explicit CPSprite(float halfSize) : halfSize(halfSize) {}

    void SetOwner(CPSceneObject* newOwner) { owner = newOwner; }
    // Evaluates visibility and colour for the current camera; returns
    // `visible`.
    bool UpdateQuad() const;

    // 4 and 6 while visible, else 0.
    int GetVertexCount() const override { return UpdateQuad() ? 4 : 0; }
    int GetIndexCount() const override { return UpdateQuad() ? 6 : 0; }
    void Fill(MeshVertex* vertexDestination, uint16_t* indexDestination, int baseVertex,
              int placement) override;

    size_t GetSize() const override { return sizeof(CPSprite); }
    std::string GetClassName() const override { return "CPSprite"; }

    CPSceneObject* owner = nullptr;
    float halfSize;
    // Radians about the view axis.
    float rotation = 0;
    // Of all four corners; rewritten by the fade.
    mutable DWORD colour = 0xFFFFFFFF;
    D3DXVECTOR2 uvStart{0, 0};
    D3DXVECTOR2 uvEnd{1, 1};
    // The direction the sprite is seen from, in the root object's frame.
    D3DXVECTOR3 axis;
    float fadeAngle = 0;
    mutable bool visible = true;

private:
    // The angle between the turned axis and the direction to the camera in
    // the ground plane.
    float ViewAngle() const;
};
