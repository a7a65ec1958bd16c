#pragma once

#include "Game/RaceProgress.h"
#include "Platform/Win32Time.h"

#include <array>
#include <cstdint>
#include <string>

class CPFileWriter;

// The contents of one save file: the profile and player names, when it was
// written and the player's progress, with the best-run records of the first
// ten races. Stored little-endian without a header; a text is an int32
// length and its bytes; each race is its best time (float32), its value and
// its sample count (int32), then, only when there are samples, the car model
// and 32 bytes per sample.
struct SaveSlot {
    static constexpr int kSlotCount = 6;
    static constexpr int kSavedRaces = 10;

    std::string profileName;
    std::string playerName;
    SYSTEMTIME saveTime;
    int32_t racesPassed = 0;
    int32_t points = 0;
    std::array<RaceProgress, kSavedRaces> races;
};

// Appends the save file's bytes.
void WriteSaveSlot(CPFileWriter& writer, const SaveSlot& slot);

// True when the first save time was written earlier than the second, to the
// second (day of week and milliseconds do not count).
bool IsEarlierSaveTime(const SYSTEMTIME& a, const SYSTEMTIME& b);
