#include "uitool/AtlasPainter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <vector>

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

// A pictogram is a union of convex polygons, corners given anticlockwise
// on the screen in fractions of the region (x right, y down).
struct Corner {
    float x, y;
};
using Polygon = std::vector<Corner>;

const std::map<std::string, std::vector<Polygon>>& Pictograms() {
    static const std::map<std::string, std::vector<Polygon>> shapes = {
        {"gun",
         {{{0.10f, 0.36f}, {0.10f, 0.58f}, {0.56f, 0.58f}, {0.56f, 0.36f}},
          {{0.56f, 0.40f}, {0.56f, 0.47f}, {0.92f, 0.47f}, {0.92f, 0.40f}},
          {{0.56f, 0.50f}, {0.56f, 0.55f}, {0.84f, 0.55f}, {0.84f, 0.50f}},
          {{0.16f, 0.58f}, {0.20f, 0.80f}, {0.32f, 0.80f}, {0.30f, 0.58f}},
          {{0.38f, 0.58f}, {0.38f, 0.72f}, {0.48f, 0.72f}, {0.48f, 0.58f}}}},
        {"rocket",
         {{{0.22f, 0.42f}, {0.22f, 0.58f}, {0.70f, 0.58f}, {0.70f, 0.42f}},
          {{0.70f, 0.42f}, {0.70f, 0.58f}, {0.90f, 0.50f}},
          {{0.10f, 0.26f}, {0.22f, 0.46f}, {0.36f, 0.46f}, {0.24f, 0.26f}},
          {{0.10f, 0.74f}, {0.24f, 0.74f}, {0.36f, 0.54f}, {0.22f, 0.54f}}}},
    };
    return shapes;
}

// Whether a point lies inside a convex polygon whose corners run
// anticlockwise on the screen.
bool Inside(const Polygon& polygon, float x, float y) {
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Corner& a = polygon[i];
        const Corner& b = polygon[(i + 1) % polygon.size()];
        if ((b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x) > 0)
            return false;
    }
    return true;
}

// The colour painted over the pixel with the given coverage.
uint32_t Over(uint32_t under, uint32_t argb, float coverage) {
    const float a = coverage * static_cast<float>(argb >> 24) / 255.0f;
    uint32_t result = std::max(under >> 24, static_cast<uint32_t>(a * 255.0f + 0.5f)) << 24;
    for (const int shift : {0, 8, 16}) {
        const float below = static_cast<float>((under >> shift) & 0xffu);
        const float above = static_cast<float>((argb >> shift) & 0xffu);
        result |= static_cast<uint32_t>(above * a + below * (1.0f - a) + 0.5f) << shift;
    }
    return result;
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

bool AtlasPainter::Pictogram(int x, int y, int width, int height, uint32_t argb, const std::string& shape) {
    const auto found = Pictograms().find(shape);
    if (found == Pictograms().end())
        return false;
    // Four samples a texel smooth the edges.
    constexpr std::array<float, 2> kSamples = {0.25f, 0.75f};
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            int hits = 0;
            for (const float sy : kSamples)
                for (const float sx : kSamples) {
                    const float u = (static_cast<float>(column) + sx) / static_cast<float>(width);
                    const float v = (static_cast<float>(row) + sy) / static_cast<float>(height);
                    hits += std::any_of(found->second.begin(), found->second.end(),
                                        [&](const Polygon& polygon) { return Inside(polygon, u, v); });
                }
            if (hits > 0) {
                uint32_t& pixel = picture.At(x + column, y + row);
                pixel = Over(pixel, argb, static_cast<float>(hits) / 4.0f);
            }
        }
    }
    return true;
}
