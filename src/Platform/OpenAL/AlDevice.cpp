#define AL_ALEXT_PROTOTYPES
#include "Platform/OpenAL/AlDevice.h"

#include <AL/al.h>
#include <AL/alext.h>

namespace {

// A loopback device mixes at this rate until the primary format changes it.
constexpr unsigned kLoopbackFrequency = 22050;

std::weak_ptr<PlatAlDevice> g_NewestDevice;
bool g_SoundFocus = true;

} // namespace

std::shared_ptr<PlatAlDevice> PlatAlDevice::Open(PlatSoundBackendKind kind) {
    if (kind == PlatSoundBackendKind::None)
        return nullptr;
    const bool isLoopback = kind == PlatSoundBackendKind::Loopback;
    ALCdevice* opened = isLoopback ? alcLoopbackOpenDeviceSOFT(nullptr) : alcOpenDevice(nullptr);
    if (!opened)
        return nullptr;
    std::shared_ptr<PlatAlDevice> result(new PlatAlDevice(opened, isLoopback));
    if (isLoopback)
        result->frequency = kLoopbackFrequency;
    if (!result->CreateContext())
        return nullptr;
    result->Use();
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alListenerf(AL_GAIN, FocusGain());
    g_NewestDevice = result;
    return result;
}

std::shared_ptr<PlatAlDevice> PlatAlDevice::Newest() {
    std::shared_ptr<PlatAlDevice> newest = g_NewestDevice.lock();
    return newest && newest->context ? newest : nullptr;
}

PlatAlDevice::PlatAlDevice(ALCdevice* openDevice, bool isLoopback)
    : device(openDevice), loopback(isLoopback) {}

PlatAlDevice::~PlatAlDevice() {
    Close();
}

void PlatAlDevice::Close() {
    if (context) {
        if (alcGetCurrentContext() == context)
            alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
    }
    if (device)
        alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
}

// Fills the attribute list for the context (or a reset) and returns its
// length including the terminating 0. A loopback device needs its output
// format spelled out; the limiter and HRTF stay off there, so what a test
// renders is the plain mix.
int PlatAlDevice::ContextAttributes(int* attributes) const {
    int count = 0;
    if (frequency) {
        attributes[count++] = ALC_FREQUENCY;
        attributes[count++] = static_cast<int>(frequency);
    }
    if (loopback) {
        const int loopbackAttributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                                          ALC_FLOAT_SOFT,           ALC_HRTF_SOFT,   ALC_FALSE,
                                          ALC_OUTPUT_LIMITER_SOFT,  ALC_FALSE};
        for (int value : loopbackAttributes)
            attributes[count++] = value;
    }
    attributes[count++] = 0;
    return count;
}

bool PlatAlDevice::CreateContext() {
    int attributes[16];
    ContextAttributes(attributes);
    context = alcCreateContext(device, attributes);
    if (!context)
        return false;
    ALCint rate = 0;
    alcGetIntegerv(device, ALC_FREQUENCY, 1, &rate);
    frequency = static_cast<unsigned>(rate);
    return true;
}

bool PlatAlDevice::Use() const {
    if (!context)
        return false;
    if (alcGetCurrentContext() != context)
        alcMakeContextCurrent(context);
    return true;
}

bool PlatAlDevice::SetFrequency(unsigned hz) {
    if (!device)
        return false;
    const unsigned old = frequency;
    frequency = hz;
    int attributes[16];
    ContextAttributes(attributes);
    if (!alcResetDeviceSOFT(device, attributes)) {
        frequency = old;
        return false;
    }
    ALCint rate = 0;
    alcGetIntegerv(device, ALC_FREQUENCY, 1, &rate);
    frequency = static_cast<unsigned>(rate);
    return true;
}

void PlatAlDevice::Render(float* samples, unsigned frames) {
    if (device)
        alcRenderSamplesSOFT(device, samples, static_cast<ALCsizei>(frames));
}

float PlatAlDevice::FocusGain() {
    return g_SoundFocus ? 1.0f : 0.0f;
}

void PlatAlDevice::SetFocus(bool active) {
    g_SoundFocus = active;
    auto newest = Newest();
    if (newest && newest->Use())
        alListenerf(AL_GAIN, FocusGain());
}
