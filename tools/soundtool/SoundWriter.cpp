#include "soundtool/SoundWriter.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// An in-memory file for libsndfile's virtual I/O.
struct MemoryFile {
    std::vector<uint8_t> bytes;
    sf_count_t position = 0;
};

sf_count_t Length(void* user) {
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size());
}

sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t base = whence == SEEK_CUR ? file->position : whence == SEEK_END ? Length(user) : 0;
    file->position = std::max<sf_count_t>(0, base + offset);
    return file->position;
}

sf_count_t Read(void* destination, sf_count_t count, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t available = std::max<sf_count_t>(0, Length(user) - file->position);
    const sf_count_t copied = std::min(count, available);
    if (copied > 0)
        std::memcpy(destination, file->bytes.data() + file->position, static_cast<std::size_t>(copied));
    file->position += copied;
    return copied;
}

sf_count_t Write(const void* source, sf_count_t count, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const auto end = static_cast<std::size_t>(file->position + count);
    if (end > file->bytes.size())
        file->bytes.resize(end);
    std::memcpy(file->bytes.data() + file->position, source, static_cast<std::size_t>(count));
    file->position += count;
    return count;
}

sf_count_t Tell(void* user) {
    return static_cast<MemoryFile*>(user)->position;
}

// The page checksum of the Ogg container: CRC-32 with the polynomial
// 0x04c11db7, not reflected, starting from 0.
uint32_t OggChecksum(const uint8_t* bytes, std::size_t size) {
    uint32_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= static_cast<uint32_t>(bytes[i]) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 0x80000000u ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

constexpr std::size_t kOggSerialAt = 14;
constexpr std::size_t kOggChecksumAt = 22;
constexpr std::size_t kOggSegmentCountAt = 26;

void PutAt(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The size of the Ogg page at `at`, headers and body, or 0 when the bytes
// there are no whole page.
std::size_t OggPageSize(const std::vector<uint8_t>& bytes, std::size_t at) {
    const std::size_t left = bytes.size() - at;
    if (left <= kOggSegmentCountAt || std::memcmp(&bytes[at], "OggS", 4) != 0)
        return 0;
    const std::size_t segments = bytes[at + kOggSegmentCountAt];
    const std::size_t header = kOggSegmentCountAt + 1 + segments;
    if (header > left)
        return 0;
    std::size_t body = 0;
    for (std::size_t i = 0; i < segments; ++i)
        body += bytes[at + kOggSegmentCountAt + 1 + i];
    return header + body <= left ? header + body : 0;
}

} // namespace

bool SetOggStreamSerial(std::vector<uint8_t>& bytes, uint32_t serial) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t size = OggPageSize(bytes, at);
        if (size == 0)
            return false;
        PutAt(bytes, at + kOggSerialAt, serial);
        PutAt(bytes, at + kOggChecksumAt, 0);
        PutAt(bytes, at + kOggChecksumAt, OggChecksum(&bytes[at], size));
        at += size;
    }
    return !bytes.empty();
}

std::vector<uint8_t> RiffChunk(const char* id, const std::vector<uint8_t>& contents) {
    std::vector<uint8_t> chunk(id, id + 4);
    PutLittleEndian(chunk, static_cast<uint32_t>(contents.size()), 4);
    chunk.insert(chunk.end(), contents.begin(), contents.end());
    if (contents.size() % 2)
        chunk.push_back(0);
    return chunk;
}

std::vector<uint8_t> PcmFormatChunk(const PcmFormat& format) {
    const uint32_t blockAlign = format.channels * format.bits / 8u;
    std::vector<uint8_t> contents;
    PutLittleEndian(contents, 1, 2);
    PutLittleEndian(contents, format.channels, 2);
    PutLittleEndian(contents, format.rate, 4);
    PutLittleEndian(contents, format.rate * blockAlign, 4);
    PutLittleEndian(contents, blockAlign, 2);
    PutLittleEndian(contents, format.bits, 2);
    return RiffChunk("fmt ", contents);
}

std::vector<uint8_t> RiffWave(const std::vector<std::vector<uint8_t>>& chunks) {
    std::vector<uint8_t> body = {'W', 'A', 'V', 'E'};
    for (const auto& chunk : chunks)
        body.insert(body.end(), chunk.begin(), chunk.end());
    std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
    PutLittleEndian(file, static_cast<uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

std::vector<uint8_t> EncodePcm(const std::vector<float>& samples, uint16_t bits) {
    std::vector<uint8_t> bytes;
    for (float sample : samples) {
        const float clamped = std::clamp(sample, -1.0f, 1.0f);
        if (bits == 8)
            bytes.push_back(static_cast<uint8_t>(std::lround(clamped * 127.0f) + 128));
        else
            PutLittleEndian(bytes, static_cast<uint16_t>(std::lround(clamped * 32767.0f)), 2);
    }
    return bytes;
}

std::vector<uint8_t> EncodeWave(const std::vector<float>& samples, const PcmFormat& format) {
    return RiffWave({PcmFormatChunk(format), RiffChunk("data", EncodePcm(samples, format.bits))});
}

std::vector<uint8_t> EncodeSoundFile(SoundFileKind kind, const std::vector<float>& samples,
                                     const PcmFormat& format) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(format.rate);
    info.channels = format.channels;
    info.format =
        kind == SoundFileKind::Ogg ? SF_FORMAT_OGG | SF_FORMAT_VORBIS : SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SF_VIRTUAL_IO io{Length, Seek, Read, Write, Tell};
    MemoryFile file;
    SNDFILE* encoder = sf_open_virtual(&io, SFM_WRITE, &info, &file);
    if (!encoder)
        return {};
    const auto frames = static_cast<sf_count_t>(samples.size() / format.channels);
    const bool written = sf_writef_float(encoder, samples.data(), frames) == frames;
    const bool closed = sf_close(encoder) == 0;
    // libsndfile numbers the Ogg stream at random; a fixed number makes the
    // same samples give the same file.
    const bool numbered = kind != SoundFileKind::Ogg || SetOggStreamSerial(file.bytes, kOggStreamSerial);
    return written && closed && numbered ? file.bytes : std::vector<uint8_t>{};
}
