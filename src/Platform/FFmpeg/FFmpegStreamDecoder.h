#pragma once

#include "Platform/Win32Types.h"

#include <string>

extern "C" {
#include <libavutil/avutil.h>
}

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

// One stream of a media file (its picture or its sound) opened with
// libavformat and decoded frame by frame with libavcodec. Packets of the
// file's other streams are skipped.
class CFFmpegStreamDecoder {
public:
    CFFmpegStreamDecoder() = default;
    ~CFFmpegStreamDecoder();
    CFFmpegStreamDecoder(const CFFmpegStreamDecoder&) = delete;
    CFFmpegStreamDecoder& operator=(const CFFmpegStreamDecoder&) = delete;

    // Opens the best stream of `type` in the file at the engine path `path`.
    // VIDEO_E_OPEN when the file cannot be read, `missing` when it has no
    // such stream, VIDEO_E_DECODER when its codec is not available; `error`
    // then tells why.
    HRESULT Open(const std::string& path, AVMediaType type, HRESULT missing, std::string& error);
    // Decodes the next frame into Frame(); false at the end of the stream or
    // when nothing more decodes.
    bool DecodeNext();
    // Goes back to the start of the stream.
    bool Rewind();

    AVCodecContext* Codec() const { return codec; }
    AVFrame* Frame() const { return frame; }
    const AVStream* Stream() const;
    AVFormatContext* Format() const { return format; }

private:
    HRESULT OpenCodec(std::string& error);

    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int streamIndex = -1;
    bool draining = false;
};
