#include "videotool/AviWriter.h"

#include "soundtool/SoundWriter.h"

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
    Put32(out, 1);
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
    std::vector<std::vector<uint8_t>> frames;
    for (const auto& texels : video.frames)
        frames.push_back(FrameChunk(video, texels));
    const auto header =
        List("hdrl", {MainHeader(video), List("strl", {StreamHeader(video), StreamFormat(video)})});
    std::vector<uint8_t> contents;
    PutId(contents, "AVI ");
    for (const auto& chunk : {header, List("movi", frames)})
        contents.insert(contents.end(), chunk.begin(), chunk.end());
    return RiffChunk("RIFF", contents);
}
