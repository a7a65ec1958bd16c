#pragma once

#include "imagetool/ImageWriter.h"

#include <memory>
#include <string>

// Renders characters of a TrueType font with FreeType at a pixel size, as
// white pixels whose alpha is the glyph's coverage.
class GlyphRasterizer {
public:
    GlyphRasterizer(const std::string& fontPath, int pixelSize);
    ~GlyphRasterizer();
    GlyphRasterizer(const GlyphRasterizer&) = delete;
    GlyphRasterizer& operator=(const GlyphRasterizer&) = delete;

    // False when the font could not be opened.
    bool IsOpen() const { return face != nullptr; }
    // Draws the character with its pen at (penX, baseline), clipped to the
    // box from (clipX, clipY) of the size given; the pen advance in pixels.
    int Draw(Image& image, unsigned char code, int penX, int baseline, int clipX, int clipY, int clipWidth,
             int clipHeight, uint32_t rgb);
    int Advance(unsigned char code);
    int Ascender() const;
    int LineHeight() const;

private:
    struct Library;
    std::unique_ptr<Library> library;
    void* face = nullptr;
};
