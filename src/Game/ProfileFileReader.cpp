#include "Game/ProfileFileReader.h"

#include "Core/PLineReader.h"
#include "Game/ObjectDescription.h"

#include <string>

namespace {

// One line of the starting equipment: the name it fills, or none for the
// super-weapon count.
struct PlayerLine {
    std::string CarInfo::*name;
    ItemKind kind;
};

constexpr std::array<PlayerLine, 11> kPlayerLines = {{
    {&CarInfo::weapon1, ItemKind::Weapon},
    {&CarInfo::weapon2, ItemKind::Weapon},
    {&CarInfo::weapon3, ItemKind::Weapon},
    {&CarInfo::mines, ItemKind::Mine},
    {&CarInfo::armor, ItemKind::Armor},
    {&CarInfo::bumper, ItemKind::Bumper},
    {&CarInfo::engine, ItemKind::Engine},
    {&CarInfo::superWeapon, ItemKind::SuperWeapon},
    {nullptr, ItemKind::SuperWeapon},
    {&CarInfo::equipment1, ItemKind::Equipment},
    {&CarInfo::equipment2, ItemKind::Equipment},
}};

// Each of the crosswise lines goes to this coefficient.
constexpr std::array<std::size_t, 4> kCoefficientOfLine = {0, 2, 1, 3};

} // namespace

CarInfo ReadPlayerFile(const void* bytes, std::size_t size, const ItemCatalogues& catalogues,
                       TextProblems& problems) {
    ReportDroppedLines(bytes, size, problems);
    CPLineReader lines(bytes, size);
    CarInfo car;
    std::string line;
    for (const PlayerLine& slot : kPlayerLines) {
        lines.ReadLine(line);
        if (!slot.name) {
            car.superWeaponCount = TextToInt(line);
            continue;
        }
        if (line == "none")
            line.clear();
        car.*slot.name = line;
        if (!line.empty() && !catalogues.Holds(slot.kind, line))
            problems.push_back({lines.LineNumber(), UnknownItemMessage(slot.kind, line)});
    }
    return car;
}

void ReadCoefficientsFile(const void* bytes, std::size_t size, std::array<float, 4>& coefficients,
                          TextProblems& problems) {
    ReportDroppedLines(bytes, size, problems);
    CPLineReader lines(bytes, size);
    std::string line;
    for (std::size_t i = 0; i < kCoefficientOfLine.size(); ++i) {
        if (!lines.ReadLine(line))
            problems.push_back(
                {0, "line " + std::to_string(i + 1) + " is missing; its coefficient becomes 0"});
        else if (TextToFloat(line) == 0)
            problems.push_back({lines.LineNumber(), "the coefficient reads as 0"});
        coefficients[kCoefficientOfLine[i]] = TextToFloat(line);
    }
}
