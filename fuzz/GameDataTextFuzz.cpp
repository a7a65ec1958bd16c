// Feeds arbitrary bytes to every game-data text reader: the text table, the
// item file, a mission file (with a level's source points), the starting
// equipment and the difficulty coefficients.

#include "Game/ItemsFileReader.h"
#include "Game/MissionFileReader.h"
#include "Game/ProfileFileReader.h"
#include "Game/TextTableReader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TextProblems problems;
    TextTable table;
    ReadTextTable(data, size, table, problems);

    ItemCatalogues items;
    ReadItemsFile(data, size, items, problems);
    for (const CarInfo& preset : items.presetCarInfos)
        items.GetEquipmentValue(preset);

    SourcePoints points;
    points["a"] = D3DXVECTOR3(1, 2, 3);
    std::vector<MissionInfo> missions;
    SourceGroups sources;
    ReadMissionFile(data, size, &points, missions, sources, problems);
    for (const MissionInfo& mission : missions)
        DrawWeightedName(mission.enemies, 50);

    ReadPlayerFile(data, size, items, problems);
    std::array<float, 4> coefficients{};
    ReadCoefficientsFile(data, size, coefficients, problems);
    return 0;
}
