#pragma once

#include "soundtool/SoundWriter.h"

#include <cstdint>
#include <vector>

// WAVE files, well-formed and not, built byte by byte for the reader's
// tests and as the fuzzer's starting points.

inline std::vector<uint8_t> Bytes(const char* text) {
    return {text, text + std::char_traits<char>::length(text)};
}

// 8-bit mono at 22,050 Hz: a 3-byte "LIST" chunk, then 5 bytes of data,
// each padded to an even size: 12 + 24 + 12 + 14 = 62 bytes.
inline std::vector<uint8_t> OddListBeforeOdd8BitData() {
    return RiffWave({PcmFormatChunk({1, 22050, 8}), RiffChunk("LIST", {'a', 'b', 'c'}),
                     RiffChunk("data", {1, 2, 3, 4, 5})});
}

inline std::vector<uint8_t> Stereo16BitData() {
    return EncodePcm({0.5f, -0.5f, 0.25f, -0.25f, 1, -1, 0, 0}, 16);
}

// 16-bit stereo at 44,100 Hz, four frames: 44 + 16 bytes.
inline std::vector<uint8_t> Stereo16Bit() {
    return RiffWave({PcmFormatChunk({2, 44100, 16}), RiffChunk("data", Stereo16BitData())});
}

// A non-PCM (ADPCM-tagged) "fmt " of 18 + `present` bytes whose extra-byte
// count says `claimed`.
inline std::vector<uint8_t> NonPcm(uint8_t claimed, uint8_t present) {
    std::vector<uint8_t> format = {2, 0, 1, 0, 0x22, 0x56, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 4, 0, claimed, 0};
    format.insert(format.end(), present, 7);
    return RiffWave({RiffChunk("fmt ", format), RiffChunk("data", {9, 9})});
}

// The data chunk claims 1000 bytes; four are there.
inline std::vector<uint8_t> DataPastTheEnd() {
    std::vector<uint8_t> file = RiffWave({PcmFormatChunk({1, 22050, 16}), RiffChunk("data", {1, 2, 3, 4})});
    file[40] = 0xE8;
    file[41] = 0x03;
    return file;
}

inline std::vector<uint8_t> NotRiff() {
    std::vector<uint8_t> file = Stereo16Bit();
    file[0] = 'X';
    return file;
}

inline std::vector<uint8_t> ShortFormat() {
    return RiffWave({RiffChunk("fmt ", {1, 0, 1, 0, 0x22, 0x56, 0, 0}), RiffChunk("data", {1, 2})});
}

inline std::vector<uint8_t> NoDataChunk() {
    return RiffWave({PcmFormatChunk({1, 22050, 16}), RiffChunk("LIST", {1, 2})});
}

inline std::vector<std::vector<uint8_t>> AllWaveFixtures() {
    return {OddListBeforeOdd8BitData(), Stereo16Bit(), NonPcm(2, 2),  NonPcm(30, 2),
            DataPastTheEnd(),           NotRiff(),     ShortFormat(), NoDataChunk()};
}
