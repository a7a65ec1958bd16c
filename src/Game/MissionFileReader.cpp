#include "Game/MissionFileReader.h"

#include "Core/PLineReader.h"
#include "Game/ObjectDescription.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr std::size_t kMissionFields = 7;
constexpr std::size_t kSourceFields = 5;

// The running sum stops at the largest int rather than overflowing.
int32_t AddWeight(int32_t sum, int weight) {
    const int64_t total = int64_t{sum} + weight;
    return static_cast<int32_t>(
        std::clamp<int64_t>(total, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Reports a field count other than the layout's and every empty field.
void CheckFields(const std::vector<std::string>& fields, std::size_t expected, int line,
                 TextProblems& problems) {
    if (fields.size() != expected)
        problems.push_back({line, std::to_string(expected) + " fields expected, " +
                                      std::to_string(fields.size()) + " found"});
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].empty())
            problems.push_back({line, "field " + std::to_string(i + 1) +
                                          " is empty (two spaces in a row shift the later fields)"});
    }
}

MissionInfo ReadMission(const std::vector<std::string>& f) {
    return MissionInfo{TextToFloat(FieldAt(f, 0)),      TextToInt(FieldAt(f, 1)),
                       TextToInt(FieldAt(f, 2)),        TextToInt(FieldAt(f, 3)),
                       ReadWeightedList(FieldAt(f, 4)), TextToInt(FieldAt(f, 5)),
                       ReadWeightedList(FieldAt(f, 6))};
}

D3DXVECTOR3 PointPosition(const SourcePoints* points, const std::string& name, int line,
                          TextProblems& problems) {
    if (!points)
        return {0, 0, 0};
    if (const D3DXVECTOR3* position = points->Find(name))
        return *position;
    problems.push_back({line, "the level has no source point \"" + name + "\"; (0, 0, 0) is used"});
    return {0, 0, 0};
}

} // namespace

std::vector<WeightedName> ReadWeightedList(const std::string& text) {
    std::vector<WeightedName> list;
    int32_t sum = 0;
    for (const std::string& item : SplitFields(text, ";")) {
        const std::vector<std::string> parts = SplitFields(item, ",");
        WeightedName name{FieldAt(parts, 0), sum, 0};
        sum = AddWeight(sum, TextToInt(FieldAt(parts, 1)));
        name.high = sum;
        list.push_back(std::move(name));
    }
    return list;
}

void ReadMissionFile(const void* bytes, std::size_t size, const SourcePoints* points,
                     std::vector<MissionInfo>& missions, SourceGroups& sources, TextProblems& problems) {
    ReportDroppedLines(bytes, size, problems);
    CPLineReader lines(bytes, size);
    std::string line;
    bool inSources = false;
    while (lines.ReadLine(line)) {
        if (!inSources && line == "sources") {
            inSources = true;
            continue;
        }
        const std::vector<std::string> f = SplitFields(line, " ");
        CheckFields(f, inSources ? kSourceFields : kMissionFields, lines.LineNumber(), problems);
        if (!inSources) {
            missions.push_back(ReadMission(f));
            continue;
        }
        const D3DXVECTOR3 position = PointPosition(points, FieldAt(f, 0), lines.LineNumber(), problems);
        sources[FieldAt(f, 1)].push_back(SourceInfo{
            position, FieldAt(f, 2) != "0", TextToFloat(FieldAt(f, 3)), ReadWeightedList(FieldAt(f, 4))});
    }
}
