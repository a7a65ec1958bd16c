#pragma once

#include "Core/StringHashMap.h"
#include "Platform/D3DX9Math.h"

#include <functional>

// The source points of a level by name: where its enemies and bonuses come
// from.
using SourcePoints = StringHashMap<D3DXVECTOR3>;
using SourcePointsLookup = std::function<SourcePoints()>;

// The loaded level installs the lookup of its source points, and removes it
// (an empty lookup) when it goes.
void SetLevelSourcePoints(SourcePointsLookup lookup);

// A copy of the current level's source points; empty when no level is
// loaded.
SourcePoints GetLevelSourcePoints();
