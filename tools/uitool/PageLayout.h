#pragma once

#include "imagetool/ImageWriter.h"

#include <functional>
#include <string>

// Draws a label centred in a region of the atlas.
using LabelPainter =
    std::function<void(Image& atlas, int x, int y, int width, int height, const std::string& label)>;

// A page built from its layout: the page file's text, its texture's name and
// the atlas picture whose texels the page file points at.
struct BuiltPage {
    std::string pageText;
    std::string textureName;
    Image atlas{1, 1};
};

// Reads a page layout, one element per line ("#" starts a comment):
//   script NAME
//   texture FILE WIDTH HEIGHT               the atlas (put first)
//   light LINE                              the page file's third line as it stands
//   window NAME X Y W H ARGB [WORDS...]     a plain colour (WORDS: false, stretch...)
//   cursor W H ARGB                         the pointer arrow
//   button NAME X Y W H ARGB ARGB ARGB LABEL  plates for normal, hovered, pressed
//   text NAME FONT X Y KEY
//   textedit NAME X Y FONT MAXLENGTH [TEXT]
// Positions and sizes are layout pixels of a 1024 x 768 screen; colours are
// hexadecimal ARGB. Pictures of the same look share their atlas region.
// False with a message on a line it cannot use or a full atlas.
bool BuildPage(const std::string& layout, const LabelPainter& paintLabel, BuiltPage& page,
               std::string& error);
