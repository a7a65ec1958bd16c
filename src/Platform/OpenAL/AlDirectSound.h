#pragma once

#include "Platform/Sound/DirectSound8.h"

#include <memory>

class PlatAlDevice;

// The sound device on OpenAL Soft: makes the primary and the secondary
// buffers.
class PlatAlDirectSound : public IDirectSound8 {
public:
    explicit PlatAlDirectSound(std::shared_ptr<PlatAlDevice> owner);
    // Closes the device, whatever was made on it.
    ~PlatAlDirectSound() override;

    // Exclusive or shared use makes no difference to the mixer.
    HRESULT SetCooperativeLevel(HWND, DWORD) override { return DS_OK; }
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* description, IDirectSoundBuffer8** buffer) override;

private:
    std::shared_ptr<PlatAlDevice> device;
};
