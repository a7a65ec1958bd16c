#pragma once

#include "Platform/OpenAL/AlBufferBase.h"

#include <memory>

class PlatAlDevice;

// The device's output: its format sets the mixing rate, and one made with
// DSBCAPS_CTRL3D hands out the listener.
class PlatAlPrimaryBuffer : public PlatAlBufferBase {
public:
    PlatAlPrimaryBuffer(std::shared_ptr<PlatAlDevice> owner, bool with3D);

    HRESULT SetFormat(const WAVEFORMATEX* format) override;
    HRESULT GetListener(IDirectSound3DListener8** listener) override;

private:
    std::shared_ptr<PlatAlDevice> device;
    bool has3D = false;
};
