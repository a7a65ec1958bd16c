#pragma once

#include "Core/PRefPtr.h"
#include "Core/StringHashMap.h"
#include "Render/PPartAnimation.h"

#include <string>

// The node track files of Data\Animations, little-endian: int32 track
// count, then per track a counted name (ending at its first NUL), int32 key
// count and that many 52-byte keys: the duration (float seconds) and a 4x3
// matrix stored column by column (m11 m21 m31 m41, m12 ... m42, m13 ... m43).

inline constexpr int kTrackKeySize = 52;

// Reads Data\Animations\<fileName> into new tracks stored in the map under
// their lower-cased names, without owners. A later track of the same name
// replaces the earlier one, which is deleted. A file that is found nowhere,
// or whose counts do not fit its size, adds no track (and is reported).
void LoadAnimations(const std::string& fileName, StringHashMap<CPRefPtr<CPPartAnimation>>& tracks);
