#pragma once

#include "imagetool/ImageWriter.h"

// The pictures the engine itself draws, whatever the game's data: written
// into the Data tree by imagetool, and into test game roots by the tests.

// A well-mixed byte (0 to 255) per pixel, the same on every build.
uint32_t GrainAt(int x, int y);

// Magenta and black squares: unmistakable where a texture is missing.
Image ErrorPicture();
// The loading screen: a dusk sky over a dark horizon (only its upper three
// quarters are shown) and one cell of the bar, repeated once per percent.
Image BackgroundPicture();
Image BarPicture();
// Where the motion blur may reach, in alpha: nothing in the middle of the
// screen, growing towards the edges, full in the corners.
Image BlurMaskPicture();
// A fine grey grain laid over the bloomed frame at a low alpha.
Image NoisePicture();
// Planks of the demo crate: plain wood inside a dark frame.
Image CratePicture();
// The demo buggy's livery: paint (ARGB) and stripe, tyres and hubs, and its
// rear lights dim and lit. The player's car is orange; the computer cars
// wear the same livery in colours of their own.
Image BuggyPicture(uint32_t paint = 0xffe07020);
// The demo torch: a dark wooden handle under an iron cup.
Image TorchPicture();
// The cars' blob shadow: black, with an alpha that is densest in the middle
// of an ellipse nearly filling the picture and falls softly to nothing at
// its rim, well inside the picture's border.
Image ShadowPicture();
