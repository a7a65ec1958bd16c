#pragma once

#include "Platform/Sound/DirectSound8.h"

class PlatAlSoundBuffer;

// The 3D interface of a secondary buffer: places its source. Distances
// follow the inverse clamped law: full level up to the minimum distance,
// 6 dB less per doubling beyond it, constant past the maximum.
class PlatAl3DBuffer : public IDirectSound3DBuffer8 {
public:
    // Holds a reference to the buffer.
    explicit PlatAl3DBuffer(PlatAlSoundBuffer* owner);
    ~PlatAl3DBuffer() override;

    HRESULT GetAllParameters(DS3DBUFFER* parameters) override;
    HRESULT SetAllParameters(const DS3DBUFFER* parameters, DWORD apply) override;

private:
    PlatAlSoundBuffer* buffer;
    DS3DBUFFER current;
};
