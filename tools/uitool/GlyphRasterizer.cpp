#include "uitool/GlyphRasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

struct GlyphRasterizer::Library {
    FT_Library handle = nullptr;
};

namespace {

FT_Face Face(void* face) {
    return static_cast<FT_Face>(face);
}

} // namespace

GlyphRasterizer::GlyphRasterizer(const std::string& fontPath, int pixelSize)
    : library(std::make_unique<Library>()) {
    if (FT_Init_FreeType(&library->handle) != 0) {
        library->handle = nullptr;
        return;
    }
    FT_Face opened = nullptr;
    if (FT_New_Face(library->handle, fontPath.c_str(), 0, &opened) != 0)
        return;
    if (FT_Set_Pixel_Sizes(opened, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        FT_Done_Face(opened);
        return;
    }
    face = opened;
}

GlyphRasterizer::~GlyphRasterizer() {
    if (face)
        FT_Done_Face(Face(face));
    if (library->handle)
        FT_Done_FreeType(library->handle);
}

int GlyphRasterizer::Advance(unsigned char code) {
    if (!face || FT_Load_Char(Face(face), code, FT_LOAD_DEFAULT) != 0)
        return 0;
    return static_cast<int>((Face(face)->glyph->advance.x + 32) >> 6);
}

int GlyphRasterizer::Ascender() const {
    return face ? static_cast<int>(Face(face)->size->metrics.ascender >> 6) : 0;
}

int GlyphRasterizer::LineHeight() const {
    return face ? static_cast<int>(Face(face)->size->metrics.height >> 6) : 0;
}

int GlyphRasterizer::Draw(Image& image, unsigned char code, int penX, int baseline, int clipX, int clipY,
                          int clipWidth, int clipHeight, uint32_t rgb) {
    if (!face || FT_Load_Char(Face(face), code, FT_LOAD_RENDER) != 0)
        return 0;
    const FT_GlyphSlot glyph = Face(face)->glyph;
    const FT_Bitmap& bitmap = glyph->bitmap;
    const int left = penX + glyph->bitmap_left;
    const int top = baseline - glyph->bitmap_top;
    for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
        for (int column = 0; column < static_cast<int>(bitmap.width); ++column) {
            const int x = left + column;
            const int y = top + row;
            if (x < clipX || y < clipY || x >= clipX + clipWidth || y >= clipY + clipHeight ||
                x >= image.width || y >= image.height)
                continue;
            const uint32_t coverage = bitmap.buffer[row * bitmap.pitch + column];
            if (coverage == 0)
                continue;
            uint32_t& pixel = image.At(x, y);
            // Over a transparent cell the glyph is white with coverage as
            // alpha; over a picture it blends the colour in.
            if ((pixel >> 24) == 0) {
                pixel = (coverage << 24) | (rgb & 0x00ffffffu);
                continue;
            }
            uint32_t blended = pixel & 0xff000000u;
            for (const int shift : {0, 8, 16}) {
                const uint32_t under = (pixel >> shift) & 0xffu;
                const uint32_t over = (rgb >> shift) & 0xffu;
                blended |= ((over * coverage + under * (255 - coverage)) / 255) << shift;
            }
            pixel = blended;
        }
    }
    return static_cast<int>((glyph->advance.x + 32) >> 6);
}
