#include "Render/PTextureManager.h"

#include <algorithm>

CPTextureManager* g_TextureManager = nullptr;

namespace {

constexpr const char* kErrorTexture = "error.tga";

} // namespace

CPTextureManager::CPTextureManager() {
    g_TextureManager = this;
    for (const char* video : {"video", "video1"}) {
        owned.push_back(new CPTexture());
        textures[video] = owned.back();
    }
}

CPTextureManager::~CPTextureManager() {
    textures.clear();
    const std::vector<CPTextureBlock*> madeBlocks = std::move(blocks);
    blocks.clear();
    for (CPTextureBlock* block : madeBlocks)
        delete block;
    for (CPTexture* texture : owned)
        delete texture;
    if (g_TextureManager == this)
        g_TextureManager = nullptr;
}

void CPTextureManager::GetTexture(CPRefPtr<CPTexture>& out, const std::string& request) {
    if (const auto found = textures.find(request); found != textures.end()) {
        out = found->second;
        return;
    }
    auto* texture = new CPTexture();
    if (!texture->Load(request)) {
        delete texture;
        texture = new CPTexture();
        texture->Load(kErrorTexture);
    }
    owned.push_back(texture);
    textures[request] = texture;
    out = texture;
}

void CPTextureManager::CreateBlock(CPRefPtr<CPTextureBlock>& out, const std::vector<std::string>& names) {
    std::vector<CPRefPtr<CPTexture>> wanted(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        GetTexture(wanted[i], names[i]);
    for (CPTextureBlock* block : blocks) {
        if (block->Holds(wanted)) {
            out = block;
            return;
        }
    }
    blocks.push_back(new CPTextureBlock(std::move(wanted)));
    out = blocks.back();
}

void CPTextureManager::RemoveTexture(const CPTexture* texture) {
    std::erase_if(textures, [&](const auto& entry) { return entry.first == texture->name; });
}

void CPTextureManager::RemoveBlock(const CPTextureBlock* block) {
    std::erase(blocks, block);
}
