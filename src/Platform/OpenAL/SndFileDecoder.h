#pragma once

#include "Platform/OpenAL/PcmDecoder.h"

#include <sndfile.h>

#include <cstdint>
#include <string>

// Decodes a sound file (WAV, OGG Vorbis, FLAC) into 16-bit samples with
// libsndfile.
class PlatSndFileDecoder : public PlatPcmDecoder {
public:
    PlatSndFileDecoder() = default;
    ~PlatSndFileDecoder() override;
    PlatSndFileDecoder(const PlatSndFileDecoder&) = delete;
    PlatSndFileDecoder& operator=(const PlatSndFileDecoder&) = delete;

    // False when the file is missing, not decodable, has other than one or
    // two channels or a rate outside 1,000 to 384,000 Hz.
    bool Open(const std::string& path);
    int GetChannels() const override { return channels; }
    int GetFrequency() const override { return frequency; }
    std::size_t Read(int16_t* samples, std::size_t frames) override;
    bool Rewind() override;

private:
    SNDFILE* file = nullptr;
    int channels = 0;
    int frequency = 0;
};
