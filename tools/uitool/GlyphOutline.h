#pragma once

#include "imagetool/ImageWriter.h"

// Rims the white glyphs in a box of a font atlas with black, `radius`
// texels wide, so that the text reads on a background of any colour: each
// texel's alpha becomes that of the glyph over the rim (the largest glyph
// alpha within the radius), its grey the glyph's share of it. Texels
// outside the box are neither read nor written.
void OutlineGlyphs(Image& atlas, int x, int y, int width, int height, int radius);
