#include "uitool/FlareFileWriter.h"

#include "uitool/NumberText.h"

std::string FlareFileText(const std::vector<FlareLine>& lines) {
    std::string text;
    for (const FlareLine& line : lines) {
        text += line.texture + "\t" + std::to_string(line.factor) + "\t" + NumberText(line.scaleX) + "\t" +
                NumberText(line.scaleY) + "\t" + std::to_string(line.colour) + "\t" +
                std::to_string(line.width) + "\t" + std::to_string(line.height) + "\t" +
                std::to_string(line.left) + "\t" + std::to_string(line.top) + "\n";
    }
    return text;
}
