#pragma once

#include "videotool/AviWriter.h"

#include <cstdint>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVIOContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

// Encodes a video with libavcodec into an AVI file in memory: MPEG-4 Part 2
// pictures and, when the video has sound, 16-bit mono PCM. Encoding is
// single-threaded and bit-exact, so the same video gives the same bytes.
class Mpeg4AviEncoder {
public:
    // The file's bytes; empty, with `error` telling why, on failure.
    static std::vector<uint8_t> Encode(const RawVideo& video, std::string& error);

    ~Mpeg4AviEncoder();
    Mpeg4AviEncoder(const Mpeg4AviEncoder&) = delete;
    Mpeg4AviEncoder& operator=(const Mpeg4AviEncoder&) = delete;

private:
    // The file's bytes and the muxer's place in them (it seeks back to
    // finish the headers).
    struct Output {
        std::vector<uint8_t> bytes;
        std::size_t position = 0;
    };

    explicit Mpeg4AviEncoder(const RawVideo& video) : video(video) {}
    bool Open(std::string& error);
    bool AddPictureStream();
    bool AddSoundStream();
    AVCodecContext* AddStream(int codecId, AVStream*& stream);
    bool WritePicture(std::size_t index);
    bool WriteSound(std::size_t index);
    // Sends `frame` (null to drain) and writes every packet the encoder gives.
    bool Send(AVCodecContext* codec, AVStream* stream, AVFrame* frame);
    bool Finish();

    static int WriteBytes(void* opaque, uint8_t* data, int size);
    static int64_t SeekBytes(void* opaque, int64_t offset, int whence);

    const RawVideo& video;
    Output output;
    AVFormatContext* format = nullptr;
    AVIOContext* io = nullptr;
    AVCodecContext* pictureCodec = nullptr;
    AVCodecContext* soundCodec = nullptr;
    AVStream* pictureStream = nullptr;
    AVStream* soundStream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
};
