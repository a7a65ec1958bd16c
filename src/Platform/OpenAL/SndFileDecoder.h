#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>

// Decodes a sound file (WAV, OGG Vorbis, FLAC) into 16-bit samples with
// libsndfile.
class PlatSndFileDecoder {
public:
    PlatSndFileDecoder() = default;
    ~PlatSndFileDecoder();
    PlatSndFileDecoder(const PlatSndFileDecoder&) = delete;
    PlatSndFileDecoder& operator=(const PlatSndFileDecoder&) = delete;

    // False when the file is missing, not decodable, has other than one or
    // two channels or a rate outside 1,000 to 384,000 Hz.
    bool Open(const std::string& path);
    int GetChannels() const { return channels; }
    int GetFrequency() const { return frequency; }
    // Decodes up to `frames` frames; 0 at the end of the file.
    std::size_t Read(int16_t* samples, std::size_t frames);
    bool Rewind();

private:
    SNDFILE* file = nullptr;
    int channels = 0;
    int frequency = 0;
};
