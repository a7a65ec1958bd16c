#pragma once

#include "Platform/FFmpeg/FFmpegStreamDecoder.h"
#include "Platform/Video/VideoStream.h"

struct SwsContext;

// A video stream decoded with libavformat and libavcodec and converted to
// X8R8G8B8 with libswscale.
class CFFmpegVideoStream : public IVideoStream {
public:
    CFFmpegVideoStream() = default;
    ~CFFmpegVideoStream() override;
    CFFmpegVideoStream(const CFFmpegVideoStream&) = delete;
    CFFmpegVideoStream& operator=(const CFFmpegVideoStream&) = delete;

    HRESULT Open(const std::string& path, std::string& error);

    int GetWidth() const override { return width; }
    int GetHeight() const override { return height; }
    double GetFrameRate() const override { return frameRate; }
    bool ReadFrame(std::vector<uint32_t>& pixels, double& time) override;

private:
    // The next frame of the stream's own size; false at the end.
    bool DecodeNext();
    void Convert(std::vector<uint32_t>& pixels);

    CFFmpegStreamDecoder decoder;
    SwsContext* scaler = nullptr;
    int width = 0;
    int height = 0;
    double frameRate = 0;
    double timeBase = 0;
};
