#pragma once

#include "Core/StringHashMap.h"
#include "Game/TextProblems.h"

#include <cstddef>
#include <string>

using TextTable = StringHashMap<std::string>;

// Reads the key~text lines of a text table into the table. The text may be
// double-quoted (keeping "~" and surrounding spaces; a doubled quote stands
// for one); a line without "~" gives its key an empty text; a key already in
// the table keeps its text, so the first line of a key wins.
void ReadTextTable(const void* bytes, std::size_t size, TextTable& table, TextProblems& problems);
