#include "uitool/AtlasPainter.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t Lighter(uint32_t argb) {
    uint32_t result = argb & 0xff000000u;
    for (const int shift : {0, 8, 16}) {
        const uint32_t channel = (argb >> shift) & 0xffu;
        result |= std::min<uint32_t>(255, channel + (255 - channel) / 2) << shift;
    }
    return result;
}

uint32_t WithAlpha(uint32_t argb, float alpha) {
    const auto a = static_cast<uint32_t>(std::clamp(alpha, 0.0f, 1.0f) * static_cast<float>(argb >> 24));
    return (argb & 0x00ffffffu) | (a << 24);
}

} // namespace

AtlasPainter::AtlasPainter(int width, int height) : picture(width, height, 0) {}

bool AtlasPainter::Reserve(int width, int height, int& x, int& y) {
    if (width <= 0 || height <= 0 || width > picture.width)
        return false;
    if (shelfX + width > picture.width) {
        shelfY += shelfHeight + kGutter;
        shelfX = 0;
        shelfHeight = 0;
    }
    if (shelfY + height > picture.height)
        return false;
    x = shelfX;
    y = shelfY;
    shelfX += width + kGutter;
    shelfHeight = std::max(shelfHeight, height);
    return true;
}

void AtlasPainter::Fill(int x, int y, int width, int height, uint32_t argb) {
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column)
            picture.At(column, row) = argb;
}

void AtlasPainter::Plate(int x, int y, int width, int height, uint32_t argb) {
    const float radius = static_cast<float>(std::min({width, height, 16})) / 2;
    const uint32_t rim = Lighter(argb);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            // Distance inside the rounded rectangle's edge.
            const float dx =
                std::max({radius - static_cast<float>(column) - 0.5f, 0.0f,
                          static_cast<float>(column) + 0.5f - static_cast<float>(width) + radius});
            const float dy = std::max({radius - static_cast<float>(row) - 0.5f, 0.0f,
                                       static_cast<float>(row) + 0.5f - static_cast<float>(height) + radius});
            const float inside = radius - std::sqrt(dx * dx + dy * dy);
            uint32_t& pixel = picture.At(x + column, y + row);
            if (inside <= 0)
                pixel = 0;
            else
                pixel = WithAlpha(inside < 2.5f ? rim : argb, std::min(inside, 1.0f));
        }
    }
}

void AtlasPainter::Arrow(int x, int y, int width, int height, uint32_t argb) {
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            // A wedge between the left edge and the diagonal, thinned at the tail.
            const bool inWedge = column <= row && row < height * 3 / 4 + column / 3;
            const bool edge = column == 0 || column == row || row == height * 3 / 4 + column / 3 - 1;
            picture.At(x + column, y + row) = inWedge ? (edge ? 0xff000000u : argb) : 0;
        }
    }
}

void AtlasPainter::Glow(int x, int y, int size, uint32_t argb, bool ring) {
    const float half = static_cast<float>(size) / 2;
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            const float dx = (static_cast<float>(column) + 0.5f - half) / half;
            const float dy = (static_cast<float>(row) + 0.5f - half) / half;
            const float distance = std::sqrt(dx * dx + dy * dy);
            const float strength =
                std::max(ring ? 1.0f - std::fabs(distance - 0.85f) * 8.0f : 1.0f - distance, 0.0f);
            picture.At(x + column, y + row) = WithAlpha(argb, strength * strength);
        }
    }
}
