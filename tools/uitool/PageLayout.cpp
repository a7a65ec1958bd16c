#include "uitool/PageLayout.h"

#include "uitool/AtlasPainter.h"
#include "uitool/NumberText.h"
#include "uitool/PageFileWriter.h"

#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <tuple>
#include <vector>

namespace {

// A texel rectangle of the atlas.
struct Region {
    int x = 0, y = 0, width = 0, height = 0;
};

// Solid colours are stored small and stretched over the window.
constexpr int kTile = 8;

class PageBuilder {
public:
    PageBuilder(const LabelPainter& paintLabel, BuiltPage& page) : paintLabel(paintLabel), page(page) {}

    bool Line(const std::string& line, std::string& error);
    bool Finish(std::string& error);

private:
    // Shape, size, colour, the ink of a pictogram drawn over it, and a label.
    using Look = std::tuple<std::string, int, int, uint32_t, uint32_t, std::string>;

    bool Header(const std::string& keyword, std::istringstream& fields);
    bool Window(std::istringstream& fields);
    bool Icon(std::istringstream& fields);
    bool Texels(std::istringstream& fields);
    bool Cursor(std::istringstream& fields);
    bool Button(std::istringstream& fields);
    bool Text(const std::string& keyword, std::istringstream& fields);
    std::optional<Region> Picture(const Look& look);
    PageFileWriter& Writer();

