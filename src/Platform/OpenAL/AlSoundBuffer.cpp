#include "Platform/OpenAL/AlSoundBuffer.h"

#include "Platform/OpenAL/Al3DBuffer.h"
#include "Platform/OpenAL/AlDevice.h"
#include "Platform/OpenAL/AlUnits.h"

namespace {

bool IsPlayableFormat(const WAVEFORMATEX& format) {
    return format.wFormatTag == WAVE_FORMAT_PCM && (format.nChannels == 1 || format.nChannels == 2) &&
           (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
           format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8 &&
           format.nSamplesPerSec >= DSBFREQUENCY_MIN && format.nSamplesPerSec <= DSBFREQUENCY_MAX;
}

HRESULT CheckDescription(const DSBUFFERDESC& description) {
    if (!description.lpwfxFormat || !IsPlayableFormat(*description.lpwfxFormat))
        return DSERR_BADFORMAT;
    const WAVEFORMATEX& format = *description.lpwfxFormat;
    // A 3D buffer is placed in space as one point: it must be mono.
    if ((description.dwFlags & DSBCAPS_CTRL3D) && format.nChannels != 1)
        return DSERR_INVALIDPARAM;
    if (description.dwBufferBytes == 0 || description.dwBufferBytes % format.nBlockAlign != 0)
        return DSERR_INVALIDPARAM;
    return DS_OK;
}

ALenum AlFormat(const WAVEFORMATEX& format) {
    if (format.nChannels == 1)
        return format.wBitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return format.wBitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

} // namespace

PlatAlSoundBuffer* PlatAlSoundBuffer::Create(std::shared_ptr<PlatAlDevice> device,
                                             const DSBUFFERDESC& description, HRESULT& result) {
    result = CheckDescription(description);
    if (FAILED(result))
        return nullptr;
    auto* made = new PlatAlSoundBuffer(std::move(device), description);
    if (!made->buffer || !made->source) {
        made->Release();
        result = E_OUTOFMEMORY;
        return nullptr;
    }
    return made;
}

PlatAlSoundBuffer::PlatAlSoundBuffer(std::shared_ptr<PlatAlDevice> owner, const DSBUFFERDESC& description)
    : device(std::move(owner)), format(*description.lpwfxFormat),
      has3D((description.dwFlags & DSBCAPS_CTRL3D) != 0), data(description.dwBufferBytes),
      frequency(format.nSamplesPerSec) {
    if (!device->Use())
        return;
    alGetError();
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR)
        buffer = 0;
    MakeSource();
}

PlatAlSoundBuffer::~PlatAlSoundBuffer() {
    // A closed device took its sources and buffers with it.
    if (!device->Use())
        return;
    if (source)
        alDeleteSources(1, &source);
    if (buffer)
        alDeleteBuffers(1, &buffer);
}

void PlatAlSoundBuffer::MakeSource() {
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) {
        source = 0;
        return;
    }
    if (!has3D) {
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcef(source, AL_ROLLOFF_FACTOR, 0);
    }
}

ALuint PlatAlSoundBuffer::UseSource() const {
    return device->Use() ? source : 0;
}

HRESULT PlatAlSoundBuffer::Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2,
                                DWORD* bytes2, DWORD) {
    if (!part1 || !bytes1 || offset > data.size() || bytes > data.size() - offset)
        return DSERR_INVALIDPARAM;
    *part1 = data.data() + offset;
    *bytes1 = bytes;
    if (part2)
        *part2 = nullptr;
    if (bytes2)
        *bytes2 = 0;
    return DS_OK;
}

// The new contents reach the mixer here: the source lets go of the buffer,
// which takes the whole data again.
HRESULT PlatAlSoundBuffer::Unlock(void*, DWORD, void*, DWORD) {
    if (!UseSource())
        return DSERR_NODRIVER;
    alGetError();
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    alBufferData(buffer, AlFormat(format), data.data(), static_cast<ALsizei>(data.size()),
                 static_cast<ALsizei>(format.nSamplesPerSec));
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourceRewind(source);
    return alGetError() == AL_NO_ERROR ? DS_OK : DSERR_INVALIDCALL;
}

HRESULT PlatAlSoundBuffer::Play(DWORD, DWORD, DWORD flags) {
    if (!UseSource())
        return DSERR_NODRIVER;
    alSourcei(source, AL_LOOPING, (flags & DSBPLAY_LOOPING) ? AL_TRUE : AL_FALSE);
    alSourcePlay(source);
    return DS_OK;
}

HRESULT PlatAlSoundBuffer::Stop() {
    if (!UseSource())
        return DSERR_NODRIVER;
    alSourcePause(source);
    return DS_OK;
}

HRESULT PlatAlSoundBuffer::SetCurrentPosition(DWORD bytes) {
    if (bytes >= data.size())
        return DSERR_INVALIDPARAM;
    if (!UseSource())
        return DSERR_NODRIVER;
    const DWORD aligned = bytes - bytes % format.nBlockAlign;
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    // A finished source would ignore the new position: back to the
    // start-up state first, which Play then starts from the position.
    if (state == AL_STOPPED)
        alSourceRewind(source);
    alSourcei(source, AL_BYTE_OFFSET, static_cast<ALint>(aligned));
    return DS_OK;
}

HRESULT PlatAlSoundBuffer::GetStatus(DWORD* status) {
    if (!status)
        return DSERR_INVALIDPARAM;
    *status = 0;
    if (!UseSource())
        return DSERR_NODRIVER;
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    *status = state == AL_PLAYING ? DSBSTATUS_PLAYING : 0;
    return DS_OK;
}

HRESULT PlatAlSoundBuffer::SetFrequency(DWORD hz) {
    if (hz == DSBFREQUENCY_ORIGINAL)
        hz = format.nSamplesPerSec;
    if (hz < DSBFREQUENCY_MIN || hz > DSBFREQUENCY_MAX)
        return DSERR_INVALIDPARAM;
    if (!UseSource())
        return DSERR_NODRIVER;
    frequency = hz;
    alSourcef(source, AL_PITCH, static_cast<float>(hz) / static_cast<float>(format.nSamplesPerSec));
    return DS_OK;
}

HRESULT PlatAlSoundBuffer::GetFrequency(DWORD* hz) {
    if (!hz)
        return DSERR_INVALIDPARAM;
    *hz = frequency;
    return DS_OK;
}

HRESULT PlatAlSoundBuffer::SetVolume(LONG volume) {
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    if (!UseSource())
        return DSERR_NODRIVER;
    alSourcef(source, AL_GAIN, PlatAlGain(volume));
    return DS_OK;
}

HRESULT PlatAlSoundBuffer::Get3DBuffer(IDirectSound3DBuffer8** buffer3D) {
    if (!buffer3D)
        return DSERR_INVALIDPARAM;
    *buffer3D = nullptr;
    if (!has3D)
        return DSERR_INVALIDCALL;
    *buffer3D = new PlatAl3DBuffer(this);
    return DS_OK;
}
