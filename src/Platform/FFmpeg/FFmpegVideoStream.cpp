#include "Platform/FFmpeg/FFmpegVideoStream.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

// Larger pictures are refused: they cannot become a texture anyway.
constexpr int kMaxSide = 4096;

} // namespace

HRESULT PlatOpenVideo(const std::string& path, std::unique_ptr<IVideoStream>& out, std::string& error) {
    out.reset();
    auto stream = std::make_unique<CFFmpegVideoStream>();
    const HRESULT hr = stream->Open(path, error);
    if (SUCCEEDED(hr))
        out = std::move(stream);
    return hr;
}

CFFmpegVideoStream::~CFFmpegVideoStream() {
    sws_freeContext(scaler);
}

HRESULT CFFmpegVideoStream::Open(const std::string& path, std::string& error) {
    const HRESULT hr = decoder.Open(path, AVMEDIA_TYPE_VIDEO, VIDEO_E_NO_VIDEO, error);
    if (FAILED(hr))
        return hr;
    width = decoder.Codec()->width;
    height = decoder.Codec()->height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        error = "unusable picture size";
        return VIDEO_E_NO_VIDEO;
    }
    auto* stream = const_cast<AVStream*>(decoder.Stream());
    const AVRational rate = av_guess_frame_rate(decoder.Format(), stream, nullptr);
    frameRate = rate.den > 0 ? av_q2d(rate) : 0;
    timeBase = av_q2d(stream->time_base);
    return S_OK;
}

bool CFFmpegVideoStream::DecodeNext() {
    while (decoder.DecodeNext()) {
        const AVFrame* frame = decoder.Frame();
        if (frame->width == width && frame->height == height)
            return true;
    }
    return false;
}

void CFFmpegVideoStream::Convert(std::vector<uint32_t>& pixels) {
    const AVFrame* frame = decoder.Frame();
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
    const int64_t stamp = decoder.Frame()->best_effort_timestamp;
    time = stamp == AV_NOPTS_VALUE ? 0 : stamp * timeBase;
    return true;
}
