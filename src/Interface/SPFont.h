#pragma once

#include "Core/PObject.h"
#include "Core/PRefPtr.h"
#include "Render/PMaterial.h"

#include <array>

// The texture rectangle of one character, in texture coordinates.
struct GlyphRect {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
};

// One bitmap font: its material, and for each of the 256 character codes the
// texture rectangle and the width in texels (advance plus spacing). A code
// the font file does not describe keeps an empty rectangle and width 0.
class SPFont : public CPObject {
public:
    size_t GetSize() const override { return sizeof(SPFont); }
    std::string GetClassName() const override { return "SPFont"; }

    CPRefPtr<CPMaterial> material;
    std::array<GlyphRect, 256> glyphs{};
    std::array<float, 256> widths{};
    float cellHeight = 0;
};
