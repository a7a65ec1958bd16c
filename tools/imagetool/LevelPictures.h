#pragma once

#include "imagetool/ImageWriter.h"

// The pictures of a level's ground and road, written by leveltool with the
// level's other files.

// The terrain's colour map, stretched once over the whole ground quad:
// grass with a fine, even variation.
Image GroundColourPicture();
// The terrain's detail texture, tiled densely over the colour map: grey
// around the middle level, so that doubling the product keeps the colour.
Image GroundDetailPicture();
// The road surface across the road (u from the left edge to the right) and
// along it (v, one picture per road width): asphalt with white edge lines
// and a dashed centre line.
Image RoadPicture();
// The barriers along the road: red and white blocks along their length
// (u), a dark kerb at their foot (v from the top edge down).
Image BarrierPicture();
// The checkpoint banner: black and white squares, two rows.
Image GatePicture();
// The refill pad's arrows: cyan chevrons pointing along v, their alpha the
// glow's strength, for drawing added to the scene.
Image PadPicture();
// The grandstands: grey concrete with rows of coloured seats.
Image StandPicture();
