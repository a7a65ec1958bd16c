#pragma once

#include "imagetool/ImageWriter.h"

// The demo particle sprites, written into the Data tree by imagetool.

// A small white dot, bright in the middle: sparks and shell glints.
Image SparkPicture();
// A tracer's streak, drawn stretched along a beam (u from tail to head, v
// across): opaque along its middle line and fading only towards the edges
// across it, so that a beam a few pixels wide stays bright; a warm white that
// grows from a dimmer tail to the full head.
Image TracerPicture();
// A soft white puff whose alpha falls off to the rim: smoke and dust, tinted
// by the vertex colour.
Image PuffPicture();
// A 4 x 4 sheet of flame tongues, frame i at row i / 4 and column i % 4, the
// tongue rising higher and narrowing from frame to frame.
Image FirePicture();
// A dark, ragged burn mark for the ground.
Image ScorchPicture();
