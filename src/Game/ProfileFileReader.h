#pragma once

#include "Game/CarInfo.h"
#include "Game/ItemCatalogues.h"
#include "Game/TextProblems.h"

#include <array>
#include <cstddef>

// Reads the starting equipment: the first eleven logical lines name, in
// this order, weapon 1 to 3, mines, armor, bumper, engine, super weapon,
// the super-weapon count, equipment 1 and 2; a line "none" is an empty name
// and missing lines are empty. Names that their catalogue does not hold are
// reported.
CarInfo ReadPlayerFile(const void* bytes, std::size_t size, const ItemCatalogues& catalogues,
                       TextProblems& problems);

// Reads the difficulty coefficients: the first four logical lines fill
// coefficients 1, 3, 2 and 4 (the middle two crosswise). A missing line
// reads as 0, as does a line that starts with no number; both are reported.
void ReadCoefficientsFile(const void* bytes, std::size_t size, std::array<float, 4>& coefficients,
                          TextProblems& problems);
