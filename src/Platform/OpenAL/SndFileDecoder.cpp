#include "Platform/OpenAL/SndFileDecoder.h"

#include "Platform/FileSystem.h"

namespace {

// Rates outside these make no sense for music (and a lying header must not
// size the stream's buffers).
constexpr int kLowestFrequency = 1000;
constexpr int kHighestFrequency = 384000;

} // namespace

PlatSndFileDecoder::~PlatSndFileDecoder() {
    if (file)
        sf_close(file);
}

bool PlatSndFileDecoder::Open(const std::string& path) {
    SF_INFO info{};
    // A named pipe or device would block the decoder's open.
    if (!PlatIsRegularFile(path))
        return false;
    file = sf_open(PlatResolvePath(path).c_str(), SFM_READ, &info);
    if (!file)
        return false;
    channels = info.channels;
    frequency = info.samplerate;
    return (channels == 1 || channels == 2) && frequency >= kLowestFrequency &&
           frequency <= kHighestFrequency;
}

std::size_t PlatSndFileDecoder::Read(int16_t* samples, std::size_t frames) {
    const sf_count_t read = sf_readf_short(file, samples, static_cast<sf_count_t>(frames));
    return read > 0 ? static_cast<std::size_t>(read) : 0;
}

bool PlatSndFileDecoder::Rewind() {
    return sf_seek(file, 0, SEEK_SET) == 0;
}
