#include "Game/SaveSlotReader.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace {

std::string RaceField(const char* field, int race) {
    return std::string(field) + " of race " + std::to_string(race);
}

} // namespace

bool SaveSlotReader::Read(SaveSlot& slot) {
    if (!ReadHeader(slot) || !Int("the races passed", slot.racesPassed) || !Int("the points", slot.points))
        return false;
    for (int race = 0; race < SaveSlot::kSavedRaces; ++race) {
        if (!ReadRace(race, slot.races[race]))
            return false;
    }
    if (reader.Remaining() != 0)
        return Fail("the end of the file", reader.Position(), "bytes are left over");
    return true;
}

bool SaveSlotReader::ReadHeader(SaveSlot& slot) {
    if (!Text("the profile name", slot.profileName) || !Text("the player name", slot.playerName))
        return false;
    const std::size_t offset = reader.Position();
    const uint8_t* time = reader.Take(sizeof(SYSTEMTIME));
    if (!time)
        return Fail("the save time", offset, "the file ends inside it");
    std::memcpy(&slot.saveTime, time, sizeof(SYSTEMTIME));
    return true;
}

bool SaveSlotReader::ReadRace(int race, RaceProgress& progress) {
    int32_t count = 0;
    if (!Float(RaceField("the best time", race), progress.bestTime) ||
        !Int(RaceField("the value", race), progress.value))
        return false;
    const std::size_t countOffset = reader.Position();
    if (!Int(RaceField("the sample count", race), count))
        return false;
    if (count < 0)
        return Fail(RaceField("the sample count", race), countOffset, "it is negative");
    progress.carModel.clear();
    progress.samples.clear();
    if (count == 0)
        return true;
    return Text(RaceField("the car model", race), progress.carModel) && ReadSamples(race, count, progress);
}

bool SaveSlotReader::ReadSamples(int race, int32_t count, RaceProgress& progress) {
    const std::size_t offset = reader.Position();
    if (static_cast<std::size_t>(count) > reader.Remaining() / sizeof(RunSample))
        return Fail(RaceField("the samples", race), offset, "the file ends before the counted samples");
    progress.samples.resize(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        float values[8];
        for (float& value : values) {
            if (!Float(RaceField(("sample " + std::to_string(i)).c_str(), race), value))
                return false;
        }
        RunSample& sample = progress.samples[static_cast<std::size_t>(i)];
        sample.position = {values[0], values[1], values[2]};
        sample.orientation = {values[3], values[4], values[5], values[6]};
        sample.raceTime = values[7];
    }
    return true;
}

bool SaveSlotReader::Int(const std::string& field, int32_t& value) {
    const std::size_t offset = reader.Position();
    uint32_t bits = 0;
    if (!reader.ReadU32(&bits))
        return Fail(field, offset, "the file ends inside it");
    value = static_cast<int32_t>(bits);
    return true;
}

bool SaveSlotReader::Float(const std::string& field, float& value) {
    const std::size_t offset = reader.Position();
    int32_t bits = 0;
    if (!Int(field, bits))
        return false;
    value = std::bit_cast<float>(bits);
    return std::isfinite(value) || Fail(field, offset, "it is not a finite number");
}

bool SaveSlotReader::Text(const std::string& field, std::string& text) {
    const std::size_t offset = reader.Position();
    int32_t length = 0;
    if (!Int(field, length))
        return false;
    if (length < 0)
        return Fail(field, offset, "its length is negative");
    const uint8_t* bytes = reader.Take(static_cast<std::size_t>(length));
    if (!bytes)
        return Fail(field, offset, "its length runs past the end of the file");
    // The text ends at its first zero byte.
    const auto* first = reinterpret_cast<const char*>(bytes);
    text.assign(first, strnlen(first, static_cast<std::size_t>(length)));
    return true;
}

bool SaveSlotReader::Fail(const std::string& field, std::size_t offset, const char* why) {
    error = field + " at byte " + std::to_string(offset) + ": " + why;
    return false;
}
