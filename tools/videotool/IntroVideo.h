#pragma once

#include "videotool/AviWriter.h"

#include <string>

class GlyphRasterizer;

// The demo's intro: five seconds at 320 x 240 and 25 frames a second of a
// gradient that drifts across the picture under a title that fades in,
// with a soft chord that swells and fades.
RawVideo IntroVideo(GlyphRasterizer& titleFont, const std::string& title);
