#include "videotool/AviWriter.h"

#include "soundtool/SoundWriter.h"

#include <algorithm>

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void Put16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutId(std::vector<uint8_t>& out, const char* id) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(id[i]));
}

// A LIST chunk: its list type followed by the chunks inside.
std::vector<uint8_t> List(const char* type, const std::vector<std::vector<uint8_t>>& chunks) {
    std::vector<uint8_t> contents;
    PutId(contents, type);
    for (const auto& chunk : chunks)
        contents.insert(contents.end(), chunk.begin(), chunk.end());
    return RiffChunk("LIST", contents);
}

uint32_t RowBytes(const RawVideo& video) {
    return (static_cast<uint32_t>(video.width) * 3 + 3) & ~3u;
}

uint32_t FrameBytes(const RawVideo& video) {
    return RowBytes(video) * static_cast<uint32_t>(video.height);
}

// The 56-byte main header.
std::vector<uint8_t> MainHeader(const RawVideo& video) {
    std::vector<uint8_t> out;
    Put32(out, 1000000 / video.framesPerSecond);
    Put32(out, FrameBytes(video) * video.framesPerSecond);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(video.frames.size()));
    Put32(out, 0);
    Put32(out, video.sound.empty() ? 1 : 2);
    Put32(out, FrameBytes(video));
    Put32(out, static_cast<uint32_t>(video.width));
    Put32(out, static_cast<uint32_t>(video.height));
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    return RiffChunk("avih", out);
}

// The 56-byte stream header of the picture stream.
std::vector<uint8_t> StreamHeader(const RawVideo& video) {
    std::vector<uint8_t> out;
    PutId(out, "vids");
    PutId(out, "DIB ");
    Put32(out, 0);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, 0);
    Put32(out, 1);
    Put32(out, video.framesPerSecond);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(video.frames.size()));
    Put32(out, FrameBytes(video));
    Put32(out, 0xFFFFFFFFu);
    Put32(out, 0);
    for (int edge : {0, 0, video.width, video.height})
        Put16(out, static_cast<uint16_t>(edge));
    return RiffChunk("strh", out);
}

// The 40-byte bitmap header: 24 bits, no compression, bottom-up.
std::vector<uint8_t> StreamFormat(const RawVideo& video) {
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(video.width));
    Put32(out, static_cast<uint32_t>(video.height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, FrameBytes(video));
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    return RiffChunk("strf", out);
}

// The stream header and format of the sound stream: 16-bit mono PCM, one
// sample per block.
std::vector<uint8_t> SoundStreamList(const RawVideo& video) {
    const PcmFormat format{1, video.soundRate, 16};
    std::vector<uint8_t> header;
    PutId(header, "auds");
    // Handler, flags, priority and language, initial frames; then a block of
    // 2 bytes as the unit: soundRate blocks a second from the start.
    for (uint32_t value : {0u, 0u, 0u, 0u, 2u, video.soundRate * 2, 0u})
        Put32(header, value);
    Put32(header, static_cast<uint32_t>(video.sound.size()));
    Put32(header, video.soundRate * 2);
    Put32(header, 0xFFFFFFFFu);
    Put32(header, 2);
    for (int i = 0; i < 4; ++i)
        Put16(header, 0);
    // The stream format is the contents of a WAVE file's "fmt " chunk.
    const std::vector<uint8_t> wave = PcmFormatChunk(format);
    const std::vector<uint8_t> waveFormat(wave.begin() + 8, wave.end());
    return List("strl", {RiffChunk("strh", header), RiffChunk("strf", waveFormat)});
}

std::vector<uint8_t> FrameChunk(const RawVideo& video, const std::vector<uint32_t>& texels) {
    std::vector<uint8_t> out;
    out.reserve(FrameBytes(video));
    for (int y = video.height - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < video.width; ++x) {
            const uint32_t texel = texels[static_cast<size_t>(y) * video.width + x];
            out.push_back(static_cast<uint8_t>(texel));
            out.push_back(static_cast<uint8_t>(texel >> 8));
            out.push_back(static_cast<uint8_t>(texel >> 16));
        }
        out.resize(rowStart + RowBytes(video), 0);
    }
    return RiffChunk("00db", out);
}

} // namespace

std::vector<uint8_t> EncodeUncompressedAvi(const RawVideo& video) {
    std::vector<std::vector<uint8_t>> chunks;
    std::vector<std::vector<uint8_t>> streams = {List("strl", {StreamHeader(video), StreamFormat(video)})};
    if (!video.sound.empty())
        streams.push_back(SoundStreamList(video));
    for (size_t i = 0; i < video.frames.size(); ++i) {
        chunks.push_back(FrameChunk(video, video.frames[i]));
        if (!video.sound.empty())
            chunks.push_back(RiffChunk("01wb", EncodePcm(SoundOfFrame(video, i), 16)));
    }
    streams.insert(streams.begin(), MainHeader(video));
    const auto header = List("hdrl", streams);
    std::vector<uint8_t> contents;
    PutId(contents, "AVI ");
    for (const auto& chunk : {header, List("movi", chunks)})
        contents.insert(contents.end(), chunk.begin(), chunk.end());
    return RiffChunk("RIFF", contents);
}

std::vector<float> SoundOfFrame(const RawVideo& video, std::size_t index) {
    const std::size_t perFrame = video.soundRate / video.framesPerSecond;
    const std::size_t first = std::min(video.sound.size(), index * perFrame);
    const std::size_t end = index + 1 == video.frames.size() ? video.sound.size()
                                                             : std::min(video.sound.size(), first + perFrame);
    return {video.sound.begin() + static_cast<std::ptrdiff_t>(first),
            video.sound.begin() + static_cast<std::ptrdiff_t>(end)};
}
