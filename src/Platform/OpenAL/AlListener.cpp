#include "Platform/OpenAL/AlListener.h"

#include "Platform/OpenAL/AlDevice.h"
#include "Platform/OpenAL/AlUnits.h"

#include <AL/al.h>

PlatAlListener::PlatAlListener(std::shared_ptr<PlatAlDevice> owner) : device(std::move(owner)) {}

HRESULT PlatAlListener::GetAllParameters(DS3DLISTENER* parameters) {
    if (!parameters)
        return DSERR_INVALIDPARAM;
    *parameters = current;
    return DS_OK;
}

HRESULT PlatAlListener::SetAllParameters(const DS3DLISTENER* parameters, DWORD) {
    if (!parameters || parameters->flDopplerFactor < 0)
        return DSERR_INVALIDPARAM;
    current = *parameters;
    if (!device->Use())
        return DSERR_NODRIVER;
    const D3DXVECTOR3 front = PlatAlVector(current.vOrientFront);
    const D3DXVECTOR3 top = PlatAlVector(current.vOrientTop);
    const float orientation[6] = {front.x, front.y, front.z, top.x, top.y, top.z};
    alListenerfv(AL_POSITION, PlatAlVector(current.vPosition));
    alListenerfv(AL_VELOCITY, PlatAlVector(current.vVelocity));
    alListenerfv(AL_ORIENTATION, orientation);
    alDopplerFactor(current.flDopplerFactor);
    return alGetError() == AL_NO_ERROR ? DS_OK : DSERR_INVALIDPARAM;
}
