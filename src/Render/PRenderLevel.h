#pragma once

#include "Core/PRefPtr.h"
#include "Platform/D3DX9Math.h"
#include "Render/PBaseCamera.h"
#include "Render/PRenderEffectGroup.h"
#include "Render/PRenderNode.h"

#include <memory>
#include <vector>

// The top tier of the render queue: one render priority, optionally with its
// own camera and world transform, and its effects in the order they came.
// Drawn while its use count is positive; never removed.
class CPRenderLevel : public CPRenderNode {
public:
    CPRenderLevel() { D3DXMatrixIdentity(&world); }

    CPRefPtr<CPBaseCamera> camera;
    bool hasWorld = false;
    D3DXMATRIX world;
    std::vector<std::unique_ptr<CPRenderEffectGroup>> effectGroups;
};
