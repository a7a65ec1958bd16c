// uitool: writes the interface data of a game's Data tree.
//   uitool font TTF NAME PIXELS DATA [OUTLINE]
//                                       Fonts/NAME.fnt and Textures/NAME.tga: ASCII
//                                       32-126 in 16 columns of square cells, 32
//                                       texels or the power of two the glyphs need;
//                                       OUTLINE rims each glyph with that many
//                                       texels of black
//   uitool page LAYOUT TTF DATA         Interface/<layout name>1024.int and its atlas
//   uitool flare LAYOUT DATA            Interface/<layout name>.int and its texture
#include "Platform/FileSystem.h"
#include "uitool/FlareLayout.h"
#include "uitool/FontFileWriter.h"
#include "uitool/GlyphOutline.h"
#include "uitool/GlyphRasterizer.h"
#include "uitool/PageLayout.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace {

constexpr int kLabelPixels = 22;

bool Write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    if (PlatReplaceFile(path.string(), bytes.data(), bytes.size()))
        return true;
    std::fprintf(stderr, "uitool: cannot write %s\n", path.string().c_str());
    return false;
}

bool WritePicture(const std::filesystem::path& path, const Image& image) {
    const std::vector<uint8_t> bytes = EncodeTga(image);
    return Write(path, std::string(bytes.begin(), bytes.end()));
}

bool ReadText(const std::filesystem::path& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad() || !file.is_open()) {
        std::fprintf(stderr, "uitool: cannot read %s\n", path.string().c_str());
        return false;
    }
    return true;
}

int Font(const std::string& fontPath, const std::string& name, int pixels, int outline,
         const std::filesystem::path& data) {
    GlyphRasterizer glyphs(fontPath, pixels);
    if (!glyphs.IsOpen()) {
        std::fprintf(stderr, "uitool: cannot open the font %s\n", fontPath.c_str());
        return 1;
    }
    // Large sizes get larger cells instead of clipped glyphs.
    FontFileLayout layout = FontAtlasLayout(glyphs.LineHeight() + 2 * outline);
    const int cellSize = layout.cellWidth;
    const int columns = layout.textureWidth / cellSize;
    Image atlas(layout.textureWidth, layout.textureHeight, 0);
    const int baseline = (cellSize - glyphs.LineHeight()) / 2 + glyphs.Ascender();
    for (int code = kFontFirstCode; code <= kFontLastCode; ++code) {
        const int cell = code - kFontFirstCode;
        const int x = cell % columns * cellSize;
        const int y = cell / columns * cellSize;
        const auto character = static_cast<unsigned char>(code);
        // One texel in, so the two texels the quads add on the right stay
        // inside the cell; an outline widens the character on both sides.
        glyphs.Draw(atlas, character, x + 1 + outline, y + baseline, x, y, cellSize, cellSize, 0xffffff);
        OutlineGlyphs(atlas, x, y, cellSize, cellSize, outline);
        const std::string field = code == ' ' ? "space" : std::string(1, static_cast<char>(code));
        layout.cells.push_back({field, static_cast<float>(glyphs.Advance(character) + 2 * outline)});
    }
    return Write(data / "Fonts" / (name + ".fnt"), FontFileText(layout)) &&
                   WritePicture(data / "Textures" / (name + ".tga"), atlas)
               ? 0
               : 1;
}

// Reads a layout, builds it and writes Interface/<layout name><suffix> with
// its picture, if it has one.
template <class Build>
int WriteFromLayout(const std::filesystem::path& layoutPath, const std::filesystem::path& data,
                    const std::string& suffix, Build&& build) {
    std::string layout;
    if (!ReadText(layoutPath, layout))
        return 1;
    std::string text;
    std::string textureName;
    std::optional<Image> picture;
    std::string error;
    if (!build(layout, text, textureName, picture, error)) {
        std::fprintf(stderr, "uitool: %s: %s\n", layoutPath.string().c_str(), error.c_str());
        return 1;
    }
    const std::string name = layoutPath.stem().string();
    return Write(data / "Interface" / (name + suffix), text) &&
                   (!picture || WritePicture(data / "Textures" / textureName, *picture))
               ? 0
               : 1;
}

int Page(const std::filesystem::path& layoutPath, const std::string& fontPath,
         const std::filesystem::path& data) {
    GlyphRasterizer glyphs(fontPath, kLabelPixels);
    if (!glyphs.IsOpen()) {
        std::fprintf(stderr, "uitool: cannot open the font %s\n", fontPath.c_str());
        return 1;
    }
    const LabelPainter paint = [&](Image& atlas, int x, int y, int width, int height,
                                   const std::string& label) {
        int textWidth = 0;
        for (const char c : label)
            textWidth += glyphs.Advance(static_cast<unsigned char>(c));
        int pen = x + (width - textWidth) / 2;
        const int baseline = y + (height - glyphs.LineHeight()) / 2 + glyphs.Ascender();
        for (const char c : label)
            pen += glyphs.Draw(atlas, static_cast<unsigned char>(c), pen, baseline, x, y, width, height,
                               0xffffff);
    };
    return WriteFromLayout(layoutPath, data, "1024.int",
                           [&](const std::string& layout, std::string& text, std::string& textureName,
                               std::optional<Image>& picture, std::string& error) {
                               BuiltPage page;
                               if (!BuildPage(layout, paint, page, error))
                                   return false;
                               text = page.pageText;
                               textureName = page.textureName;
                               picture = page.atlas;
                               return true;
                           });
}

int Flare(const std::filesystem::path& layoutPath, const std::filesystem::path& data) {
    return WriteFromLayout(layoutPath, data, ".int",
                           [](const std::string& layout, std::string& text, std::string& textureName,
                              std::optional<Image>& picture, std::string& error) {
                               BuiltFlare flare;
                               if (!BuildFlare(layout, flare, error))
                                   return false;
                               text = flare.flareText;
                               textureName = flare.textureName;
                               picture = flare.texture;
                               return true;
                           });
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "font" && (argc == 6 || argc == 7))
        return Font(argv[2], argv[3], std::atoi(argv[4]), argc == 7 ? std::atoi(argv[6]) : 0, argv[5]);
    if (command == "page" && argc == 5)
        return Page(argv[2], argv[3], argv[4]);
    if (command == "flare" && argc == 4)
        return Flare(argv[2], argv[3]);
    std::fprintf(
        stderr,
        "usage: uitool font TTF NAME PIXELS DATA [OUTLINE] | page LAYOUT TTF DATA | flare LAYOUT DATA\n");
    return 2;
}
