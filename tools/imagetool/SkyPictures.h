#pragma once

#include "imagetool/ImageWriter.h"

// The demo sky's pictures.

// The dome's gradient: white at the horizon (the top row), dimming a little
// towards the zenith, the same across.
Image SkyGradientPicture();
// The sun: a warm white disc whose alpha falls off to nothing at its rim.
Image SunPicture();
// A soft white cloud puff, opaque in the middle, clear at the edges.
Image CloudPicture();
