#pragma once

#include "Core/PRefPtr.h"
#include "Render/PTexture.h"

#include <vector>

// The ordered textures bound to an effect's "tex0", "tex1", ... Made only by
// the texture manager, which shares blocks of equal content.
class CPTextureBlock : public CPObject {
public:
    explicit CPTextureBlock(std::vector<CPRefPtr<CPTexture>> blockTextures);
    ~CPTextureBlock() override;
    CPTextureBlock(const CPTextureBlock&) = delete;
    CPTextureBlock& operator=(const CPTextureBlock&) = delete;

    // True when the block holds exactly these textures in this order.
    bool Holds(const std::vector<CPRefPtr<CPTexture>>& other) const { return textures == other; }

    size_t GetSize() const override { return sizeof(CPTextureBlock); }
    std::string GetClassName() const override { return "CPTextureBlock"; }

    std::vector<CPRefPtr<CPTexture>> textures;
    int count;
};
