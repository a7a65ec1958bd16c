#pragma once

#include "Platform/Sound/DirectSound8.h"

// Every buffer operation refused with DSERR_INVALIDCALL; the primary and
// the secondary buffers override the operations that fit them.
class PlatAlBufferBase : public IDirectSoundBuffer8 {
public:
    HRESULT Lock(DWORD, DWORD, void**, DWORD*, void**, DWORD*, DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT Play(DWORD, DWORD, DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT Stop() override { return DSERR_INVALIDCALL; }
    HRESULT SetCurrentPosition(DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT GetStatus(DWORD*) override { return DSERR_INVALIDCALL; }
    HRESULT SetFrequency(DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT GetFrequency(DWORD*) override { return DSERR_INVALIDCALL; }
    HRESULT SetVolume(LONG) override { return DSERR_INVALIDCALL; }
    HRESULT Restore() override { return DSERR_INVALIDCALL; }
    HRESULT SetFormat(const WAVEFORMATEX*) override { return DSERR_INVALIDCALL; }
    HRESULT Get3DBuffer(IDirectSound3DBuffer8**) override { return DSERR_INVALIDCALL; }
    HRESULT GetListener(IDirectSound3DListener8**) override { return DSERR_INVALIDCALL; }
};
