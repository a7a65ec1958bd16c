#pragma once

#include <string>
#include <vector>

// The characters a font atlas holds, in this order.
constexpr int kFontFirstCode = 32;
constexpr int kFontLastCode = 126;

// One cell of a bitmap font: the character ("space" for the blank) and its
// advance in texels.
struct FontCell {
    std::string character;
    float advance = 0;
};

// A font description (.fnt): texture size, cell size, then the cells row by
// row, 16 to a row.
struct FontFileLayout {
    int textureWidth = 0;
    int textureHeight = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    std::vector<FontCell> cells;
};

// An empty layout for the characters 32 to 126 in 16 columns of square
// cells: 32 texels, or the power of two that holds a line of `lineHeight`
// texels with one to spare on each side; the texture as wide as the columns
// and as high as the power of two that holds the rows.
FontFileLayout FontAtlasLayout(int lineHeight);

// The text of a .fnt file: "width", "height", "x" and "y" lines in that
// order, then one "character TAB advance" line per cell.
std::string FontFileText(const FontFileLayout& layout);

// One line of fonts.dat: name, spacing and render id, TAB-separated.
std::string FontListLine(const std::string& name, float spacing, int renderId);
