#include "Platform/FFmpeg/FFmpegVideoStream.h"

#include "Platform/FileSystem.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace {

// Larger pictures are refused: they cannot become a texture anyway.
constexpr int kMaxSide = 4096;

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof(text));
    return text;
}

} // namespace

HRESULT PlatOpenVideo(const std::string& path, std::unique_ptr<IVideoStream>& out, std::string& error) {
    out.reset();
    auto stream = std::make_unique<CFFmpegVideoStream>();
    const HRESULT hr = stream->Open(PlatResolvePath(path), error);
    if (SUCCEEDED(hr))
        out = std::move(stream);
    return hr;
}

CFFmpegVideoStream::~CFFmpegVideoStream() {
    sws_freeContext(scaler);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
}

HRESULT CFFmpegVideoStream::Open(const std::string& nativePath, std::string& error) {
    int code = avformat_open_input(&format, nativePath.c_str(), nullptr, nullptr);
    if (code < 0) {
        error = nativePath + ": " + ErrorText(code);
        return VIDEO_E_OPEN;
    }
    code = avformat_find_stream_info(format, nullptr);
    if (code < 0) {
        error = nativePath + ": " + ErrorText(code);
        return VIDEO_E_OPEN;
    }
    streamIndex = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (streamIndex < 0) {
        error = nativePath + ": no video stream";
        return VIDEO_E_NO_VIDEO;
    }
    return OpenDecoder(error);
}

HRESULT CFFmpegVideoStream::OpenDecoder(std::string& error) {
    const AVStream* stream = format->streams[streamIndex];
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    codec = avcodec_alloc_context3(decoder);
    frame = av_frame_alloc();
    packet = av_packet_alloc();
    if (!decoder || !codec || !frame || !packet) {
        error = "no decoder for the video stream";
        return VIDEO_E_DECODER;
    }
    int code = avcodec_parameters_to_context(codec, stream->codecpar);
    if (code >= 0)
        code = avcodec_open2(codec, decoder, nullptr);
    if (code < 0) {
        error = ErrorText(code);
        return VIDEO_E_DECODER;
    }
    width = codec->width;
    height = codec->height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        error = "unusable picture size";
        return VIDEO_E_NO_VIDEO;
    }
    const AVRational rate = av_guess_frame_rate(format, const_cast<AVStream*>(stream), nullptr);
    frameRate = rate.den > 0 ? av_q2d(rate) : 0;
    timeBase = av_q2d(stream->time_base);
    return S_OK;
}

bool CFFmpegVideoStream::DecodeNext() {
    for (;;) {
        const int code = avcodec_receive_frame(codec, frame);
        if (code >= 0) {
            if (frame->width == width && frame->height == height)
                return true;
            continue;
        }
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

void CFFmpegVideoStream::Convert(std::vector<uint32_t>& pixels) {
    pixels.assign(static_cast<size_t>(width) * height, 0);
    scaler = sws_getCachedContext(scaler, width, height, static_cast<AVPixelFormat>(frame->format), width,
                                  height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
    if (!scaler)
        return;
    uint8_t* planes[4] = {reinterpret_cast<uint8_t*>(pixels.data()), nullptr, nullptr, nullptr};
    int strides[4] = {width * 4, 0, 0, 0};
    sws_scale(scaler, frame->data, frame->linesize, 0, height, planes, strides);
}

bool CFFmpegVideoStream::ReadFrame(std::vector<uint32_t>& pixels, double& time) {
    if (!DecodeNext())
        return false;
    Convert(pixels);
    const int64_t stamp = frame->best_effort_timestamp;
    time = stamp == AV_NOPTS_VALUE ? 0 : stamp * timeBase;
    return true;
}
