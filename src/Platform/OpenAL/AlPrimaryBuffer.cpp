#include "Platform/OpenAL/AlPrimaryBuffer.h"

#include "Platform/OpenAL/AlDevice.h"
#include "Platform/OpenAL/AlListener.h"

PlatAlPrimaryBuffer::PlatAlPrimaryBuffer(std::shared_ptr<PlatAlDevice> owner, bool with3D)
    : device(std::move(owner)), has3D(with3D) {}

// Only the rate has a counterpart in the mixer: it always mixes in floats
// to the device's own channel layout.
HRESULT PlatAlPrimaryBuffer::SetFormat(const WAVEFORMATEX* format) {
    if (!format || format->wFormatTag != WAVE_FORMAT_PCM || format->nSamplesPerSec < DSBFREQUENCY_MIN ||
        format->nSamplesPerSec > DSBFREQUENCY_MAX)
        return DSERR_INVALIDPARAM;
    return device->SetFrequency(format->nSamplesPerSec) ? DS_OK : DSERR_BADFORMAT;
}

HRESULT PlatAlPrimaryBuffer::GetListener(IDirectSound3DListener8** listener) {
    if (!listener)
        return DSERR_INVALIDPARAM;
    *listener = nullptr;
    if (!has3D)
        return DSERR_INVALIDCALL;
    *listener = new PlatAlListener(device);
    return DS_OK;
}
