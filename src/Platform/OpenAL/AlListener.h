#pragma once

#include "Platform/Sound/DirectSound8.h"

#include <memory>

class PlatAlDevice;

// The device's listener. The game's coordinates are left-handed and
// OpenAL's right-handed, so every z is negated on the way in.
class PlatAlListener : public IDirectSound3DListener8 {
public:
    explicit PlatAlListener(std::shared_ptr<PlatAlDevice> owner);

    HRESULT GetAllParameters(DS3DLISTENER* parameters) override;
    HRESULT SetAllParameters(const DS3DLISTENER* parameters, DWORD apply) override;

private:
    std::shared_ptr<PlatAlDevice> device;
    DS3DLISTENER current;
};
