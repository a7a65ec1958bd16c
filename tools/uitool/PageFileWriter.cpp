#include "uitool/PageFileWriter.h"

#include "uitool/NumberText.h"

std::string WindowLineText(const WindowLine& line) {
    std::string text = line.name + " ";
    for (std::size_t i = 0; i < line.values.size(); ++i)
        text += (i ? "," : "") + NumberText(line.values[i]);
    for (const std::string& word : line.words)
        text += "," + word;
    return text;
}

PageFileWriter::PageFileWriter(const std::string& script, const std::string& texture, int textureWidth,
                               int textureHeight, const std::string& lightLine) {
    Line(script);
    Line(texture + "," + std::to_string(textureWidth) + "," + std::to_string(textureHeight));
    Line(lightLine);
}

void PageFileWriter::Window(const WindowLine& line) {
    Line("window");
    Line(WindowLineText(line));
}

void PageFileWriter::Button(const WindowLine& normal, const WindowLine& hovered, const WindowLine& pressed) {
    Line("button");
    for (const WindowLine* image : {&normal, &hovered, &pressed})
        Line(WindowLineText(*image));
}

void PageFileWriter::Text(const std::string& name, const std::string& font, float x, float y,
                          const std::string& key) {
    Line("text");
    Line(name + " " + font + "," + NumberText(x) + "," + NumberText(y) + "," + key);
}

void PageFileWriter::TextEdit(const std::string& name, float x, float y, const std::string& font,
                              int maxLength, const std::string& initialText) {
    Line("textedit");
    std::string line =
        name + " " + NumberText(x) + "," + NumberText(y) + "," + font + "," + std::to_string(maxLength);
    if (!initialText.empty())
        line += ",left," + initialText;
    Line(line);
}
