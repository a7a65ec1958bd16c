#pragma once

#include "Platform/Win32Time.h"

#include <bit>
#include <cstdint>
#include <string>

// Writes save-file bytes by hand, field by field, independent of the
// engine's writer: little-endian ints and floats, texts as a length and
// their bytes.
class SaveFileBytes {
public:
    SaveFileBytes& Int(int32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((static_cast<uint32_t>(value) >> shift) & 0xFF));
        return *this;
    }
    SaveFileBytes& Float(float value) { return Int(std::bit_cast<int32_t>(value)); }
    SaveFileBytes& Text(const std::string& text) {
        Int(static_cast<int32_t>(text.size()));
        bytes += text;
        return *this;
    }
    SaveFileBytes& Time(const SYSTEMTIME& t) {
        for (const WORD field :
             {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds}) {
            bytes.push_back(static_cast<char>(field & 0xFF));
            bytes.push_back(static_cast<char>(field >> 8));
        }
        return *this;
    }
    // A race without samples: best time, value, count 0.
    SaveFileBytes& EmptyRace(float bestTime, int32_t value) { return Float(bestTime).Int(value).Int(0); }

    std::string bytes;
};

// The profile "P" of player "Q" saved at 2024-03-05 13:45:30.250 with three
// races passed and 120 points; race 0 holds a best run of two samples by
// "buggy", the other nine none. 227 bytes.
inline SYSTEMTIME GoldenSaveTime() {
    SYSTEMTIME time;
    time.wYear = 2024;
    time.wMonth = 3;
    time.wDayOfWeek = 2;
    time.wDay = 5;
    time.wHour = 13;
    time.wMinute = 45;
    time.wSecond = 30;
    time.wMilliseconds = 250;
    return time;
}

inline std::string GoldenSaveFile() {
    SaveFileBytes file;
    file.Text("P").Text("Q").Time(GoldenSaveTime()).Int(3).Int(120);
    file.Float(75.25f).Int(7).Int(2).Text("buggy");
    for (int sample = 0; sample < 2; ++sample) {
        for (int value = 0; value < 8; ++value)
            file.Float(static_cast<float>(sample * 10 + value) + 0.5f);
    }
    for (int race = 1; race < 10; ++race)
        file.EmptyRace(static_cast<float>(race) * 1.5f, race);
    return file.bytes;
}
