#pragma once

#include "Platform/Video/VideoStream.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

// A video stream decoded with libavformat and libavcodec and converted to
// X8R8G8B8 with libswscale.
class CFFmpegVideoStream : public IVideoStream {
public:
    CFFmpegVideoStream() = default;
    ~CFFmpegVideoStream() override;
    CFFmpegVideoStream(const CFFmpegVideoStream&) = delete;
    CFFmpegVideoStream& operator=(const CFFmpegVideoStream&) = delete;

    HRESULT Open(const std::string& nativePath, std::string& error);

    int GetWidth() const override { return width; }
    int GetHeight() const override { return height; }
    double GetFrameRate() const override { return frameRate; }
    bool ReadFrame(std::vector<uint32_t>& pixels, double& time) override;

private:
    HRESULT OpenDecoder(std::string& error);
    // Feeds packets to the decoder until it gives a frame; false at the end.
    bool DecodeNext();
    void Convert(std::vector<uint32_t>& pixels);

    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    int streamIndex = -1;
    int width = 0;
    int height = 0;
    double frameRate = 0;
    double timeBase = 0;
    bool draining = false;
};
