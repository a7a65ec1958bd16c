#include "uitool/GlyphOutline.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

uint32_t Alpha(uint32_t pixel) {
    return pixel >> 24;
}

// The largest alpha of the box's texels within the radius of (cx, cy).
uint32_t RimAlpha(const std::vector<uint32_t>& alpha, int width, int height, int cx, int cy, int radius) {
    uint32_t rim = 0;
    const int reach = radius * radius + radius;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const int sx = cx + dx, sy = cy + dy;
            if (dx * dx + dy * dy > reach || sx < 0 || sy < 0 || sx >= width || sy >= height)
                continue;
            rim = std::max(rim, alpha[static_cast<std::size_t>(sy) * width + sx]);
        }
    return rim;
}

} // namespace

void OutlineGlyphs(Image& atlas, int x, int y, int width, int height, int radius) {
    width = std::min(width, atlas.width - x);
    height = std::min(height, atlas.height - y);
    if (radius <= 0 || x < 0 || y < 0 || width <= 0 || height <= 0)
        return;
    std::vector<uint32_t> alpha(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            alpha[static_cast<std::size_t>(row) * width + column] = Alpha(atlas.At(x + column, y + row));
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const uint32_t glyph = alpha[static_cast<std::size_t>(row) * width + column];
            const uint32_t rim = RimAlpha(alpha, width, height, column, row, radius);
            const uint32_t total = glyph + rim * (255 - glyph) / 255;
            const uint32_t grey = total > 0 ? 255 * glyph / total : 0;
            atlas.At(x + column, y + row) = total << 24 | grey << 16 | grey << 8 | grey;
        }
}
