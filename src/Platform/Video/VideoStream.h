#pragma once

#include "Platform/Sound/MusicStream.h"
#include "Platform/Win32Types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The picture of a video file opened for decoding. Frames come in order as
// X8R8G8B8 rows, top row first, each with its presentation time.
class IVideoStream {
public:
    virtual ~IVideoStream() = default;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    // Frames per second as the file states it; 0 when unknown.
    virtual double GetFrameRate() const = 0;
    // Decodes the next frame into `pixels` (width * height texels) and its
    // start in seconds into `time`. False at the end of the stream or when
    // nothing more decodes.
    virtual bool ReadFrame(std::vector<uint32_t>& pixels, double& time) = 0;
};

// Result codes of PlatOpenVideo, distinct from success and from each other.
inline constexpr HRESULT VIDEO_E_OPEN = static_cast<HRESULT>(0x80040216u);
inline constexpr HRESULT VIDEO_E_NO_VIDEO = static_cast<HRESULT>(0x80040217u);
inline constexpr HRESULT VIDEO_E_DECODER = static_cast<HRESULT>(0x80040218u);
inline constexpr HRESULT VIDEO_E_NO_SOUND = static_cast<HRESULT>(0x80040219u);

// Opens the file at the engine path `path` (separators and letter case are
// mapped to the disk). On failure `out` stays empty and `error` tells why.
HRESULT PlatOpenVideo(const std::string& path, std::unique_ptr<IVideoStream>& out, std::string& error);

// Opens the sound track of the video file at the engine path `path`,
// resampled to 16-bit stereo, as a stream on the sound device opened last,
// stopped at its start. VIDEO_E_NO_SOUND when the file has none and
// DSERR_NODRIVER when no sound device is open; `error` tells why.
HRESULT PlatOpenVideoSound(const std::string& path, std::unique_ptr<PlatMusicStream>& out,
                           std::string& error);
