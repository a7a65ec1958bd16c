#pragma once

#include "Platform/OpenAL/AlBufferBase.h"

#include <AL/al.h>

#include <memory>
#include <vector>

class PlatAlDevice;

// A secondary buffer: the sample data lives in an OpenAL buffer played by
// a source of its own. Stop pauses the source, so Play continues from the
// same place; a source that played to its end starts again from 0.
// A 2D buffer is a source relative to the listener, at its position and
// without distance attenuation.
class PlatAlSoundBuffer : public PlatAlBufferBase {
public:
    // Checks the description; null (with the reason in `result`) when the
    // buffer cannot be made.
    static PlatAlSoundBuffer* Create(std::shared_ptr<PlatAlDevice> device, const DSBUFFERDESC& description,
                                     HRESULT& result);
    ~PlatAlSoundBuffer() override;

    HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                 DWORD flags) override;
    HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT Stop() override;
    HRESULT SetCurrentPosition(DWORD bytes) override;
    HRESULT GetStatus(DWORD* status) override;
    HRESULT SetFrequency(DWORD hz) override;
    HRESULT GetFrequency(DWORD* hz) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT Restore() override { return DS_OK; }
    HRESULT Get3DBuffer(IDirectSound3DBuffer8** buffer) override;

    // The source, for the 3D interface (the device's context is made current).
    ALuint UseSource() const;

private:
    PlatAlSoundBuffer(std::shared_ptr<PlatAlDevice> owner, const DSBUFFERDESC& description);
    void MakeSource();

    std::shared_ptr<PlatAlDevice> device;
    WAVEFORMATEX format;
    bool has3D = false;
    std::vector<uint8_t> data;
    DWORD frequency = 0;
    ALuint buffer = 0;
    ALuint source = 0;
};
