#include "Platform/OpenAL/AlMusicStream.h"

#include "Platform/OpenAL/AlDevice.h"
#include "Platform/OpenAL/AlUnits.h"
#include "Platform/OpenAL/SndFileDecoder.h"
#include "Platform/Sound/DirectSound8.h"

#include <algorithm>
#include <utility>

std::unique_ptr<PlatMusicStream> PlatCreateMusicStream() {
    return std::make_unique<PlatAlMusicStream>();
}

PlatAlMusicStream::~PlatAlMusicStream() {
    Unload();
}

void PlatAlMusicStream::Unload() {
    if (device && device->Use()) {
        if (source) {
            alSourceStop(source);
            alDeleteSources(1, &source);
        }
        if (buffers[0])
            alDeleteBuffers(static_cast<ALsizei>(buffers.size()), buffers.data());
    }
    source = 0;
    buffers = {};
    decoder.reset();
    device.reset();
    playedFrames = 0;
    running = complete = false;
}

HRESULT PlatAlMusicStream::Render(const std::string& path) {
    Unload();
    if (!PlatAlDevice::Newest())
        return DSERR_NODRIVER;
    auto file = std::make_unique<PlatSndFileDecoder>();
    if (!file->Open(path))
        return E_FAIL;
    return Attach(std::move(file));
}

HRESULT PlatAlMusicStream::Attach(std::unique_ptr<PlatPcmDecoder> pcm) {
    Unload();
    device = PlatAlDevice::Newest();
    if (!device)
        return DSERR_NODRIVER;
    decoder = std::move(pcm);
    if (!MakeSource()) {
        Unload();
        return E_FAIL;
    }
    // An eighth of a second per buffer: half a second queued in all.
    const int frames = std::max(1, decoder->GetFrequency() / 8);
    samples.resize(static_cast<std::size_t>(frames * decoder->GetChannels()));
    return S_OK;
}

bool PlatAlMusicStream::MakeSource() {
    if (!device->Use())
        return false;
    alGetError();
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) {
        source = 0;
        return false;
    }
    alGenBuffers(static_cast<ALsizei>(buffers.size()), buffers.data());
    if (alGetError() != AL_NO_ERROR) {
        buffers = {};
        return false;
    }
    // Music is heard as it is, wherever the listener stands.
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0);
    alSourcef(source, AL_GAIN, gain);
    return true;
}

bool PlatAlMusicStream::Run() {
    if (!source || !device->Use())
        return false;
    if (Queued() == 0)
        QueueEmptyBuffers();
    alSourcePlay(source);
    running = true;
    return true;
}

void PlatAlMusicStream::Stop() {
    running = false;
    if (source && device->Use())
        alSourcePause(source);
}

bool PlatAlMusicStream::Rewind() {
    if (!source || !device->Use())
        return false;
    DropQueue();
    if (!decoder->Rewind())
        return false;
    if (running) {
        QueueEmptyBuffers();
        alSourcePlay(source);
    }
    return true;
}

bool PlatAlMusicStream::TakeCompleteEvent() {
    return std::exchange(complete, false);
}

void PlatAlMusicStream::SetVolume(LONG volume) {
    gain = PlatAlGain(volume);
    if (source && device->Use())
        alSourcef(source, AL_GAIN, gain);
}

void PlatAlMusicStream::Update() {
    if (!running || !device->Use())
        return;
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    for (ALint i = 0; i < processed; ++i) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
        ALint bytes = 0;
        alGetBufferi(buffer, AL_SIZE, &bytes);
        playedFrames +=
            static_cast<std::uint64_t>(bytes) / (2u * static_cast<unsigned>(decoder->GetChannels()));
        FillAndQueue(buffer);
    }
    if (Queued() == 0) {
        running = false;
        complete = true;
        return;
    }
    // The source stops when it runs dry between two updates; it goes on
    // with what was queued since.
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING)
        alSourcePlay(source);
}

double PlatAlMusicStream::GetPosition() const {
    if (!source || !device->Use())
        return 0;
    ALint offset = 0;
    alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
    const auto frames = playedFrames + static_cast<std::uint64_t>(std::max(offset, 0));
    return static_cast<double>(frames) / decoder->GetFrequency();
}

void PlatAlMusicStream::QueueEmptyBuffers() {
    for (ALuint buffer : buffers)
        if (!FillAndQueue(buffer))
            return;
}

// False at the end of the piece (the buffer stays out of the queue).
bool PlatAlMusicStream::FillAndQueue(ALuint buffer) {
    const int channels = decoder->GetChannels();
    const std::size_t frames =
        decoder->Read(samples.data(), samples.size() / static_cast<std::size_t>(channels));
    if (frames == 0)
        return false;
    alBufferData(buffer, channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, samples.data(),
                 static_cast<ALsizei>(frames * static_cast<std::size_t>(channels) * sizeof(int16_t)),
                 decoder->GetFrequency());
    alSourceQueueBuffers(source, 1, &buffer);
    return true;
}

ALint PlatAlMusicStream::Queued() const {
    ALint queued = 0;
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    return queued;
}

void PlatAlMusicStream::DropQueue() {
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    playedFrames = 0;
}
