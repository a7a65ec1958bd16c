#include "Platform/OpenAL/AlDirectSound.h"

#include "Platform/OpenAL/AlDevice.h"
#include "Platform/OpenAL/AlPrimaryBuffer.h"
#include "Platform/OpenAL/AlSoundBuffer.h"

namespace {

PlatSoundBackendKind g_BackendKind = PlatSoundBackendKind::Default;

} // namespace

void PlatSetSoundBackendKind(PlatSoundBackendKind kind) {
    g_BackendKind = kind;
}

HRESULT DirectSoundCreate8(IDirectSound8** device) {
    if (!device)
        return DSERR_INVALIDPARAM;
    std::shared_ptr<PlatAlDevice> opened = PlatAlDevice::Open(g_BackendKind);
    *device = opened ? new PlatAlDirectSound(std::move(opened)) : nullptr;
    return *device ? DS_OK : DSERR_NODRIVER;
}

bool PlatRenderSoundMix(float* samples, unsigned frames) {
    std::shared_ptr<PlatAlDevice> newest = PlatAlDevice::Newest();
    if (!newest || !newest->IsLoopback())
        return false;
    newest->Render(samples, frames);
    return true;
}

unsigned PlatGetSoundMixFrequency() {
    std::shared_ptr<PlatAlDevice> newest = PlatAlDevice::Newest();
    return newest ? newest->GetFrequency() : 0;
}

void PlatSetSoundFocus(bool active) {
    PlatAlDevice::SetFocus(active);
}

PlatAlDirectSound::PlatAlDirectSound(std::shared_ptr<PlatAlDevice> owner) : device(std::move(owner)) {}

PlatAlDirectSound::~PlatAlDirectSound() {
    device->Close();
}

HRESULT PlatAlDirectSound::CreateSoundBuffer(const DSBUFFERDESC* description, IDirectSoundBuffer8** buffer) {
    if (!description || !buffer)
        return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (!device->Use())
        return DSERR_NODRIVER;
    if (description->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        *buffer = new PlatAlPrimaryBuffer(device, (description->dwFlags & DSBCAPS_CTRL3D) != 0);
        return DS_OK;
    }
    HRESULT result = DS_OK;
    *buffer = PlatAlSoundBuffer::Create(device, *description, result);
    return result;
}
