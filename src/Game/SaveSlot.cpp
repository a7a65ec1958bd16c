#include "Game/SaveSlot.h"

#include "Core/PFileWriter.h"

#include <bit>
#include <tuple>

namespace {

void WriteRace(CPFileWriter& writer, const RaceProgress& race) {
    writer.WriteInt(std::bit_cast<int32_t>(race.bestTime));
    writer.WriteInt(race.value);
    writer.WriteInt(static_cast<int32_t>(race.samples.size()));
    if (race.samples.empty())
        return;
    writer.WriteString(race.carModel);
    writer.Write(race.samples.data(), static_cast<int>(race.samples.size() * sizeof(RunSample)));
}

auto SecondsKey(const SYSTEMTIME& t) {
    return std::tie(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

} // namespace

void WriteSaveSlot(CPFileWriter& writer, const SaveSlot& slot) {
    writer.WriteString(slot.profileName);
    writer.WriteString(slot.playerName);
    writer.Write(&slot.saveTime, sizeof(slot.saveTime));
    writer.WriteInt(slot.racesPassed);
    writer.WriteInt(slot.points);
    for (const RaceProgress& race : slot.races)
        WriteRace(writer, race);
}

bool IsEarlierSaveTime(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return SecondsKey(a) < SecondsKey(b);
}
