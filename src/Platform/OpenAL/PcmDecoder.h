#pragma once

#include <cstddef>
#include <cstdint>

// Sound decoded into interleaved 16-bit samples for a streaming source.
class PlatPcmDecoder {
public:
    virtual ~PlatPcmDecoder() = default;
    // One or two.
    virtual int GetChannels() const = 0;
    // Samples per second and channel.
    virtual int GetFrequency() const = 0;
    // Decodes up to `frames` frames; 0 at the end.
    virtual std::size_t Read(int16_t* samples, std::size_t frames) = 0;
    virtual bool Rewind() = 0;
};
