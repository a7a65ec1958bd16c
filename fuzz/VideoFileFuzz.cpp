// Reads arbitrary bytes as a video file, picture and sound track. Whatever
// the file claims, opening either fails with a code or gives a usable size,
// and decoding ends without reading out of bounds. The decoders read files,
// so the bytes go to a temporary file first.

#include "Platform/FFmpeg/FFmpegSoundTrack.h"
#include "Platform/FileSystem.h"
#include "Platform/Video/VideoStream.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Enough to reach every frame of a small file, few enough to stay fast.
constexpr int kMostFrames = 64;

void ReadPictures(const std::string& path) {
    std::unique_ptr<IVideoStream> video;
    std::string error;
    if (FAILED(PlatOpenVideo(path, video, error)))
        return;
    if (video->GetWidth() <= 0 || video->GetHeight() <= 0)
        __builtin_trap();
    std::vector<uint32_t> pixels;
    double time = 0;
    for (int frame = 0; frame < kMostFrames && video->ReadFrame(pixels, time); ++frame)
        if (pixels.size() != static_cast<size_t>(video->GetWidth()) * video->GetHeight())
            __builtin_trap();
}

void ReadSound(const std::string& path) {
    CFFmpegSoundTrack track;
    std::string error;
    if (FAILED(track.Open(path, error)))
        return;
    std::vector<int16_t> samples(2 * 4096);
    for (int block = 0; block < kMostFrames && track.Read(samples.data(), 4096) > 0; ++block) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/videofuzz" + std::to_string(getpid()) + ".avi";
    if (!PlatReplaceFile(path, data, size))
        return 0;
    ReadPictures(path);
    ReadSound(path);
    return 0;
}
