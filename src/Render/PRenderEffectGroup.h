#pragma once

#include "Core/PRefPtr.h"
#include "Render/PEffect.h"
#include "Render/PRenderNode.h"
#include "Render/PRenderTextureGroup.h"

#include <memory>
#include <vector>

// The middle tier of the render queue: one effect within a level, begun once
// per frame for all its texture groups (kept in the order they came).
class CPRenderEffectGroup : public CPRenderNode {
public:
    CPRefPtr<CPEffect> effect;
    std::vector<std::unique_ptr<CPRenderTextureGroup>> textureGroups;
};
