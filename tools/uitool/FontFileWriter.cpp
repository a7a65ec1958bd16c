#include "uitool/FontFileWriter.h"

#include "uitool/NumberText.h"

namespace {

int PowerOfTwoAtLeast(int value, int from) {
    while (from < value)
        from *= 2;
    return from;
}

} // namespace

FontFileLayout FontAtlasLayout(int lineHeight) {
    constexpr int kColumns = 16;
    constexpr int kRows = (kFontLastCode - kFontFirstCode) / kColumns + 1;
    constexpr int kSmallestCell = 32;
    const int cell = PowerOfTwoAtLeast(lineHeight + 2, kSmallestCell);
    return {kColumns * cell, PowerOfTwoAtLeast(kRows * cell, kSmallestCell), cell, cell, {}};
}

std::string FontFileText(const FontFileLayout& layout) {
    std::string text = "width\t" + std::to_string(layout.textureWidth) + "\n" + "height\t" +
                       std::to_string(layout.textureHeight) + "\n" + "x\t" +
                       std::to_string(layout.cellWidth) + "\n" + "y\t" + std::to_string(layout.cellHeight) +
                       "\n";
    for (const FontCell& cell : layout.cells)
        text += cell.character + "\t" + NumberText(cell.advance) + "\n";
    return text;
}

std::string FontListLine(const std::string& name, float spacing, int renderId) {
    return name + "\t" + NumberText(spacing) + "\t" + std::to_string(renderId) + "\n";
}
