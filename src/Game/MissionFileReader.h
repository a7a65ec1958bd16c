#pragma once

#include "Core/StringHashMap.h"
#include "Game/LevelSourcePoints.h"
#include "Game/MissionInfo.h"
#include "Game/TextProblems.h"

#include <cstddef>
#include <vector>

using SourceGroups = StringHashMap<std::vector<SourceInfo>>;

// Reads a mission file: mission lines of seven fields separated by single
// spaces (float, int, int, int, weighted list, int, weighted list), then,
// after a line "sources", source lines of five fields (source point name,
// group, side flag, float, weighted list). A weighted list is
// "name,weight;name,weight..." with no spaces unless quoted. Numbers read as
// the C library's atof and atoi do; missing fields read as 0 or empty.
// Missions are appended; each source goes to the end of its group.
//
// Each source takes the position of the point of its name; an unknown name
// gives (0, 0, 0) and a problem. With no points given, positions stay
// (0, 0, 0) and names are not checked. Lines whose field count differs from
// the layout, or with an empty field (two spaces in a row shift every later
// field), are reported but read as they stand.
void ReadMissionFile(const void* bytes, std::size_t size, const SourcePoints* points,
                     std::vector<MissionInfo>& missions, SourceGroups& sources, TextProblems& problems);

// The items of a weighted list text, each covering its weight's range from
// where the previous one ended (the first from 0).
std::vector<WeightedName> ReadWeightedList(const std::string& text);
