#pragma once

#include "imagetool/ImageWriter.h"

#include <string>

// A lens flare built from its layout: the flare file's text and the 512 x 512
// texture its texel rectangles point into.
struct BuiltFlare {
    std::string flareText;
    std::string textureName;
    Image texture{512, 512};
};

// Reads a flare layout, one element per line ("#" starts a comment):
//   texture FILE                            first
//   element glow|ring SIZE FACTOR SCALE ARGB
// SIZE is in texels of the texture; FACTOR places the element between the
// sun (0) and the screen centre (50); ARGB is hexadecimal. False with a
// message on a line it cannot use or a full texture.
bool BuildFlare(const std::string& layout, BuiltFlare& flare, std::string& error);
