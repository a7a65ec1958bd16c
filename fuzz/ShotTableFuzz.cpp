// Feeds arbitrary bytes to the shot-table reader, then spawns and runs every
// shot it made for a few frames, with no level, sound or renderer behind
// them.

#include "Core/PGlobalTimer.h"
#include "Vehicles/PShotSpawner.h"
#include "Vehicles/ShotTable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CPShotSpawner spawner;
    std::vector<std::string> names;
    TextProblems problems;
    ShotTable::Read(
        data, size,
        [&](const std::string& name, std::unique_ptr<CPShot> shot) {
            names.push_back(name);
            spawner.AddToPool(name, std::move(shot));
        },
        problems);
    for (const std::string& name : names) {
        spawner.Spawn(name, {0, 0, 0}, {0, 1, 0}, -1, nullptr);
        spawner.Spawn(name, {1, 2, 3}, {0, 0, 0}, 5, nullptr);
    }
    g_FrameTime = 0.1f;
    for (int frame = 0; frame < 8; ++frame)
        spawner.Update();
    return 0;
}
