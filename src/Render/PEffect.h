#pragma once

#include "Core/PObject.h"
#include "Platform/Graphics/Effect.h"
#include "Render/PDeviceListener.h"

#include <string>
#include <vector>

class CPTextureBlock;

// One compiled effect of Data\Effects with its technique and the handles of
// its texture parameters "tex0", "tex1", ...
class CPEffect : public CPObject, public CPDeviceListener {
public:
    CPEffect() = default;
    ~CPEffect() override;

    // request is "file[,shared]"; a shared effect compiles into the effect
    // manager's pool. A missing file compiles "simple.fx" (without the pool)
    // instead. False when nothing compiled or no technique runs here.
    bool Load(const std::string& request);
    // Binds texture i of the block to "tex<i>" while both lists last.
    void SetTextures(const CPTextureBlock& block);

    void OnLostDevice() override;
    void OnResetDevice() override;

    size_t GetSize() const override { return sizeof(CPEffect); }
    std::string GetClassName() const override { return "CPEffect - " + name; }

    std::vector<D3DXHANDLE> textureHandles;
    ID3DXEffect* effect = nullptr;
    std::string name;

private:
    bool Compile(const uint8_t* data, int size, ID3DXEffectPool* pool, int reportLine);
};
