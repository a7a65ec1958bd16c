#pragma once

#include "Core/PObject.h"
#include "Platform/Graphics/CubeTexture9.h"
#include "Platform/Graphics/Texture9.h"

#include <string>

// One texture (2D or cube) loaded from Data\Textures. A texture named
// "VIDEO" or "VIDEO1" holds a video player's texture and never releases it.
class CPTexture : public CPObject {
public:
    CPTexture() = default;
    ~CPTexture() override;
    CPTexture(const CPTexture&) = delete;
    CPTexture& operator=(const CPTexture&) = delete;

    // request is "file[,nomip][,cube]". False when the file is found nowhere or
    // does not decode (the latter is reported).
    bool Load(const std::string& request);

    // What an effect binds: the cube texture or the 2D one.
    IDirect3DBaseTexture9* GetBaseTexture() const;

    size_t GetSize() const override { return sizeof(CPTexture); }
    std::string GetClassName() const override { return "CPTexture - " + name; }

    IDirect3DTexture9* texture = nullptr;
    IDirect3DCubeTexture9* cubeTexture = nullptr;
    std::string name;
    bool isCube = false;
    int width = 0;
    int height = 0;
};
