#pragma once

#include "Platform/OpenAL/PcmDecoder.h"
#include "Platform/Sound/MusicStream.h"

#include <AL/al.h>

#include <array>
#include <cstdint>
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
    // Plays what `pcm` decodes instead of a file; fails as Render.
    HRESULT Attach(std::unique_ptr<PlatPcmDecoder> pcm);
    bool Run() override;
    void Stop() override;
    bool Rewind() override;
    bool IsRunning() const override { return running; }
    bool TakeCompleteEvent() override;
    void SetVolume(LONG volume) override;
    void Update() override;
    double GetPosition() const override;

private:
    void Unload();
    bool MakeSource();
    void QueueEmptyBuffers();
    bool FillAndQueue(ALuint buffer);
    ALint Queued() const;
    void DropQueue();

    std::shared_ptr<PlatAlDevice> device;
    std::unique_ptr<PlatPcmDecoder> decoder;
    ALuint source = 0;
    std::array<ALuint, 4> buffers{};
    std::vector<int16_t> samples;
    // Frames of the buffers played and taken out of the queue.
    std::uint64_t playedFrames = 0;
    float gain = 1;
    bool running = false;
    bool complete = false;
};
