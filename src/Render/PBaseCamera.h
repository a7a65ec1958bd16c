#pragma once

#include "Core/PObject.h"
#include "Platform/D3DX9Math.h"

// The matrices a render-queue level is drawn with. The screen camera is a
// bare one; perspective cameras derive and compute theirs.
class CPBaseCamera : public CPObject {
public:
    CPBaseCamera();

    size_t GetSize() const override { return sizeof(CPBaseCamera); }
    std::string GetClassName() const override { return "CPBaseCamera"; }

    // Device VIEW and PROJECTION of a level drawn with this camera.
    D3DXMATRIX view;
    D3DXMATRIX projection;
    // Projection with the far plane at 1000 (perspective cameras only).
    D3DXMATRIX farProjection;
    // The view without its translation, and its inverse.
    D3DXMATRIX rotationView;
    D3DXMATRIX inverseRotationView;
};
