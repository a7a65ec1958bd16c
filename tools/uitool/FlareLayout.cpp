#include "uitool/FlareLayout.h"

#include "uitool/AtlasPainter.h"
#include "uitool/FlareFileWriter.h"
#include "uitool/NumberText.h"

#include <sstream>
#include <vector>

namespace {

bool ReadElement(std::istringstream& fields, AtlasPainter& atlas, FlareLine& line) {
    std::string shape;
    std::string colour;
    int size = 0;
    float scale = 0;
    if (!(fields >> shape >> size >> line.factor >> scale >> colour) ||
        (shape != "glow" && shape != "ring") || !ParseArgb(colour, line.colour) ||
        !atlas.Reserve(size, size, line.left, line.top))
        return false;
    // White: the element's colour tints it when drawn.
    atlas.Glow(line.left, line.top, size, 0xffffffffu, shape == "ring");
    line.scaleX = line.scaleY = scale;
    line.width = line.height = size;
    return true;
}

} // namespace

bool BuildFlare(const std::string& layout, BuiltFlare& flare, std::string& error) {
    flare = BuiltFlare{};
    AtlasPainter atlas(flare.texture.width, flare.texture.height);
    std::vector<FlareLine> lines;
    std::istringstream text(layout);
    int number = 0;
    for (std::string line; std::getline(text, line);) {
        ++number;
        std::istringstream fields(line);
        std::string keyword;
        if (!(fields >> keyword) || keyword[0] == '#')
            continue;
        bool ok = false;
        if (keyword == "texture") {
            ok = static_cast<bool>(fields >> flare.textureName);
        } else if (keyword == "element" && !flare.textureName.empty()) {
            FlareLine element;
            element.texture = flare.textureName;
            ok = ReadElement(fields, atlas, element);
            lines.push_back(element);
        }
        if (!ok) {
            error = "line " + std::to_string(number) + ": cannot use \"" + line + "\"";
            return false;
        }
    }
    flare.flareText = FlareFileText(lines);
    flare.texture = atlas.Picture();
    return true;
}
