#pragma once

#include "Game/ItemCatalogues.h"
#include "Game/TextProblems.h"

#include <cstddef>

// Reads the shop's item file into the catalogues. Sections [weapons],
// [mines], [superweapons], [bumpers], [equipment], [armor], [engines] and
// [presets] hold one record per line, its fields separated by ";" (double
// quotes group), in the order of the record layout; a preset is a whole car
// configuration in field order. Items keep the file's order; a repeated name
// keeps the first item. A bad line, a line outside a known section and a
// preset naming an item no catalogue holds are reported; bad lines are
// skipped.
void ReadItemsFile(const void* bytes, std::size_t size, ItemCatalogues& catalogues, TextProblems& problems);
