#pragma once

#include "Platform/Win32Types.h"

// The volume law of sounds and music: a volume v from 0 (silent) to 1 (full)
// becomes the attenuation (1 - v)^4 x -7000 in hundredths of a decibel,
// truncated: 1 gives 0, 0.5 gives -437, 0 gives -7000. Volumes outside 0..1
// are clamped first, so 1.5 is full volume and -1 silence.
LONG VolumeToAttenuation(float volume);
