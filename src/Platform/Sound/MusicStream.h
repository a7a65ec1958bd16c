#pragma once

#include "Platform/Win32Types.h"

#include <memory>
#include <string>

// One piece of music decoded from a file (WAV, OGG Vorbis or FLAC) and
// streamed to the sound device opened last. The owner calls Update every
// frame to keep the stream fed.
class PlatMusicStream {
public:
    virtual ~PlatMusicStream() = default;

    // Opens the file ready to run from its start. Fails, with nothing
    // loaded, with DSERR_NODRIVER when no sound device is open and E_FAIL
    // when the file cannot be decoded.
    virtual HRESULT Render(const std::string& path) = 0;
    // Starts or continues playing. Running is true from here until the
    // end of the piece or Stop.
    virtual bool Run() = 0;
    // Halts playing; the position is kept until Rewind.
    virtual void Stop() = 0;
    // Goes back to the start; a running piece plays on from there.
    virtual bool Rewind() = 0;
    virtual bool IsRunning() const = 0;
    // True once after the piece played to its end.
    virtual bool TakeCompleteEvent() = 0;
    // Hundredths of a decibel, -10000 to 0.
    virtual void SetVolume(LONG volume) = 0;
    // Decodes more of the piece into the buffers the device has played.
    virtual void Update() = 0;
    // Seconds of the piece the device has played since its start.
    virtual double GetPosition() const = 0;
};

// A stream with no piece loaded.
std::unique_ptr<PlatMusicStream> PlatCreateMusicStream();
