#pragma once

#include "Platform/FFmpeg/FFmpegStreamDecoder.h"
#include "Platform/OpenAL/PcmDecoder.h"

#include <vector>

struct SwrContext;

// The sound track of a video file, decoded with libavcodec and resampled
// with libswresample to 16-bit stereo at the track's own rate.
class CFFmpegSoundTrack : public PlatPcmDecoder {
public:
    CFFmpegSoundTrack() = default;
    ~CFFmpegSoundTrack() override;
    CFFmpegSoundTrack(const CFFmpegSoundTrack&) = delete;
    CFFmpegSoundTrack& operator=(const CFFmpegSoundTrack&) = delete;

    // VIDEO_E_NO_SOUND when the file has no sound track; the other failures
    // as CFFmpegStreamDecoder::Open.
    HRESULT Open(const std::string& path, std::string& error);

    int GetChannels() const override { return 2; }
    int GetFrequency() const override { return frequency; }
    std::size_t Read(int16_t* samples, std::size_t frames) override;
    bool Rewind() override;

private:
    HRESULT OpenResampler(std::string& error);
    // Decodes and resamples the next frame into `pending`; false at the end.
    bool Refill();
    // Whether the decoded frame has the layout the resampler was set up for.
    bool FrameMatches() const;

    CFFmpegStreamDecoder decoder;
    SwrContext* resampler = nullptr;
    int frequency = 0;
    int inputChannels = 0;
    int inputFormat = -1;
    std::vector<int16_t> pending;
    std::size_t pendingUsed = 0;
};
