// Reads arbitrary bytes as a save game: a refusal always says why, and an
// accepted save holds no more bytes than the input and only finite times.

#include "Game/SaveSlotReader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

std::size_t StoredSize(const SaveSlot& slot) {
    std::size_t size = 8 + slot.profileName.size() + slot.playerName.size() + sizeof(SYSTEMTIME) + 8;
    for (const RaceProgress& race : slot.races) {
        size += 12;
        if (!race.samples.empty())
            size += 4 + race.carModel.size() + race.samples.size() * sizeof(RunSample);
    }
    return size;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SaveSlot slot;
    SaveSlotReader reader(data, size);
    const bool accepted = reader.Read(slot);
    if (accepted == !reader.Error().empty())
        __builtin_trap();
    if (!accepted)
        return 0;
    // Texts end at their first zero byte, so a save with one reads shorter.
    if (StoredSize(slot) > size)
        __builtin_trap();
    for (const RaceProgress& race : slot.races) {
        if (!std::isfinite(race.bestTime))
            __builtin_trap();
    }
    return 0;
}