    const LabelPainter& paintLabel;
    BuiltPage& page;
    std::string script = "none";
    std::string light = "_,off";
    int textureWidth = 0;
    int textureHeight = 0;
    bool hasTexture = false;
    // Null for a texture filled at run time.
    std::unique_ptr<AtlasPainter> atlas;
    std::unique_ptr<PageFileWriter> writer;
    std::map<Look, Region> regions;
};

bool ReadColour(std::istringstream& fields, uint32_t& argb) {
    std::string text;
    fields >> text;
    return ParseArgb(text, argb);
}

std::string RestOfLine(std::istringstream& fields) {
    std::string rest;
    std::getline(fields >> std::ws, rest);
    return rest;
}

bool PageBuilder::Line(const std::string& line, std::string& error) {
    std::istringstream fields(line);
    std::string keyword;
    if (!(fields >> keyword) || keyword[0] == '#')
        return true;
    bool ok = false;
    if (keyword == "script" || keyword == "texture" || keyword == "livetexture" || keyword == "light")
        ok = Header(keyword, fields);
    else if (!hasTexture)
        error = "the texture line must come before the elements";
    else if (keyword == "window")
        ok = Window(fields);
    else if (keyword == "icon")
        ok = Icon(fields);
    else if (keyword == "texels")
        ok = Texels(fields);
    else if (keyword == "cursor")
        ok = Cursor(fields);
    else if (keyword == "button")
        ok = Button(fields);
    else if (keyword == "text" || keyword == "textedit")
        ok = Text(keyword, fields);
    if (!ok && error.empty())
        error = "cannot use the line \"" + line + "\"";
    return ok;
}

bool PageBuilder::Header(const std::string& keyword, std::istringstream& fields) {
    if (keyword == "script")
        return static_cast<bool>(fields >> script);
    if (keyword == "light") {
        light = RestOfLine(fields);
        return !light.empty();
    }
    if (!(fields >> page.textureName >> textureWidth >> textureHeight) || textureWidth <= 0 ||
        textureHeight <= 0)
        return false;
    hasTexture = true;
    if (keyword == "texture")
        atlas = std::make_unique<AtlasPainter>(textureWidth, textureHeight);
    return true;
}

PageFileWriter& PageBuilder::Writer() {
    if (!writer)
        writer =
            std::make_unique<PageFileWriter>(script, page.textureName, textureWidth, textureHeight, light);
    return *writer;
}

std::optional<Region> PageBuilder::Picture(const Look& look) {
    if (const auto found = regions.find(look); found != regions.end())
        return found->second;
    const auto& [shape, width, height, argb, ink, label] = look;
    Region region{0, 0, width, height};
    if (!atlas || !atlas->Reserve(width, height, region.x, region.y))
        return std::nullopt;
    if (shape == "fill")
        atlas->Fill(region.x, region.y, width, height, argb);
    else if (shape == "arrow")
        atlas->Arrow(region.x, region.y, width, height, argb);
    else
        atlas->Plate(region.x, region.y, width, height, argb);
    if (shape != "fill" && shape != "arrow" && shape != "plate" &&
        !atlas->Pictogram(region.x, region.y, width, height, ink, shape))
        return std::nullopt;
    if (!label.empty() && paintLabel)
        paintLabel(atlas->Picture(), region.x, region.y, width, height, label);
    regions[look] = region;
    return region;
}

WindowLine PlacedLine(const std::string& name, float x, float y, float w, float h, const Region& region) {
    return {name,
            {x, y, w, h, static_cast<float>(region.x), static_cast<float>(region.y),
             static_cast<float>(region.width), static_cast<float>(region.height)},
            {}};
}

bool PageBuilder::Window(std::istringstream& fields) {
    std::string name;
    float x, y, w, h;
    uint32_t argb = 0;
    if (!(fields >> name >> x >> y >> w >> h) || !ReadColour(fields, argb))
        return false;
    const std::optional<Region> region = Picture({"fill", kTile, kTile, argb, 0, ""});
    if (!region)
        return false;
    // The tile's outer texels are left out, so stretching never blends in a neighbour.
    WindowLine line = PlacedLine(name, x, y, w, h, {region->x + 1, region->y + 1, kTile - 2, kTile - 2});
    for (std::string word; fields >> word;)
        line.words.push_back(word);
    Writer().Window(line);
    return true;
}

bool PageBuilder::Icon(std::istringstream& fields) {
    std::string name, shape;
    int x, y, w, h;
    uint32_t plate = 0, ink = 0;
    if (!(fields >> name >> x >> y >> w >> h) || !ReadColour(fields, plate) || !ReadColour(fields, ink) ||
        !(fields >> shape) || shape == "fill" || shape == "arrow" || shape == "plate")
        return false;
    const std::optional<Region> region = Picture({shape, w, h, plate, ink, ""});
    if (!region)
        return false;
    WindowLine line = PlacedLine(name, static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
                                 static_cast<float>(h), *region);
    for (std::string word; fields >> word;)
        line.words.push_back(word);
    Writer().Window(line);
    return true;
}

bool PageBuilder::Texels(std::istringstream& fields) {
    WindowLine line;
    fields >> line.name;
    for (float& value : line.values)
        fields >> value;
    if (!fields)
        return false;
    for (std::string word; fields >> word;)
        line.words.push_back(word);
    Writer().Window(line);
    return true;
}

bool PageBuilder::Cursor(std::istringstream& fields) {
    int w, h;
    uint32_t argb = 0;
    if (!(fields >> w >> h) || !ReadColour(fields, argb))
        return false;
    const std::optional<Region> region = Picture({"arrow", w, h, argb, 0, ""});
    if (!region)
        return false;
    Writer().Window(PlacedLine("cursor", 0, 0, static_cast<float>(w), static_cast<float>(h), *region));
    return true;
}

bool PageBuilder::Button(std::istringstream& fields) {
    std::string name;
    int x, y, w, h;
    uint32_t colours[3] = {};
    if (!(fields >> name >> x >> y >> w >> h))
        return false;
    for (uint32_t& colour : colours)
        if (!ReadColour(fields, colour))
            return false;
    const std::string label = RestOfLine(fields);
    std::vector<WindowLine> images;
    for (const uint32_t colour : colours) {
        const std::optional<Region> region = Picture({"plate", w, h, colour, 0, label});
        if (!region)
            return false;
        images.push_back(PlacedLine(name, static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
                                    static_cast<float>(h), *region));
    }
    Writer().Button(images[0], images[1], images[2]);
    return true;
}

bool PageBuilder::Text(const std::string& keyword, std::istringstream& fields) {
    std::string name, font;
    float x, y;
    if (keyword == "text") {
        std::string key;
        if (!(fields >> name >> font >> x >> y >> key))
            return false;
        Writer().Text(name, font, x, y, key);
        return true;
    }
    int maxLength = 0;
    if (!(fields >> name >> x >> y >> font >> maxLength))
        return false;
    Writer().TextEdit(name, x, y, font, maxLength, RestOfLine(fields));
    return true;
}

bool PageBuilder::Finish(std::string& error) {
    if (!hasTexture) {
        error = "the layout has no texture line";
        return false;
    }
    page.pageText = Writer().Contents();
    if (atlas)
        page.atlas = atlas->Picture();
    return true;
}

} // namespace

bool BuildPage(const std::string& layout, const LabelPainter& paintLabel, BuiltPage& page,
               std::string& error) {
    page = BuiltPage{};
    PageBuilder builder(paintLabel, page);
    std::istringstream lines(layout);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!builder.Line(line, error)) {
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
    }
    return builder.Finish(error);
}
