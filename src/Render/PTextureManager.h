#pragma once

#include "Core/PRefPtr.h"
#include "Render/PTexture.h"
#include "Render/PTextureBlock.h"

#include <map>
#include <string>
#include <vector>

class CPTextureManager;
extern CPTextureManager* g_TextureManager;

// Caches textures by the string they were requested with and texture
// blocks by content. Holds the entries "video" and "video1" from the start, into
// which the video players put their textures. Owns every texture and block
// it made and deletes them with itself.
class CPTextureManager {
public:
    CPTextureManager();
    virtual ~CPTextureManager();
    CPTextureManager(const CPTextureManager&) = delete;
    CPTextureManager& operator=(const CPTextureManager&) = delete;

    // The texture of the request, loaded on first request; "error.tga" stands
    // in (under the requested string) for a file that cannot be loaded.
    void GetTexture(CPRefPtr<CPTexture>& out, const std::string& request);
    // The block of these textures in this order, shared with every earlier
    // request of the same names.
    void CreateBlock(CPRefPtr<CPTextureBlock>& out, const std::vector<std::string>& names);
    void RemoveTexture(const CPTexture* texture);
    void RemoveBlock(const CPTextureBlock* block);

    const std::map<std::string, CPRefPtr<CPTexture>>& GetTextures() const { return textures; }

private:
    std::vector<CPTextureBlock*> blocks;
    std::map<std::string, CPRefPtr<CPTexture>> textures;
    // Every texture made, each deleted once at the end.
    std::vector<CPTexture*> owned;
};
