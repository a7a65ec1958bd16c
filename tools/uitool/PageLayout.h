#pragma once

#include "imagetool/ImageWriter.h"

#include <functional>
#include <optional>
#include <string>

// Draws a label centred in a region of the atlas.
using LabelPainter =
    std::function<void(Image& atlas, int x, int y, int width, int height, const std::string& label)>;

// A page built from its layout: the page file's text, its texture's name and
// the atlas picture whose texels the page file points at (none when the
// texture is filled at run time).
struct BuiltPage {
    std::string pageText;
    std::string textureName;
    std::optional<Image> atlas;
};

// Reads a page layout, one element per line ("#" starts a comment):
//   script NAME
//   texture FILE WIDTH HEIGHT               the atlas (put first)
//   livetexture NAME WIDTH HEIGHT           or a texture filled at run time, such
//                                           as "video": no atlas, nothing painted
//   light LINE                              the page file's third line as it stands
//   window NAME X Y W H ARGB [WORDS...]     a plain colour (WORDS: false, stretch...)
//   icon NAME X Y W H ARGB INK SHAPE [WORDS...]  a plate with a pictogram ("gun",
//                                           "rocket") drawn over it in INK
//   cursor W H ARGB                         the pointer arrow
//   texels NAME X Y W H U V DU DV [WORDS...]  the texture's texels as they are
//   button NAME X Y W H ARGB ARGB ARGB LABEL  plates for normal, hovered, pressed
//   text NAME FONT X Y KEY
//   textedit NAME X Y FONT MAXLENGTH [TEXT]
// Positions and sizes are layout pixels of a 1024 x 768 screen; colours are
// hexadecimal ARGB. Pictures of the same look share their atlas region.
// False with a message on a line it cannot use or a full atlas.
bool BuildPage(const std::string& layout, const LabelPainter& paintLabel, BuiltPage& page,
               std::string& error);
