#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Sound files for the game's data and for test fixtures. Samples are
// floats from -1 to 1, interleaved by channel.
struct PcmFormat {
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;
};

// One RIFF chunk: the 4-byte id, the 32-bit little-endian size of the
// contents, the contents and a pad byte after an odd size.
std::vector<uint8_t> RiffChunk(const char* id, const std::vector<uint8_t>& contents);
// The 16-byte "fmt " chunk of a PCM format (24 bytes with its header).
std::vector<uint8_t> PcmFormatChunk(const PcmFormat& format);
// "RIFF", the size of what follows, "WAVE" and the chunks as given.
std::vector<uint8_t> RiffWave(const std::vector<std::vector<uint8_t>>& chunks);
// Samples as PCM bytes: 8-bit unsigned (silence 0x80) or 16-bit signed
// little-endian.
std::vector<uint8_t> EncodePcm(const std::vector<float>& samples, uint16_t bits);
// A whole PCM WAVE file: 44 bytes of headers plus the sample bytes.
std::vector<uint8_t> EncodeWave(const std::vector<float>& samples, const PcmFormat& format);

enum class SoundFileKind { Ogg, Flac };
// An OGG Vorbis or 16-bit FLAC file encoded by libsndfile; empty when the
// encoder failed. The OGG stream's serial number is kOggStreamSerial, so the
// same samples always give the same bytes.
std::vector<uint8_t> EncodeSoundFile(SoundFileKind kind, const std::vector<float>& samples,
                                     const PcmFormat& format);

constexpr uint32_t kOggStreamSerial = 0x4b56;
// Gives every page of an Ogg stream the serial number and mends each page's
// checksum; false when the bytes are not whole Ogg pages.
bool SetOggStreamSerial(std::vector<uint8_t>& bytes, uint32_t serial);
