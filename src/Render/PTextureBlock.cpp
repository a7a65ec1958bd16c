#include "Render/PTextureBlock.h"

#include "Render/PTextureManager.h"

CPTextureBlock::CPTextureBlock(std::vector<CPRefPtr<CPTexture>> blockTextures)
    : textures(std::move(blockTextures)), count(static_cast<int>(textures.size())) {}

CPTextureBlock::~CPTextureBlock() {
    if (g_TextureManager)
        g_TextureManager->RemoveBlock(this);
}
