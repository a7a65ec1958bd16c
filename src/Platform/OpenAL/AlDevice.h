#pragma once

#include "Platform/Sound/SoundBackend.h"

#include <AL/alc.h>

#include <memory>

// An OpenAL device with its one context. Every sound object holds a shared
// reference to it; once the device is closed, their calls do nothing (Use
// is false), so objects may outlive it safely.
class PlatAlDevice {
public:
    // Opens the device the backend kind names, null when none opens.
    static std::shared_ptr<PlatAlDevice> Open(PlatSoundBackendKind kind);
    // The device opened last that is still open, if any.
    static std::shared_ptr<PlatAlDevice> Newest();

    ~PlatAlDevice();
    PlatAlDevice(const PlatAlDevice&) = delete;
    PlatAlDevice& operator=(const PlatAlDevice&) = delete;

    // Makes this device's context the one OpenAL calls act on; false once
    // the device is closed.
    bool Use() const;
    // Closes the device; what was made on it goes with it.
    void Close();
    // Changes the output rate; false when the device refuses it.
    bool SetFrequency(unsigned hz);
    unsigned GetFrequency() const { return frequency; }
    bool IsLoopback() const { return loopback; }
    // Mixes interleaved stereo floats (loopback devices only).
    void Render(float* samples, unsigned frames);
    // The listener's gain that the focus leaves audible (0 or 1).
    static float FocusGain();
    static void SetFocus(bool active);

private:
    PlatAlDevice(ALCdevice* openDevice, bool isLoopback);
    bool CreateContext();
    int ContextAttributes(int* attributes) const;

    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    bool loopback = false;
    unsigned frequency = 0;
};
