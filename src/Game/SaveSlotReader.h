#pragma once

#include "Game/SaveSlot.h"
#include "Platform/Graphics/ByteReader.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Reads a save file's bytes into a SaveSlot, checking every length and count
// against what remains, every float for being finite and that nothing is
// left over. A refusal names the field and the byte where it starts.
class SaveSlotReader {
public:
    SaveSlotReader(const uint8_t* bytes, std::size_t size) : reader(bytes, size) {}

    // The whole file; false (with Error set) when any field is wrong.
    bool Read(SaveSlot& slot);
    // Only the names and the save time at the file's start.
    bool ReadHeader(SaveSlot& slot);

    // "<field> at byte <n>: <why>" after a refusal.
    const std::string& Error() const { return error; }

private:
    bool ReadRace(int race, RaceProgress& progress);
    bool ReadSamples(int race, int32_t count, RaceProgress& progress);
    bool Int(const std::string& field, int32_t& value);
    bool Float(const std::string& field, float& value);
    bool Text(const std::string& field, std::string& text);
    bool Fail(const std::string& field, std::size_t offset, const char* why);

    PlatByteReader reader;
    std::string error;
};
