#include "Platform/FFmpeg/FFmpegStreamDecoder.h"

#include "Platform/FileSystem.h"
#include "Platform/Video/VideoStream.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof(text));
    return text;
}

} // namespace

CFFmpegStreamDecoder::~CFFmpegStreamDecoder() {
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
}

HRESULT CFFmpegStreamDecoder::Open(const std::string& path, AVMediaType type, HRESULT missing,
                                   std::string& error) {
    const std::string nativePath = PlatResolvePath(path);
    // A named pipe or device would block the demuxer's open.
    if (!PlatIsRegularFile(nativePath)) {
        error = nativePath + ": not a readable file";
        return VIDEO_E_OPEN;
    }
    int code = avformat_open_input(&format, nativePath.c_str(), nullptr, nullptr);
    if (code >= 0)
        code = avformat_find_stream_info(format, nullptr);
    if (code < 0) {
        error = nativePath + ": " + ErrorText(code);
        return VIDEO_E_OPEN;
    }
    streamIndex = av_find_best_stream(format, type, -1, -1, nullptr, 0);
    if (streamIndex < 0) {
        error = nativePath + ": no " + av_get_media_type_string(type) + " stream";
        return missing;
    }
    return OpenCodec(error);
}

HRESULT CFFmpegStreamDecoder::OpenCodec(std::string& error) {
    const AVCodec* decoder = avcodec_find_decoder(Stream()->codecpar->codec_id);
    codec = avcodec_alloc_context3(decoder);
    frame = av_frame_alloc();
    packet = av_packet_alloc();
    if (!decoder || !codec || !frame || !packet) {
        error = std::string("no decoder for the ") +
                av_get_media_type_string(Stream()->codecpar->codec_type) + " stream";
        return VIDEO_E_DECODER;
    }
    int code = avcodec_parameters_to_context(codec, Stream()->codecpar);
    if (code >= 0)
        code = avcodec_open2(codec, decoder, nullptr);
    if (code < 0) {
        error = ErrorText(code);
        return VIDEO_E_DECODER;
    }
    return S_OK;
}

const AVStream* CFFmpegStreamDecoder::Stream() const {
    return format->streams[streamIndex];
}

bool CFFmpegStreamDecoder::DecodeNext() {
    for (;;) {
        const int code = avcodec_receive_frame(codec, frame);
        if (code >= 0)
            return true;
        if (code != AVERROR(EAGAIN) || draining)
            return false;
        if (av_read_frame(format, packet) < 0) {
            draining = true;
            avcodec_send_packet(codec, nullptr);
            continue;
        }
        if (packet->stream_index == streamIndex)
            avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
    }
}

bool CFFmpegStreamDecoder::Rewind() {
    if (av_seek_frame(format, streamIndex, 0, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(codec);
    draining = false;
    return true;
}
