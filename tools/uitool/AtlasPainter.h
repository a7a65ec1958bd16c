#pragma once

#include "imagetool/ImageWriter.h"

#include <cstdint>
#include <string>

// Draws the pictures of an interface atlas: regions are handed out left to
// right in rows (shelves), two texels apart so that sampling one never
// reaches its neighbour.
class AtlasPainter {
public:
    AtlasPainter(int width, int height);

    // The top-left corner of a free region of that size; false when the
    // atlas is full.
    bool Reserve(int width, int height, int& x, int& y);

    void Fill(int x, int y, int width, int height, uint32_t argb);
    // A rounded plate with a lighter rim.
    void Plate(int x, int y, int width, int height, uint32_t argb);
    // A pointer arrow with its tip at the top-left corner, on transparency.
    void Arrow(int x, int y, int width, int height, uint32_t argb);
    // A picture drawn over what the region holds: "gun" (a machine gun) or
    // "rocket", seen from the side and pointing right; false for another
    // name.
    bool Pictogram(int x, int y, int width, int height, uint32_t argb, const std::string& shape);
    // A round glow fading from the middle (ring: brightest at the rim).
    void Glow(int x, int y, int size, uint32_t argb, bool ring);

    const Image& Picture() const { return picture; }
    Image& Picture() { return picture; }

private:
    static constexpr int kGutter = 2;

    Image picture;
    int shelfX = 0;
    int shelfY = 0;
    int shelfHeight = 0;
};
