#pragma once

#include "Platform/OpenAL/SndFileDecoder.h"
#include "Platform/Sound/MusicStream.h"

#include <AL/al.h>

#include <array>
#include <memory>
#include <vector>

class PlatAlDevice;

// A music stream on OpenAL: the decoder fills a few buffers that a source
// plays in turn; Update gives each played buffer the next stretch of the
// piece.
class PlatAlMusicStream : public PlatMusicStream {
public:
    PlatAlMusicStream() = default;
    ~PlatAlMusicStream() override;

    HRESULT Render(const std::string& path) override;
    bool Run() override;
    void Stop() override;
    bool Rewind() override;
    bool IsRunning() const override { return running; }
    bool TakeCompleteEvent() override;
    void SetVolume(LONG volume) override;
    void Update() override;

private:
    void Unload();
    bool MakeSource();
    void QueueEmptyBuffers();
    bool FillAndQueue(ALuint buffer);
    ALint Queued() const;
    void DropQueue();

    std::shared_ptr<PlatAlDevice> device;
    std::unique_ptr<PlatSndFileDecoder> decoder;
    ALuint source = 0;
    std::array<ALuint, 4> buffers{};
    std::vector<int16_t> samples;
    float gain = 1;
    bool running = false;
    bool complete = false;
};
