#pragma once

#include <array>
#include <string>
#include <vector>

// One window line of a page file: the name, then x, y, w, h in layout pixels
// of a 1024 x 768 screen, u, v, du, dv in texels, then optional words (the
// visibility word, then "stretch" or an anchor word).
struct WindowLine {
    std::string name;
    std::array<float, 8> values{};
    std::vector<std::string> words;
};

std::string WindowLineText(const WindowLine& line);

// Writes the text of a page file (Data\Interface\<page>1024.int): the
// script, texture and light lines, then one keyword block per element.
class PageFileWriter {
public:
    // `lightLine` is the third line as it stands, e.g. "_,off,0,0,0,0,0,0,smooth".
    PageFileWriter(const std::string& script, const std::string& texture, int textureWidth, int textureHeight,
                   const std::string& lightLine);

    void Window(const WindowLine& line);
    void Button(const WindowLine& normal, const WindowLine& hovered, const WindowLine& pressed);
    void Text(const std::string& name, const std::string& font, float x, float y, const std::string& key);
    void TextEdit(const std::string& name, float x, float y, const std::string& font, int maxLength,
                  const std::string& initialText);

    const std::string& Contents() const { return text; }

private:
    void Line(const std::string& line) { text += line + "\n"; }

    std::string text;
};
