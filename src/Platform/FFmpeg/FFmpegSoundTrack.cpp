#include "Platform/FFmpeg/FFmpegSoundTrack.h"

#include "Platform/OpenAL/AlMusicStream.h"
#include "Platform/Sound/DirectSound8.h"
#include "Platform/Video/VideoStream.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswresample/swresample.h>
}

namespace {

// Rates outside these make no sense for a sound track (and a lying header
// must not size the stream's buffers).
constexpr int kLowestFrequency = 1000;
constexpr int kHighestFrequency = 384000;

} // namespace

HRESULT PlatOpenVideoSound(const std::string& path, std::unique_ptr<PlatMusicStream>& out,
                           std::string& error) {
    out.reset();
    auto track = std::make_unique<CFFmpegSoundTrack>();
    HRESULT hr = track->Open(path, error);
    if (FAILED(hr))
        return hr;
    auto stream = std::make_unique<PlatAlMusicStream>();
    hr = stream->Attach(std::move(track));
    if (FAILED(hr)) {
        error = hr == DSERR_NODRIVER ? "no sound device is open" : "no sound source is left";
        return hr;
    }
    out = std::move(stream);
    return S_OK;
}

CFFmpegSoundTrack::~CFFmpegSoundTrack() {
    swr_free(&resampler);
}

HRESULT CFFmpegSoundTrack::Open(const std::string& path, std::string& error) {
    const HRESULT hr = decoder.Open(path, AVMEDIA_TYPE_AUDIO, VIDEO_E_NO_SOUND, error);
    return FAILED(hr) ? hr : OpenResampler(error);
}

HRESULT CFFmpegSoundTrack::OpenResampler(std::string& error) {
    const AVCodecContext* codec = decoder.Codec();
    frequency = codec->sample_rate;
    inputChannels = codec->ch_layout.nb_channels;
    inputFormat = codec->sample_fmt;
    AVChannelLayout input{};
    if (codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&input, inputChannels);
    else
        av_channel_layout_copy(&input, &codec->ch_layout);
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    const bool usable = frequency >= kLowestFrequency && frequency <= kHighestFrequency &&
                        inputChannels > 0 &&
                        swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_S16, frequency, &input,
                                            codec->sample_fmt, frequency, 0, nullptr) >= 0 &&
                        swr_init(resampler) >= 0;
    av_channel_layout_uninit(&input);
    if (!usable) {
        error = "the sound track cannot be resampled";
        return VIDEO_E_DECODER;
    }
    return S_OK;
}

bool CFFmpegSoundTrack::FrameMatches() const {
    const AVFrame* frame = decoder.Frame();
    return frame->sample_rate == frequency && frame->format == inputFormat &&
           frame->ch_layout.nb_channels == inputChannels;
}

bool CFFmpegSoundTrack::Refill() {
    pendingUsed = 0;
    pending.clear();
    while (decoder.DecodeNext()) {
        const AVFrame* frame = decoder.Frame();
        if (!FrameMatches() || frame->nb_samples <= 0)
            continue;
        const int room = swr_get_out_samples(resampler, frame->nb_samples);
        if (room <= 0)
            continue;
        pending.resize(static_cast<std::size_t>(room) * 2);
        auto* out = reinterpret_cast<uint8_t*>(pending.data());
        const int made = swr_convert(resampler, &out, room, const_cast<const uint8_t**>(frame->extended_data),
                                     frame->nb_samples);
        if (made > 0) {
            pending.resize(static_cast<std::size_t>(made) * 2);
            return true;
        }
    }
    return false;
}

std::size_t CFFmpegSoundTrack::Read(int16_t* samples, std::size_t frames) {
    std::size_t done = 0;
    while (done < frames && (pendingUsed < pending.size() || Refill())) {
        const std::size_t count = std::min((pending.size() - pendingUsed) / 2, frames - done);
        std::memcpy(samples + done * 2, pending.data() + pendingUsed, count * 2 * sizeof(int16_t));
        pendingUsed += count * 2;
        done += count;
    }
    return done;
}

bool CFFmpegSoundTrack::Rewind() {
    pending.clear();
    pendingUsed = 0;
    return decoder.Rewind() && swr_init(resampler) >= 0;
}
