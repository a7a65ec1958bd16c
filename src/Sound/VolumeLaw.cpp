#include "Sound/VolumeLaw.h"

#include <algorithm>
#include <cmath>

LONG VolumeToAttenuation(float volume) {
    // NaN compares false everywhere: it is taken as silence.
    const float v = std::isnan(volume) ? 0.0f : std::clamp(volume, 0.0f, 1.0f);
    const float quiet = 1.0f - v;
    return static_cast<LONG>(quiet * quiet * quiet * quiet * -7000.0f);
}
